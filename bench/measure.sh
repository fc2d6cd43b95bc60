#!/usr/bin/env bash
# Measures a Release build of quiverly on this machine, side by side with
# programs that do the least the same job needs, and prints a summary against
# the targets:
#   (a) start-up to "Bye!" on empty input, against a minimal C program that
#       prints the same bytes: median wall time at most 1.3 times;
#   (b) one session writing the four every-total lists (at, dt, ac, dc),
#       against a copy of the same four files that syncs as the program does
#       (each file, then its folder: synccopy.c, cp and sync in one process):
#       at most 1.5 times; shown beside it, a minimal C program writing as many
#       lines one fwrite each and syncing alike (the floor of writing line by
#       line on this file system);
#   (c) a calculator session of 2000 requests (plain, d, a and da requests for
#       every total from 1 to 180, and refused tokens), against cat of the same
#       output: at most 3 times;
#   (d) the peak resident size of these sessions: at most 4 MiB.
#
# Usage: bench/measure.sh   (builds the bench preset into build-bench; exit
# status 1 if a target is missed; tools/install.sh bench brings hyperfine). ROUNDS (default 5) is the number of rounds, each timing every
# pair anew; a figure is the median over the rounds. Timing uses hyperfine
# where installed (HYPERFINE=none forces the built-in loop of spawntimer.c,
# which spawns each command without a shell, as hyperfine -N does).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=build-bench
rounds=${ROUNDS:-5}
hyperfine=${HYPERFINE:-hyperfine}

cmake --preset bench >/dev/null
cmake --build --preset bench --target quiverly >/dev/null
quiverly=$(realpath "$build/quiverly")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cc -O2 -o spawntimer "$root/bench/spawntimer.c"
cc -O2 -o linewriter "$root/bench/linewriter.c"
cc -O2 -o synccopy "$root/bench/synccopy.c"

# (a) The C program prints exactly what quiverly prints on empty input.
"$quiverly" </dev/null >startup-out.txt
{
  printf '#include <stdio.h>\nint main(void) {\n  static const char text[] = "'
  od -An -v -tx1 startup-out.txt | tr -d ' \n' | sed 's/\(..\)/\\x\1/g'
  printf '";\n  fwrite(text, 1, sizeof text - 1, stdout);\n  return 0;\n}\n'
} >minimal.c
cc -O2 -o minimal minimal.c
./minimal | cmp - startup-out.txt

# (b) The files to copy are the ones the program writes.
lists="darts-score-everything.txt darts-score-everything-doubles.txt darts-score-everything.csv darts-score-everything-doubles.csv"
printf 's\nat\ndt\nac\ndc\nq\nq\n' >four.txt
mkdir source copy
(cd source && "$quiverly" <../four.txt >/dev/null)
sources="" copies=""
for f in $lists; do
  [ -s "source/$f" ] || { echo "quiverly did not write $f" >&2; exit 1; }
  sources+=" source/$f" copies+=" copy/$f"
