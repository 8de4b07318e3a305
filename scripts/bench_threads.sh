#!/usr/bin/env bash
# How the threaded calls scale on this machine: each call of bench/octave/thread_bench.m at 1, 2,
# 4, ... threads up to every processor this process may use, each number in its own octave-cli
# pinned to that many processors (taskset -c 0-<n-1>), the Octave route beside it on as many
# threads (OpenBLAS's pthreads build for X' * X; Octave's own G * G has one), in wall-clock time,
# the fastest of three calls, without huge pages. Every thread count runs twice, in turns, and the
# faster run counts, so that one pinned to one processor and one on all are measured side by side.
# Then the spread of neighborJaccard at 0.05 from one call to the next with and without huge
# pages for malloc. Run from the repository as root on Debian 12; installs what is missing and
# builds the default preset. Prints a table; takes about ten minutes on two processors.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
install_packages "${BUILD_PACKAGES[@]}" "${THREAD_BENCH_PACKAGES[@]}"
cmake --preset default >/dev/null
cmake --build --preset default >/dev/null
blas=$(dirname "$(find /usr/lib -path '*openblas-pthread*' -name 'libblas.so.3' | head -n 1)")
processors=$(nproc)
counts=(1)
for ((t = 2; t < processors; t *= 2)); do counts+=("$t"); done
[ "$processors" -gt 1 ] && counts+=("$processors")
out=build/bench/threads
mkdir -p "$out"
rm -f "$out"/*.txt

# One run of every call at `t` threads, pinned to processors 0 to t-1.
run() {
  local t=$1 round=$2
  env -u GLIBC_TUNABLES OPENBLAS_NUM_THREADS="$t" LD_LIBRARY_PATH="$blas" taskset -c "0-$((t - 1))" \
    octave-cli --norc --no-history --quiet \
    --eval "addpath('build/octave', 'bench/octave'); thread_bench($t)" 2>/dev/null |
    grep '|' >"$out/t$t.r$round.txt"
}
for round in 1 2; do
  for t in "${counts[@]}"; do run "$t" "$round"; done
done

echo "Wall-clock seconds, fastest of three calls and two runs; the route at as many threads beside."
echo "Peak: the most memory one call held beyond what the process held before it."
cat "$out"/t*.txt | awk -F'|' -v counts="${counts[*]}" '
  { key = $1 SUBSEP $2
    if (!(key in best) || $3 < best[key]) best[key] = $3
    if (!(key in route) || $4 < route[key]) route[key] = $4
    peak[key] = $5; if ($6 != 1) differs[$1] = 1
    if (!($1 in seen)) { seen[$1] = 1; order[++calls] = $1 } }
  END {
    n = split(counts, t, " ")
    printf "%-16s", "call"
    for (i = 1; i <= n; i++) printf " | %8s", t[i] " thr"
    printf " | %8s | %10s | %10s | %s\n", "1 -> " t[n], "route 1", "route " t[n], "peak MB 1 / " t[n]
    for (c = 1; c <= calls; c++) {
      name = order[c]; printf "%-16s", name
      for (i = 1; i <= n; i++) printf " | %8.3f", best[name, t[i]]
      printf " | %7.2fx | %10.3f | %10.3f | %s / %s%s\n", best[name, t[1]] / best[name, t[n]], route[name, t[1]],
        route[name, t[n]], peak[name, t[1]], peak[name, t[n]], (name in differs) ? "  RESULTS DIFFER" : ""
    }
  }'

# neighborJaccard at 0.05 on the large graph, seven calls on every processor, with and without
# huge pages: the fastest and the slowest.
spread="addpath('build/octave', 'bench/octave'); G = power_law_graph (200000, 12.6, 2.85, 7); t = zeros (1, 7);
for k = 1:7, tic; evalc ('S = neighborJaccard (G, 0.05);'); t(k) = toc; clear S; end
printf ('%.3f %.3f\n', min (t), max (t));"
echo
echo "neighborJaccard, 200,000 nodes, 0.05, on $processors processors, seven calls: fastest and slowest"
printf '  without huge pages: %s\n' "$(env -u GLIBC_TUNABLES octave-cli --norc --quiet --eval "$spread" 2>/dev/null)"
printf '  glibc.malloc.hugetlb=1: %s\n' \
  "$(GLIBC_TUNABLES=glibc.malloc.hugetlb=1 octave-cli --norc --quiet --eval "$spread" 2>/dev/null)"
