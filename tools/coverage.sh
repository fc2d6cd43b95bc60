#!/usr/bin/env bash
# Line and branch coverage of src/ by the tests: builds the coverage preset
# (g++ with gcov's instrumentation, unoptimised) in build-coverage/, runs
# every test, and prints with lcov the coverage of each file of src/ that this
# system builds and of all of them. A branch that no test can take (another
# system's code, an error that cannot be caused here) is marked where it
# stands: LCOV_EXCL_BR_LINE on its line, or LCOV_EXCL_BR_START and
# LCOV_EXCL_BR_STOP around it, each with the reason.
#   tools/coverage.sh          # exits 1 when less than $1 percent (97) of the
#   tools/coverage.sh 95       # branches are taken both ways
set -euo pipefail
cd "$(dirname "$0")/.."
wanted=${1:-97}
build=build-coverage
rc=(--rc lcov_branch_coverage=1)

# The counts of an earlier run would add to this one's.
[ ! -d "$build" ] || find "$build" -name '*.gcda' -delete
cmake --workflow --preset coverage

# lcov 1.16's geninfo warns of its own redefined subroutines on every run.
lcov --quiet "${rc[@]}" --capture --directory "$build" --base-directory . \
  --output-file "$build/all.info" 2>"$build/lcov.log" || {
  cat "$build/lcov.log" >&2
  exit 1
}
grep -v ' redefined at /usr/bin/geninfo ' "$build/lcov.log" >&2 || true
lcov --quiet "${rc[@]}" --extract "$build/all.info" "$PWD/src/*" --output-file "$build/src.info"
echo
echo "Coverage of src/ by the tests (lines, functions, branches):"
lcov "${rc[@]}" --list "$build/src.info" | sed "s|$PWD/||"
summary=$(lcov "${rc[@]}" --summary "$build/src.info" 2>&1)
echo "$summary" | grep -E '^ *(lines|functions|branches)'
branches=$(echo "$summary" | sed -n 's/^ *branches\.*: \([0-9.]*\)%.*/\1/p')
if ! awk -v got="$branches" -v wanted="$wanted" 'BEGIN { exit !(got >= wanted) }'; then
  echo "tools/coverage.sh: $branches% of the branches of src/ are covered, less than $wanted%" >&2
  exit 1
fi
