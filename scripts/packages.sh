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
# What the tests need besides.
TEST_PACKAGES=(googletest libgtest-dev libbenchmark-dev)
# What cross-building the Windows and macOS plug-ins and checking their structure needs.
CROSS_PACKAGES=(cmake ninja-build g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 clang lld llvm)
# What the Octave benchmarks compare against: X' * X through OpenBLAS, which replaces the
# reference BLAS Octave links.
BENCH_PACKAGES=(libopenblas0-serial)
# What running the Windows plug-ins needs.
WINE_PACKAGES=(wine wine64)
