#!/usr/bin/env bash
# Builds the plug-ins we ship to MATLAB users, 64-bit Windows (.mexw64), Intel macOS (.mexmaci64),
# Linux x86-64 (.mexa64) and Apple silicon macOS (.mexmaca64), checks their structure and gathers
# them in out/windows, out/macos, out/linux and out/macos-arm64.
# Run from the repository as root on Debian 12; installs what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
install_packages "${CROSS_PACKAGES[@]}"
rm -rf out
platforms=(windows macos linux macos-arm64)
for platform in "${platforms[@]}"; do
  cmake --preset $platform >/dev/null
  cmake --build --preset $platform
  ctest --preset $platform --label-regex structure
  cmake --install build-$platform --prefix out >/dev/null
done
echo "deliverables:"
ls -l "${platforms[@]/#/out/}"
