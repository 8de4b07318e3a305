#!/usr/bin/env bash
# Every test: installs what is missing, builds everything and runs the whole test suite (the test
# host, Octave, the Octave package and build script, the fuzz targets for a short while, the
# deliverables for MATLAB, the tests again for arm64 Linux under emulation).
# Run from the repository as root on Debian 12.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
install_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${DEMO_PACKAGES[@]}" "${CROSS_PACKAGES[@]}" \
  "${WINE_PACKAGES[@]}" "${ARM64_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"
cmake --preset default >/dev/null
cmake --build --preset default
ctest --preset default
# The same tests once more with the plug-ins built under AddressSanitizer: any read or write
# outside an array fails them.
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan
# Every fuzz target (one per gateway, and the kernels against their former versions) for a few
# seconds from its seeds; bash scripts/fuzz.sh runs them for longer.
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz
# The deliverables for MATLAB on Windows, macOS, Linux and Apple silicon, their structure checks,
# and the gateway cases on the Windows plug-ins under Wine and on the Linux ones here.
bash scripts/deliverables.sh
ctest --preset windows
ctest --preset macos
ctest --preset linux
ctest --preset macos-arm64
# The test-host plug-ins, the test host and every test program built for arm64 Linux and run under
# qemu-user: the gateway cases and the differential tests on the code arm64 compilers make.
cmake --preset linux-arm64 >/dev/null
cmake --build --preset linux-arm64
ctest --preset linux-arm64
