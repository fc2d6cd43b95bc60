#!/usr/bin/env bash
# Builds Quiverly for arm64, armhf and big-endian s390x (cmake/<triplet>.cmake),
# runs the whole test suite of each under qemu-user, then plays the same
# sessions with each program and with the x86-64 one (the first argument) and
# compares what they print and the files they write, byte for byte. One
# session is a game played with the clock frozen in 2040, past the end of a
# 32-bit time_t: libfaketime of the target's own architecture is loaded into
# the program under qemu, not into qemu; on armhf, whose libfaketime misses
# the 64-bit time calls, tools/frozenclock.c beside it. Given a 32-bit x86
# program (-m32) as well, it plays that game with it too.
#   tools/arch-check.sh build-tests/quiverly [build-m32/quiverly]
set -euo pipefail
cd "$(dirname "$0")/.."
native=$(realpath "${1:?usage: tools/arch-check.sh path/to/x86-64/quiverly [path/to/m32/quiverly]}")
m32=${2:+$(realpath "$2")}
started=$SECONDS

tools/install.sh cross

# The clock of the frozen session, 2 November 2040, 12:46:45 UTC: 2235473205
# seconds, more than a signed 32-bit count holds.
frozen="2040-11-02 12:46:45"
frozenseconds=2235473205

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# session <name> <input> <program...>: plays input with the program in a
# folder of its own under $work/<name>/<label>, where label is $label; the
# dialogue goes to $work/<name>/<label>.out. The x86-64 program is run the
# same way with label x86-64.
session() {
  local name=$1 input=$2
  shift 2
  mkdir -p "$work/$name/$label"
  (cd "$work/$name/$label" && printf '%b' "$input" | "$@" >"../$label.out")
}

# The sessions, each given to session with the program to run.
playall() {
  session calculator 'c\n170\na60\nd35\n181\nq\nq\n' "$@"
  session export 's\n20dt\n20dt\nac\nac\nq\nq\n' "$@"
  session menu '7\nx\nq\n' "$@"
}
sessions="calculator export menu game2040"

label=x86-64
playall "$native"
game='1\na\na\na\na\na\na\nq\nq\n'
faketime=(env TZ=UTC LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
          "FAKETIME=$frozen")
session game2040 "$game" "${faketime[@]}" "$native"
# The same game a second later is the same only if the clock stood still.
sleep 1
label=x86-64-again
session game2040 "$game" "${faketime[@]}" "$native"
if ! grep -q "Full 301 darts game" "$work/game2040/x86-64.out" ||
   ! cmp -s "$work/game2040/x86-64.out" "$work/game2040/x86-64-again.out"; then
  echo "arch-check: no game was played with the clock frozen" >&2
  exit 1
fi

status=0
if [ -n "$m32" ]; then
  label=x86-m32
  cc -m32 -O2 -Wall -Wextra -Werror -shared -fPIC -o "$work/frozenclock-m32.so" tools/frozenclock.c
  session game2040 "$game" env TZ=UTC "LD_PRELOAD=$work/frozenclock-m32.so" \
    "FROZENCLOCK=$frozenseconds" "$m32"
  if cmp -s "$work/game2040/x86-64.out" "$work/game2040/x86-m32.out"; then
    echo "x86 -m32: the game with the clock frozen in 2040 identical with x86-64:" \
      "$(wc -c <"$work/game2040/x86-m32.out") bytes of dialogue"
  else
    echo "x86 -m32: the game with the clock frozen in 2040 DIFFERENT from x86-64"
    diff "$work/game2040/x86-64.out" "$work/game2040/x86-m32.out" | head -20 || true
    status=1
  fi
fi

for target in aarch64-linux-gnu:arm64:aarch64 arm-linux-gnueabihf:armhf:arm s390x-linux-gnu:s390x:s390x; do
  IFS=: read -r triplet label qemu <<<"$target"
  build=build-$label
  step=$SECONDS
  cmake --preset "$label" >/dev/null
  cmake --build --preset "$label" >/dev/null
  built=$((SECONDS - step))

  # The killed-writer test forks dozens of writers; qemu makes each slow, so
  # the test preset gives each test more time than natively.
  step=$SECONDS
  tests=$(ctest --preset "$label" 2>&1) || {
    printf '%s\n' "$tests" | tail -n 30
    echo "$label: tests FAILED"
    status=1
    continue
  }
  summary=$(printf '%s\n' "$tests" | grep 'tests passed')
  tested=$((SECONDS - step))

  step=$SECONDS
  emulator=("qemu-$qemu" -L "/usr/$triplet" -E "LD_LIBRARY_PATH=/usr/$triplet/lib")
  playall "${emulator[@]}" "$PWD/$build/quiverly"
  preload=/usr/lib/$triplet/faketime/libfaketime.so.1
  if [ "$label" = armhf ]; then
    clang --target="$triplet" -O2 -Wall -Wextra -Werror -shared -fPIC \
      -o "$work/frozenclock.so" tools/frozenclock.c
    preload=$work/frozenclock.so:$preload
  fi
  session game2040 "$game" env TZ=UTC "${emulator[@]}" -E TZ=UTC -E "LD_PRELOAD=$preload" \
    -E "FAKETIME=$frozen" -E "FROZENCLOCK=$frozenseconds" "$PWD/$build/quiverly"
  dialogue=0
  files=0
  different=""
  for name in $sessions; do
    if cmp -s "$work/$name/x86-64.out" "$work/$name/$label.out" &&
       diff -r "$work/$name/x86-64" "$work/$name/$label" >/dev/null; then
      dialogue=$((dialogue + $(wc -c <"$work/$name/$label.out")))
      files=$((files + $(find "$work/$name/$label" -type f -exec cat {} + | wc -c)))
    else
      different+=" $name"
      diff "$work/$name/x86-64.out" "$work/$name/$label.out" | head -20 || true
      diff -r "$work/$name/x86-64" "$work/$name/$label" | head -5 || true
    fi
  done
  played=$((SECONDS - step))

  if [ -n "$different" ]; then
    echo "$label: $summary; sessions DIFFERENT from x86-64:$different"
    status=1
  else
    echo "$label: $summary; 4 sessions identical with x86-64: $dialogue bytes of dialogue," \
      "$files bytes in files (build ${built} s, tests ${tested} s, sessions ${played} s)"
  fi
done
echo "arch-check: $((SECONDS - started)) s in all"
exit $status
