#!/usr/bin/env bash
# Builds Quiverly for Windows with MinGW-w64, runs the whole test suite under
# Wine, plays three sessions with the Windows program and with the Linux one
# (given as the first argument) and compares what they print (carriage returns
# removed: the Windows console ends lines with CRLF) and the files they write,
# byte for byte, and makes the zip for Windows players. The build, its tests
# and the zip are the windows presets of CMakePresets.json. Given the
# release's zip (tools/release.sh), it plays the same sessions with the
# quiverly.exe in it too.
#   tools/windows-check.sh build-tests/quiverly [dist/quiverly-1.0.0-win64.zip]
set -euo pipefail
cd "$(dirname "$0")/.."
linux=$(realpath "${1:?usage: tools/windows-check.sh path/to/linux/quiverly [release.zip]}")
release=${2:+$(realpath "$2")}
build=build-windows

tools/install.sh windows

# Wine's server would inherit and hold the caller's output pipes: start it and
# the prefix first, with their output elsewhere, and stop it at the end. The
# build runs the test program under Wine too, to list its tests.
export WINEPREFIX=$PWD/$build/wineprefix WINEDEBUG=-all
wine=/usr/lib/wine/wine64
mkdir -p "$build"
"$wine" wineboot -i >/dev/null 2>&1 </dev/null
/usr/lib/wine/wineserver64 -p >/dev/null 2>&1 </dev/null || true
trap '/usr/lib/wine/wineserver64 -k >/dev/null 2>&1 || true' EXIT

echo "== build (MinGW-w64, static)"
cmake --preset windows
cmake --build --preset windows
# imports EXE: fails unless EXE needs only DLLs that come with Windows.
imports() {
  local dlls dll
  dlls=$(x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p' | sort -u)
  echo "${1##*/} imports: $(echo $dlls)"
  for dll in $dlls; do
    case ${dll,,} in
      kernel32.dll | msvcrt.dll | user32.dll | advapi32.dll | ws2_32.dll) ;;
      *) echo "${1##*/} needs $dll, which Windows does not have" >&2; exit 1 ;;
    esac
  done
}
imports "$build/quiverly.exe"

echo "== tests under Wine"
# The preset runs a failing test once more: Wine now and then fails to start
# a program at all, which is no fault of the test.
ctest --preset windows

echo "== the same sessions on Windows and Linux"
work=$(mktemp -d)
status=0
# session NAME INPUT: plays INPUT with the Linux program and with $exe.
exe=$PWD/$build/quiverly.exe
session() {
  local name=$1 input=$2
  rm -rf "$work/$name"
  mkdir -p "$work/$name/linux" "$work/$name/windows"
  (cd "$work/$name/linux" && printf "$input" | "$linux" >../linux.out)
  (cd "$work/$name/windows" && printf "$input" | "$wine" "$exe" >../windows.raw)
  tr -d '\r' <"$work/$name/windows.raw" >"$work/$name/windows.out"
  local crlf
  crlf=$(grep -c $'\r$' "$work/$name/windows.raw" || true)
  if cmp -s "$work/$name/linux.out" "$work/$name/windows.out" &&
     diff -r "$work/$name/linux" "$work/$name/windows" >/dev/null; then
    echo "$name: $(wc -c <"$work/$name/linux.out") bytes of dialogue identical ($crlf lines end in CRLF on Windows); files: $(cd "$work/$name/windows" && ls | tr '\n' ' ')identical"
  else
    echo "$name: DIFFERENT"
    diff "$work/$name/linux.out" "$work/$name/windows.out" | head -20 || true
    diff -r "$work/$name/linux" "$work/$name/windows" | head -5 || true
    status=1
  fi
}
playall() {
  session calculator 'c\n170\na60\nd35\n181\nq\nq\n'
  session export 's\n20dt\n20dt\nac\nac\nq\nq\n'
  session menu '7\nx\nq\n'
  if grep -q "fopen returned null, errno: 17" "$work/export/windows.out" &&
     grep -q "File already exists.$" "$work/export/windows.out"; then
    echo "export: the second request of each list is refused with errno 17"
  else
    echo "export: the second request was not refused with errno 17"; status=1
  fi
}
playall
if [ -n "$release" ]; then
  echo "== the same sessions with the quiverly.exe of $release"
  unzip -q "$release" -d "$work/release"
  exe=$(echo "$work"/release/*/quiverly.exe)
  imports "$exe"
  playall
fi
rm -rf "$work"

echo "== zip for Windows"
cpack --preset windows
zip=$(ls "$build"/quiverly-*-win64.zip)
unzip -l "$zip"
exit $status
