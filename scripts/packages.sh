# Installs the Debian packages named as arguments that are not installed yet (needs root).
# Sourced by the other scripts: install_packages <package>...
install_packages() {
  local missing=()
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# What building the plug-ins and running them in Octave needs.
BUILD_PACKAGES=(cmake ninja-build g++ make octave liboctave-dev)
# What building the tests and benchmarks needs besides (the default preset builds them too).
TEST_PACKAGES=(googletest libgtest-dev libbenchmark-dev)
# What running the tests needs besides: valgrind for the memcheck test, OpenBLAS, which replaces
# the reference BLAS as the default through the alternatives system, so that the demo's test draws
# its figures on both and compares them, and Octave's parallel package for the workers' recipe.
CHECK_PACKAGES=(valgrind libopenblas0-serial octave-parallel)
# What the demo's figures need: gnuplot draws them without a display, in Octave's own font.
DEMO_PACKAGES=(gnuplot-nox fonts-freefont-otf)
# What building the plug-ins for MATLAB (Windows, macOS, Linux) and checking their structure needs.
CROSS_PACKAGES=(cmake ninja-build g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 clang lld llvm)
# What the fuzz targets need: clang and its libFuzzer, AddressSanitizer and UBSan run-time libraries.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
# What the speed comparisons need besides the tests' packages: OpenBLAS, which replaces the
# reference BLAS as the default through the alternatives system, for the X' * X routes.
BENCH_PACKAGES=(libopenblas0-serial)
# What the scaling of the threaded calls needs besides: OpenBLAS built for threads, which the
# route X' * X runs on with as many threads as the plug-ins (loaded by path, not made the default).
THREAD_BENCH_PACKAGES=(libopenblas0-pthread)
# What running the Windows plug-ins needs.
WINE_PACKAGES=(wine wine64)
# What building the tests for arm64 Linux (with clang, against the arm64 C and C++ libraries) and
# running them under emulation needs.
ARM64_PACKAGES=(crossbuild-essential-arm64 qemu-user)
