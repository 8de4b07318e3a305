#!/usr/bin/env bash
# Every test: installs what is missing, builds everything and runs the whole test suite (the test
# host, Octave, the Octave package and build script, the Windows and macOS deliverables).
# Run from the repository as root on Debian 12.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
install_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${CROSS_PACKAGES[@]}" "${WINE_PACKAGES[@]}"
cmake --preset default >/dev/null
cmake --build --preset default
ctest --preset default
# The same tests once more with the plug-ins built under AddressSanitizer: any read or write
# outside an array fails them.
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan
# The deliverables for MATLAB on Windows and macOS, their structure checks, and the gateway
# cases on the Windows plug-ins under Wine.
bash scripts/deliverables.sh
ctest --preset windows
ctest --preset macos
