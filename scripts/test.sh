#!/usr/bin/env bash
# Every test: installs what is missing, builds everything and runs the whole test suite, stage by
# stage (the test host and Octave, the same under AddressSanitizer and under ThreadSanitizer, the
# fuzz targets for a short while, the deliverables for MATLAB on each platform, the tests again
# for arm64 Linux under emulation). A stage that fails does not stop the others; the last lines are a summary of every
# stage, and the exit status is 0 only when all passed.
# Run from the repository as root on Debian 12.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
install_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${CHECK_PACKAGES[@]}" "${DEMO_PACKAGES[@]}" \
  "${CROSS_PACKAGES[@]}" \
  "${WINE_PACKAGES[@]}" "${ARM64_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}" || exit 1
mkdir -p build/stages
summary=()
failed=0

# Records the outcome of stage `name` from its log: ctest's count of tests, or what failed first.
record() {
  local name=$1 log=$2 status=$3 counts
  counts=$(grep -E '^[0-9]+% tests passed' "$log" | tail -n 1)
  [ -n "$counts" ] || counts="no tests ran"
  [ "$status" -eq 0 ] || { failed=$((failed + 1)); counts="FAILED: $counts"; }
  summary+=("$(printf '  %-14s %s' "$name" "$counts")")
}

# Stage `name`: configures and builds preset `preset` and runs its tests; its output is shown and
# kept in build/stages/<preset>.log.
stage() {
  local name=$1 preset=$2 log=build/stages/$2.log
  echo "== $name (preset $preset)"
  { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" && ctest --preset "$preset"; } 2>&1 |
    tee "$log"
  record "$name" "$log" "${PIPESTATUS[0]}"
}

# The plug-ins for the test host and Octave, every test program, the Octave tests and the demo.
stage default default
# The same tests with the plug-ins built under AddressSanitizer: any read or write outside an
# array fails them.
stage ASan asan
# The same tests again with the plug-ins, the test host and the tests built under ThreadSanitizer:
# any data race between the threads of a call fails them.
stage TSan tsan
# Every fuzz target (one per gateway, and the kernels against their former versions) for a few
# seconds from its seeds; bash scripts/fuzz.sh runs them for longer.
stage fuzz fuzz
# The deliverables for MATLAB on Windows, macOS, Linux and Apple silicon, gathered in out/ as the
# deliverables command does, then each platform's tests: structure checks, and the gateway cases
# on the Windows plug-ins under Wine and on the Linux ones here.
bash scripts/deliverables.sh 2>&1 | tee build/stages/deliverables.log
[ "${PIPESTATUS[0]}" -eq 0 ] || { failed=$((failed + 1)); summary+=("  deliverables   FAILED: see build/stages/deliverables.log"); }
stage Windows windows
stage macOS macos
stage Linux linux
stage "Apple silicon" macos-arm64
# The test-host plug-ins, the test host and every test program built for arm64 Linux and run under
# qemu-user: the gateway cases and the differential tests on the code arm64 compilers make.
stage arm64 linux-arm64

echo
echo "Test summary, stage by stage:"
printf '%s\n' "${summary[@]}"
if [ "$failed" -eq 0 ]; then
  echo "every stage passed"
else
  echo "$failed stage(s) failed"
  exit 1
fi
