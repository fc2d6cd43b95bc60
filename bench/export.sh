#!/usr/bin/env bash
# Export cost: one session of `quiverly` that writes the four lists of every
# total (at, dt, ac, dc), against `cp` of the same four files into an empty
# directory, and the peak resident size of sessions that write all four lists,
# one list and none. Targets: at most twice the cp median wall time, and a
# resident size that does not grow with the lists written (no whole-file
# buffering).
#
# Usage: bench/export.sh [build-dir]   (default: build, built Release if absent)
# ROUNDS (default 3) alternates the two measurements to even out machine load;
# RUNS (default 40) is the number of timed runs of each per round.
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

echo "machine: $(uname -m), $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo "file system of $(dirname "$work"): $(df -T "$work" | awk 'NR == 2 {print $2}')"
echo "lists: $(cd source && wc -c $lists | awk 'END {print $1}') bytes in $(cd source && cat $lists | wc -l) lines"

rounds=${ROUNDS:-3}
runs=${RUNS:-40}
results=()
for round in $(seq "$rounds"); do
  if command -v hyperfine >/dev/null; then
    # Shell commands (the session reads its requests from a file); hyperfine
    # subtracts the shell's own start-up from both.
    hyperfine --warmup 5 --runs "$runs" --export-json times.json \
      --prepare "rm -f $lists" "$quiverly <four.txt >/dev/null" \
      --prepare "rm -f copy/*" "cp $copyfiles copy/" >/dev/null 2>&1
    results+=("$(python3 -c '
import json, sys
r = json.load(open(sys.argv[1]))["results"]
print(" ".join(str(x["median"] * 1000) for x in r))' times.json)")
    tool="hyperfine medians"
  else
    results+=("$(python3 - "$quiverly" "$runs" "$lists" "$copyfiles" <<'PY'
import os, statistics, subprocess, sys, time
quiverly, runs, lists, copyfiles = sys.argv[1], int(sys.argv[2]), sys.argv[3].split(), sys.argv[4].split()
ours, theirs = [], []
for _ in range(runs):  # alternating, each with its spawn cost
    for name in lists:
        if os.path.exists(name): os.remove(name)
    with open("four.txt", "rb") as requests:
        start = time.perf_counter_ns()
        subprocess.run([quiverly], stdin=requests, stdout=subprocess.DEVNULL, check=True)
        ours.append(time.perf_counter_ns() - start)
    for name in os.listdir("copy"): os.remove(os.path.join("copy", name))
    start = time.perf_counter_ns()
    subprocess.run(["cp", *copyfiles, "copy/"], check=True)
    theirs.append(time.perf_counter_ns() - start)
print(statistics.median(ours) / 1e6, statistics.median(theirs) / 1e6)
PY
)")
    tool="plain loop medians (with spawn cost)"
  fi
done
python3 - "$tool" "${results[@]}" <<'PY'
import statistics, sys
tool, rounds = sys.argv[1], [tuple(map(float, r.split())) for r in sys.argv[2:]]
for i, (ours, theirs) in enumerate(rounds, 1):
    print(f"round {i} ({tool}): quiverly {ours:.2f} ms, cp {theirs:.2f} ms, ratio {ours / theirs:.2f}")
ratio = statistics.median(ours / theirs for ours, theirs in rounds)
print(f"four every-total lists: median ratio {ratio:.2f} (target <= 2)")
PY

rss() {  # peak resident KiB of a session reading the given requests, in a clean directory
  rm -rf rss && mkdir rss
  (cd rss && /usr/bin/time -f %M "$quiverly" <"../$1" 2>&1 >/dev/null | tail -1)
}
echo "peak resident: four lists $(rss four.txt) KiB, one list $(rss one.txt) KiB, none $(rss none.txt) KiB; cp of the four $(/usr/bin/time -f %M cp $copyfiles rss/ 2>&1 | tail -1) KiB"
