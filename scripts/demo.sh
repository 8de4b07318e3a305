#!/usr/bin/env bash
# The main job: installs what is missing, builds the plug-ins for GNU Octave and runs the demo
# on Zachary's karate club. Run from the repository as root on Debian 12.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
install_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${DEMO_PACKAGES[@]}"
cmake --preset default >/dev/null
cmake --build --preset default
octave-cli --norc --no-history --quiet --eval "addpath('build/octave', 'octave'); karate_demo('build/demo')"
