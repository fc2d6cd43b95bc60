#!/usr/bin/env bash
# Export cost: one session of `quiverly` that writes the four lists of every
# total (at, dt, ac, dc), against `cp` of the same four files into an empty
# directory, and the peak resident size of sessions that write all four lists,
# one list and none. Targets: at most twice the cp median wall time, and a
# resident size that does not grow with the lists written (no whole-file
# buffering). For reference, a minimal C program that makes only the writes
# (one fwrite per line, as many lines of the average length into four files)
# shows the floor of writing line by line.
#
# Usage: bench/export.sh [build-dir]   (default: build, built Release if absent)
# ROUNDS (default 3) alternates the two measurements to even out machine load;
# RUNS (default 40) is the number of timed runs of each per round; HYPERFINE=none
# forces the plain loop used where hyperfine is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
if [ ! -x "$build/quiverly" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUIVERLY_TESTS=OFF >/dev/null
  cmake --build "$build" -j2 --target quiverly >/dev/null
fi
quiverly=$(realpath "$build/quiverly")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
lists="darts-score-everything.txt darts-score-everything-doubles.txt darts-score-everything.csv darts-score-everything-doubles.csv"
printf 's\nat\ndt\nac\ndc\nq\nq\n' >four.txt
printf 's\ndc\nq\nq\n' >one.txt
printf 'q\n' >none.txt

# The files to copy are the ones the program writes.
mkdir source copy
(cd source && "$quiverly" <../four.txt >../session.txt)
for f in $lists; do [ -s "source/$f" ] || { echo "quiverly did not write $f" >&2; exit 1; }; done
copyfiles=$(for f in $lists; do printf 'source/%s ' "$f"; done)
bytes=$(cd source && cat $lists | wc -c)
lines=$(cd source && cat $lists | wc -l)
cat >floor.c <<'C'
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
static char buffer[65536];
int main(int argc, char** argv) {
  const long lines = atol(argv[1]), length = atol(argv[2]);
  char line[256];
  memset(line, 'x', sizeof line);
  line[length - 1] = '\n';
  const char* names[4] = {"floor1", "floor2", "floor3", "floor4"};
  for (int f = 0; f < 4; ++f) {
    FILE* out = fopen(names[f], "wbx");
    if (out == NULL) return 1;
    setvbuf(out, buffer, _IOFBF, sizeof buffer);
    for (long n = f; n < lines; n += 4) fwrite(line, 1, (size_t)length, out);
    if (fclose(out) != 0) return 1;
  }
  return 0;
}
C
cc -O2 -o floor floor.c

echo "machine: $(uname -m), $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo "file system of $(dirname "$work"): $(df -T "$work" | awk 'NR == 2 {print $2}')"
echo "lists: $bytes bytes in $lines lines"

rounds=${ROUNDS:-3}
runs=${RUNS:-40}
results=()
for round in $(seq "$rounds"); do
  if command -v "${HYPERFINE:-hyperfine}" >/dev/null; then
    # Shell commands (the session reads its requests from a file); hyperfine
    # subtracts the shell's own start-up from both.
    "${HYPERFINE:-hyperfine}" --warmup 5 --runs "$runs" --export-json times.json \
      --prepare "rm -f $lists" "$quiverly <four.txt >/dev/null" \
      --prepare "rm -f copy/*" "cp $copyfiles copy/" \
      --prepare "rm -f floor1 floor2 floor3 floor4" "./floor $lines $((bytes / lines))" >/dev/null 2>&1
    results+=("$(python3 -c '
import json, sys
r = json.load(open(sys.argv[1]))["results"]
print(" ".join(str(x["median"] * 1000) for x in r))' times.json)")
    tool="hyperfine medians"
  else
    results+=("$(python3 - "$quiverly" "$runs" "$lists" "$copyfiles" "$lines" "$((bytes / lines))" <<'PY'
import os, statistics, subprocess, sys, time
quiverly, runs, lists, copyfiles = sys.argv[1], int(sys.argv[2]), sys.argv[3].split(), sys.argv[4].split()
floor = ["./floor", sys.argv[5], sys.argv[6]]
def timed(command, stdin=None):
    start = time.perf_counter_ns()
    subprocess.run(command, stdin=stdin, stdout=subprocess.DEVNULL, check=True)
    return time.perf_counter_ns() - start
ours, theirs, least = [], [], []
for _ in range(runs):  # alternating, each with its spawn cost
    for name in lists + ["floor1", "floor2", "floor3", "floor4"]:
        if os.path.exists(name): os.remove(name)
    for name in os.listdir("copy"): os.remove(os.path.join("copy", name))
    with open("four.txt", "rb") as requests:
        ours.append(timed([quiverly], requests))
    theirs.append(timed(["cp", *copyfiles, "copy/"]))
    least.append(timed(floor))
print(*(statistics.median(t) / 1e6 for t in (ours, theirs, least)))
PY
)")
    tool="plain loop medians (with spawn cost)"
  fi
done
python3 - "$tool" "${results[@]}" <<'PY'
import statistics, sys
tool, rounds = sys.argv[1], [tuple(map(float, r.split())) for r in sys.argv[2:]]
for i, (ours, theirs, least) in enumerate(rounds, 1):
    print(f"round {i} ({tool}): quiverly {ours:.2f} ms, cp {theirs:.2f} ms, ratio {ours / theirs:.2f}; "
          f"writes alone {least:.2f} ms, ratio {least / theirs:.2f}")
ratio = statistics.median(r[0] / r[1] for r in rounds)
least = statistics.median(r[2] / r[1] for r in rounds)
print(f"four every-total lists: median ratio {ratio:.2f} (target <= 2); one fwrite per line alone {least:.2f}")
PY

rss() {  # peak resident KiB of a session reading the given requests, in a clean directory
  rm -rf rss && mkdir rss
  (cd rss && /usr/bin/time -f %M "$quiverly" <"../$1" 2>&1 >/dev/null | tail -1)
}
echo "peak resident: four lists $(rss four.txt) KiB, one list $(rss one.txt) KiB, none $(rss none.txt) KiB; cp of the four $(/usr/bin/time -f %M cp $copyfiles rss/ 2>&1 | tail -1) KiB"
