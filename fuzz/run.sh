#!/usr/bin/env bash
# Builds the fuzz targets in build-fuzz with the fuzz preset (clang++,
# libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer) and runs each for the given number of seconds
# (default 20) on a scratch copy of the committed seed corpus. Exits non-zero
# if any target finds a crash, hang, leak or failed check; the input that
# caused it is kept in build-fuzz/findings/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}

tools/install.sh fuzz
cmake --preset fuzz
cmake --build --preset fuzz

work=$PWD/build-fuzz/fuzzing
rm -rf "$work"
mkdir -p "$work/tmp"
status=0
# Target and longest input: a dart answer is a short token, a whole session
# needs room for several activities.
for entry in fuzz_dartanswer:256 fuzz_grammars:512 fuzz_program:2048; do
  target=${entry%%:*}
  maxlen=${entry##*:}
  echo "== $target: ${seconds}s, inputs up to $maxlen bytes"
  mkdir -p "$work/$target" "$PWD/build-fuzz/findings/$target"
  cp -r "fuzz/corpus/$target" "$work/$target/corpus"
  log=$work/$target/log
  if TMPDIR=$work/tmp UBSAN_OPTIONS=print_stacktrace=1 "build-fuzz/fuzz/$target" \
      -max_total_time="$seconds" -max_len="$maxlen" -timeout=10 -print_final_stats=1 \
      -dict=fuzz/quiverly.dict -artifact_prefix="$PWD/build-fuzz/findings/$target/" \
      "$work/$target/corpus" >"$log" 2>&1; then
    grep -E '^#[0-9]+[[:space:]]+DONE' "$log" || true
    grep -E '^Done ' "$log" || true
  else
    status=1
    tail -n 60 "$log"
    echo "== $target: FINDING (input in build-fuzz/findings/$target/)"
  fi
done
exit $status
