#!/usr/bin/env bash
# Runs every gateway case with small inputs in octave-cli under valgrind memcheck and fails on any
# invalid read, write or free, any use of an undefined value, or any leak, whose stack holds a
# frame of our plug-ins (*.mex); what Octave does on its own is not ours to judge.
#
#   memcheck.sh <plug-in folder> <helper folder> <tests/octave> <cases folder> <shim.so> <log folder>
#
# Every error identifier the plug-ins raise on small inputs is met at least once: the case files
# hold a case for each. The log folder keeps valgrind's XML report.
set -euo pipefail
plugins=$1 helpers=$2 scripts=$3 cases=$4 shim=$5 logs=$6
mkdir -p "$logs"
report=$logs/memcheck.xml

# The shim stands in for a timer calibration valgrind cannot run on some processors. Each case runs
# once, with maxNumCompThreads answering 3: small cases stay on one thread at any count, so one run
# covers both the single-threaded calls and those that share their work.
status=0
LD_PRELOAD=$shim valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite,indirect,possible \
  --xml=yes --xml-file="$report" --error-exitcode=0 \
  octave-cli --norc --no-history --quiet \
  --eval "addpath('$plugins', '$helpers', '$scripts'); exit (run_cases ('$cases', 20000, 3) > 0)" || status=1

# Every error block of the report whose stack passes through a plug-in, printed whole.
awk '
  /<error>/ { inside = 1; ours = 0; block = "" }
  inside { block = block "\n" $0 }
  inside && /<obj>.*\.mex<\/obj>/ { ours = 1 }
  /<\/error>/ { if (ours) { print block; found++ } inside = 0 }
  END { exit found > 0 }
' "$report" || { echo "FAIL  valgrind reports the errors above in our plug-ins (report: $report)"; exit 1; }
errors=$(grep -c '<error>' "$report" || true)
echo "ok    no invalid access, undefined value or leak in our plug-ins ($errors reports, all outside them)"
exit $status