done
bytes=$(cat source/* | wc -c)
lines=$(cat source/* | wc -l)

# (c) Nine requests in ten go through the totals 1 to 180, pass after pass, the
# passes taking plain, d, a and da requests in turn; every tenth token is
# refused (too high, zero or not a request).
awk 'BEGIN {
  split("181 0 x a d999 200a ? -5", refused, " ")
  split("%d d%d a%d da%d", kinds, " ")
  print "c"
  for (i = 0; i < 2000; ++i) {
    if (i % 10 == 9) { print refused[int(i / 10) % 8 + 1]; continue }
    printf kinds[int(j / 180) % 4 + 1] "\n", j % 180 + 1
    ++j
  }
  print "q"; print "q"
}' >calc.txt
"$quiverly" <calc.txt >calc-out.txt

# Times the commands, each given as input file, preparation and command, and
# prints their median wall times in ms. hyperfine runs a command that reads a
# file through the shell and subtracts the shell's own start-up.
timeset() {
  local runs=$1 warmup=$2
  shift 2
  if ! command -v "$hyperfine" >/dev/null; then
    ./spawntimer "$runs" "$warmup" "$@" | head -1
    return
  fi
  local options=() direct=1 i
  local -a job=("$@")
  for ((i = 0; i < ${#job[@]}; i += 3)); do [ "${job[i]}" = /dev/null ] || direct=0; done
  [ $direct = 1 ] && options+=(-N)
  for ((i = 0; i < ${#job[@]}; i += 3)); do
    local command=${job[i + 2]}
    [ $direct = 1 ] || command+=" <${job[i]}"
    options+=(--prepare "${job[i + 1]}" "$command")
  done
  "$hyperfine" --style none --warmup "$warmup" --runs "$runs" --export-csv times.csv \
    "${options[@]}" >/dev/null 2>&1
  awk -F, 'NR > 1 {printf "%s%.4f", (NR > 2 ? " " : ""), $4 * 1000} END {print ""}' times.csv
}

# Peak resident size in KiB of a command reading a file, run in a clean folder.
peakrss() {
  local input=$1
  [[ $input = /* ]] || input=../$input
  rm -rf rss && mkdir rss
  if [ -x /usr/bin/time ]; then
    (cd rss && /usr/bin/time -f %M "$2" <"$input" 2>&1 >/dev/null | tail -1)
  else
    (cd rss && ../spawntimer 1 0 "$input" true "$2" | tail -1)
  fi
}

if command -v "$hyperfine" >/dev/null; then
  tool="$("$hyperfine" --version) (medians; shell start-up subtracted for (b), (c))"
else
  tool="spawntimer loop (medians, spawned without a shell)"
fi
echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores available of $(getconf _NPROCESSORS_ONLN)"
echo "kernel: $(uname -srm); temp dir $(dirname "$work") on $(df -T "$work" | awk 'NR == 2 {print $2}'); load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "quiverly: $quiverly, linked to $(ldd "$quiverly" | awk '{print $1}' | tr '\n' ' ')"
echo "timing: $tool, $rounds rounds"
echo "(b) lists: $bytes bytes in $lines lines; (c) calculator output: $(wc -c <calc-out.txt) bytes in $(wc -l <calc-out.txt) lines"

: >a.txt
: >b.txt
: >c.txt
for round in $(seq "$rounds"); do
  timeset 300 30 /dev/null true "$quiverly" /dev/null true ./minimal >>a.txt
  timeset 30 3 four.txt "rm -f $lists" "$quiverly" /dev/null "rm -f$copies" "./synccopy copy$sources" \
    /dev/null "rm -f floor1 floor2 floor3 floor4" "./linewriter $lines $((bytes / lines))" >>b.txt
  timeset 30 3 calc.txt true "$quiverly" /dev/null true "cat calc-out.txt" >>c.txt
  printf 'round %d: (a) %.3f / %.3f ms   (b) %.2f / %.2f ms, line writer %.2f ms   (c) %.2f / %.2f ms\n' \
    "$round" $(tail -1 a.txt) $(tail -1 b.txt) $(tail -1 c.txt)
done

# The median of each column of a file of rounds, and of the ratio of the first
# two columns.
medians() {
  awk '{ for (i = 1; i <= NF; ++i) v[i, NR] = $i; v[NF + 1, NR] = $1 / $2; n = NF + 1 }
    END {
      for (i = 1; i <= n; ++i) {
        for (r = 1; r <= NR; ++r) s[r] = v[i, r]
        for (r = 2; r <= NR; ++r) for (k = r; k > 1 && s[k - 1] > s[k]; --k) { t = s[k]; s[k] = s[k - 1]; s[k - 1] = t }
        printf "%s%.4f", (i > 1 ? " " : ""), (NR % 2 ? s[(NR + 1) / 2] : (s[NR / 2] + s[NR / 2 + 1]) / 2)
      }
      print ""
    }' "$1"
}
read -r a_ours a_theirs a_ratio < <(medians a.txt)
read -r b_ours b_theirs b_floor b_ratio < <(medians b.txt)
read -r c_ours c_theirs c_ratio < <(medians c.txt)

rss_a=$(peakrss /dev/null "$quiverly")
rss_b=$(peakrss four.txt "$quiverly")
rss_c=$(peakrss calc.txt "$quiverly")
rss=$(printf '%s\n' "$rss_a" "$rss_b" "$rss_c" | sort -n | tail -1)
echo "peak resident (KiB): start-up $rss_a, four lists $rss_b, calculator $rss_c; minimal C $(peakrss /dev/null ./minimal)"

verdict() { awk -v v="$1" -v t="$2" 'BEGIN {print v <= t ? "PASS" : "MISS"}'; }
echo
printf '%-36s %12s %12s %8s %8s  %s\n' "measure" "quiverly" "reference" "ratio" "target" "result"
printf '%-36s %9.3f ms %9.3f ms %8.2f %8s  %s\n' "(a) start-up to Bye! / minimal C" "$a_ours" "$a_theirs" "$a_ratio" "1.3" "$(verdict "$a_ratio" 1.3)"
printf '%-36s %9.2f ms %9.2f ms %8.2f %8s  %s\n' "(b) four lists / synced copy" "$b_ours" "$b_theirs" "$b_ratio" "1.5" "$(verdict "$b_ratio" 1.5)"
printf '%-36s %9.2f ms %9.2f ms %8.2f %8s  %s\n' "(c) calculator, 2000 requests / cat" "$c_ours" "$c_theirs" "$c_ratio" "3" "$(verdict "$c_ratio" 3)"
printf '%-36s %8d KiB %12s %8s %8s  %s\n' "(d) peak resident size" "$rss" "" "" "4096 KiB" "$(verdict "$rss" 4096)"
echo "(line writer for (b): $(printf '%.2f' "$b_floor") ms, $(awk -v f="$b_floor" -v c="$b_theirs" 'BEGIN {printf "%.2f", f / c}') times the synced copy)"

[ "$(verdict "$a_ratio" 1.3)$(verdict "$b_ratio" 1.5)$(verdict "$c_ratio" 3)$(verdict "$rss" 4096)" = PASSPASSPASSPASS ]
