#!/usr/bin/env bash
# Builds the plug-ins we ship to MATLAB users, 64-bit Windows (.mexw64) and Intel macOS
# (.mexmaci64), checks their structure and gathers them in out/windows and out/macos.
# Run from the repository as root on Debian 12; installs what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
install_packages "${CROSS_PACKAGES[@]}"
rm -rf out
for platform in windows macos; do
  cmake --preset $platform >/dev/null
  cmake --build --preset $platform
  ctest --preset $platform --label-regex structure
  cmake --install build-$platform --prefix out >/dev/null
done
echo "deliverables:"
ls -l out/windows out/macos
