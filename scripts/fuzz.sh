#!/usr/bin/env bash
# Runs the fuzz targets for as long as one likes: builds them (preset fuzz) and runs each for the
# given seconds (default 60), or each for the given number of calls with --runs, from its seeds
# (fuzz/corpus/<target>/) and what earlier runs found (build-fuzz/corpus/<target>/). Each target's
# log goes to build-fuzz/fuzz-logs/<target>.log; a finding stops that target and leaves its input
# as build-fuzz/fuzz-logs/<target>-crash-*. Prints the calls, coverage and corpus of each run.
#
#   bash scripts/fuzz.sh [seconds per target] [target...]     targets: fuzz_corvane, fuzz_diff_tessaly5, ...
#   bash scripts/fuzz.sh --runs <calls per target> [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
install_packages "${BUILD_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"
limit=(-max_total_time="${1:-60}")
if [ "${1:-}" = --runs ]; then
  limit=(-runs="$2")
  shift
fi
[ $# -gt 0 ] && shift
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
targets=("$@")
[ ${#targets[@]} -gt 0 ] || mapfile -t targets < <(find build-fuzz/fuzz -maxdepth 1 -name 'fuzz_*' -type f -executable -printf '%f\n' | sort)
mkdir -p build-fuzz/fuzz-logs
# Fewer frames recorded per allocation and a smaller quarantine: faster, and still every access
# outside a block is caught.
export ASAN_OPTIONS=malloc_context_size=5:quarantine_size_mb=64
status=0
for target in "${targets[@]}"; do
  mkdir -p "build-fuzz/corpus/$target"
  log=build-fuzz/fuzz-logs/$target.log
  nice -n 19 "build-fuzz/fuzz/$target" "${limit[@]}" -print_final_stats=1 -rss_limit_mb=2048 -timeout=20 \
    -artifact_prefix="build-fuzz/fuzz-logs/$target-" "build-fuzz/corpus/$target" "fuzz/corpus/$target" >"$log" 2>&1 \
    || { status=1; echo "$target: FINDING, see $log"; }
  runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
  coverage=$(grep -E '^#[0-9]+ +(DONE|pulse|NEW|REDUCE|INITED)' "$log" | tail -1 | grep -oE 'cov: [0-9]+ ft: [0-9]+ corp: [0-9]+' || true)
  echo "$target: ${runs} calls, ${coverage}"
done
exit $status
