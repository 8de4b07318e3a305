#!/usr/bin/env bash
# The speed comparisons, as ratios measured side by side in one run, in processor time (this
# machine is shared and its absolute times wander): every kernel against the kernel it replaced
# and the streaming kernels as a share of the copy bandwidth; the similarity kernels as a share
# of the plain loop that bounds them (a population count of the same words, a sparse accumulator
# of the same products); each plug-in in Octave against the vectorised Octave code a user would
# write, with OpenBLAS, without and with huge pages for malloc; neighborJaccard against G*G
# followed by tessaly and against vectorised Octave, at four thresholds on the heavy-tailed graph;
# neighborSimilarity's and attributeSimilarity's measures against neighborJaccard and
# attributeJaccard; TopK 10 against the threshold keeping as many pairs, on graphs of 40,000 and
# 200,000 nodes; and attributeJaccard against tessaly5 and X' * X at 3000 nodes, with the peak
# memory of each. Google Benchmark's own tables go to build/bench/ratios_bench.txt and
# build/bench/limits_bench.txt. Run from the repository as root on Debian 12; installs what is
# missing. Takes about forty minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
install_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${BENCH_PACKAGES[@]}"
cmake --preset default >/dev/null
cmake --build --preset default
build/bench/ratios_bench --benchmark_color=false --benchmark_enable_random_interleaving=true \
  >build/bench/ratios_bench.txt 2>&1
sed -n '/^Fastest repetition/,$p' build/bench/ratios_bench.txt
echo
build/bench/limits_bench --benchmark_color=false --benchmark_enable_random_interleaving=true \
  >build/bench/limits_bench.txt 2>&1
sed -n '/^Fastest repetition/,$p' build/bench/limits_bench.txt
compare="addpath('bench/octave'); plugin_ratios('build/octave')"
echo
env -u GLIBC_TUNABLES octave-cli --norc --no-history --quiet --eval "$compare"
echo
env GLIBC_TUNABLES=glibc.malloc.hugetlb=1 octave-cli --norc --no-history --quiet --eval "$compare"
echo
env -u GLIBC_TUNABLES octave-cli --norc --no-history --quiet --eval "addpath('bench/octave'); neighbor_bench('build/octave')"
echo
env -u GLIBC_TUNABLES octave-cli --norc --no-history --quiet --eval "addpath('bench/octave'); similarity_bench('build/octave')"
echo
env -u GLIBC_TUNABLES octave-cli --norc --no-history --quiet --eval "addpath('bench/octave'); top_bench('build/octave')"
echo
env -u GLIBC_TUNABLES octave-cli --norc --no-history --quiet --eval "addpath('build/octave', 'bench/octave'); attribute_bench (3000)"
