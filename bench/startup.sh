#!/usr/bin/env bash
# Start-up cost: the time from exec to "Bye!" of `quiverly` on the input "q",
# against a minimal C program that prints the same bytes, and the peak
# resident size of both. Targets: at most 1.3 times the C program's median
# wall time, and at most 4 MiB resident.
#
# Usage: bench/startup.sh [build-dir]   (default: build-bench, built Release)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
if [ ! -x "$build/quiverly" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUIVERLY_TESTS=OFF >/dev/null
  cmake --build "$build" -j2 --target quiverly >/dev/null
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The C program prints exactly what quiverly prints before "Bye!" and after it.
printf 'q\n' | "$build/quiverly" >"$work/expected.txt"
python3 - "$work/expected.txt" >"$work/minimal.c" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
literal = ''.join('\\x%02x' % b for b in data)
print('#include <stdio.h>\nint main(void) {\n  static const char text[] = "%s";' % literal)
print('  fwrite(text, 1, sizeof text - 1, stdout);\n  return 0;\n}')
PY
cc -O2 -o "$work/minimal" "$work/minimal.c"
"$work/minimal" | cmp - "$work/expected.txt"
printf 'q\n' >"$work/q.txt"

echo "machine: $(uname -m), $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo "linked: $(ldd "$build/quiverly" | awk '{print $1}' | tr '\n' ' ')"

median() {  # median wall time in microseconds of a command reading q.txt
  python3 - "$@" <<'PY'
import os, statistics, subprocess, sys, time
runs = []
stdin = open(os.environ['QFILE'], 'rb')
for _ in range(int(os.environ.get('RUNS', '500'))):
    stdin.seek(0)
    start = time.perf_counter_ns()
    subprocess.run(sys.argv[1:], stdin=stdin, stdout=subprocess.DEVNULL, check=True)
    runs.append(time.perf_counter_ns() - start)
print(int(statistics.median(runs) / 1000))
PY
}

if command -v hyperfine >/dev/null; then
  # Without a shell; standard input is empty, which quiverly reads as "q".
  hyperfine -N --warmup 50 --runs "${RUNS:-1000}" --export-json "$work/times.json" \
    "$build/quiverly" "$work/minimal" >/dev/null 2>&1
  read -r ours theirs < <(python3 -c '
import json, sys
r = json.load(open(sys.argv[1]))["results"]
print(int(r[0]["median"] * 1e6), int(r[1]["median"] * 1e6))' "$work/times.json")
  tool="hyperfine"
else
  export QFILE="$work/q.txt"
  ours=$(median "$build/quiverly")
  theirs=$(median "$work/minimal")
  tool="python subprocess loop (includes spawn cost)"
fi
ratio=$(python3 -c "print(f'{$ours / $theirs:.2f}')")
rss() { /usr/bin/time -f %M "$@" <"$work/q.txt" 2>&1 >/dev/null | tail -1; }
echo "start-up median ($tool): quiverly ${ours} us, minimal C ${theirs} us, ratio ${ratio} (target <= 1.3)"
echo "peak resident: quiverly $(rss "$build/quiverly") KiB, minimal C $(rss "$work/minimal") KiB (target <= 4096 KiB)"
