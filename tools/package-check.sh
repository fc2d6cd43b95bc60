#!/usr/bin/env bash
# Builds the Debian package from the committed tree in a scratch folder and
# checks it: lintian (pedantic) reports no error and no warning, the desktop
# entry and the AppStream description pass their validators without a word,
# the icons are there, and hardening-check finds every protection in the
# packaged program and, if one is given, in a Release build. Given the
# release's packages too (tools/release.sh), the one of this machine's
# architecture must hold the bytes of the package built here, in another
# folder at another time, and is installed, played against the Release build
# and removed, leaving none of its files behind; another architecture's passes
# lintian and its program is played under qemu-user. Prints the sha256 of the
# package built here at the end.
#
# Usage: tools/package-check.sh [build-tests/quiverly [dist/quiverly_*.deb]]
#
# Uncommitted changes are not part of the package: the tree is taken from
# HEAD, so the working tree stays as it is.
set -euo pipefail

release=""
given=()
if [ $# -gt 0 ]; then
  release=$(realpath "$1")
  shift
  for package in "$@"; do given+=("$(realpath "$package")"); done
fi
cd "$(dirname "$0")/.."

tools/install.sh build package

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/quiverly"
git archive HEAD | tar -x -C "$tmp/quiverly"

# The package's flags come from dpkg-buildflags, and its timestamps from
# debian/changelog: flags or a time set in the caller's environment would make
# a different package.
echo "== dpkg-buildpackage -b -us -uc"
if ! (cd "$tmp/quiverly" &&
  env -u CFLAGS -u CXXFLAGS -u CPPFLAGS -u LDFLAGS -u SOURCE_DATE_EPOCH \
    dpkg-buildpackage -b -us -uc); then
  echo "package-check: the package did not build" >&2
  exit 1
fi
debs=("$tmp"/quiverly_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "package-check: expected one quiverly .deb, found: ${debs[*]}" >&2
  exit 1
fi
deb=${debs[0]}

echo "== lintian -I -E --pedantic $(basename "$deb")"
lintian -I -E --pedantic --fail-on error,warning "$deb"
echo "(lintian done)"

# Debian 12's C start files (Scrt1.o, crti.o) carry no IBT and SHSTK
# properties, so the linker may not mark any program on it as protected,
# whatever it was compiled with. There the check is that the program's own
# functions begin with the endbr64 landing pads -fcf-protection puts there.
startfilesmarked() {
  readelf -n "$(${CC:-cc} -print-file-name=Scrt1.o)" 2>/dev/null | grep -q 'IBT'
}

# The share, in per cent, of the program's functions (those with an unwind
# entry) that begin with endbr64.
landingpadshare() {
  local starts
  starts=$(readelf --debug-dump=frames "$1" |
    sed -n 's/.* FDE .* pc=0*\([0-9a-f]*\)\.\..*/\1/p' | sort -u | tr '\n' ' ')
  objdump -d "$1" | awk -v starts="$starts" '
    BEGIN { n = split(starts, list, " "); for (i = 1; i <= n; ++i) start[list[i]] = 1 }
    /^ *[0-9a-f]+:/ {
      address = $1; sub(":", "", address)
      if ((address in start) && /endbr64/) ++padded
    }
    END { print (n > 0 ? int(100 * padded / n) : 0) }'
}

# Prints hardening-check's report on a program and fails if a line says no.
# A program may call no C library function that can be fortified, so the
# fortify line is not held against it.
checkhardening() {
  local program=$1 report line name share failed=0
  report=$(hardening-check "$program" || true)
  printf '%s\n' "$report"
  while IFS= read -r line; do
    [[ $line =~ ^\ +([^:]+):\ no ]] || continue
    name=${BASH_REMATCH[1]}
    case $name in
      "Fortify Source functions") ;;
      "Control flow integrity")
        share=$(landingpadshare "$program")
        if ! startfilesmarked && [ "$share" -ge 50 ]; then
          echo "   (the C library's start files are not marked for IBT and SHSTK, so no program"
          echo "   linked here can be; $share% of the program's functions begin with endbr64)"
        else
          failed=1
        fi
        ;;
      *) failed=1 ;;
    esac
  done <<<"$report"
  if [ $failed -ne 0 ]; then
    echo "package-check: $program lacks a protection" >&2
  fi
  return $failed
}

echo "== dpkg -c $(basename "$deb")"
dpkg -c "$deb"

# The desktop entry and the AppStream description as installed: a word from
# either validator, even a pedantic one, fails the check.
echo "== desktop-file-validate and appstreamcli validate --pedantic"
dpkg-deb -x "$deb" "$tmp/unpacked"
status=0
desktop=$tmp/unpacked/usr/share/applications/org.example.quiverly.desktop
metainfo=$tmp/unpacked/usr/share/metainfo/org.example.quiverly.metainfo.xml
for icon in scalable/apps/org.example.quiverly.svg 128x128/apps/org.example.quiverly.png; do
  if [ ! -f "$tmp/unpacked/usr/share/icons/hicolor/$icon" ]; then
    echo "package-check: the package lacks the icon $icon" >&2
    status=1
  fi
done
report=$(desktop-file-validate "$desktop" 2>&1) || status=1
[ -z "$report" ] || { printf '%s\n' "$report"; status=1; }
echo "desktop-file-validate $(basename "$desktop"): ${report:-no complaint}"
report=$(appstreamcli validate --pedantic --no-net "$metainfo" 2>&1) || status=1
printf '%s\n' "$report"
[ "$(printf '%s\n' "$report" | grep -c '^[EWIP]:')" -eq 0 ] || status=1

echo "== hardening-check on the packaged /usr/games/quiverly"
checkhardening "$tmp/unpacked/usr/games/quiverly" || status=1
if [ -n "$release" ]; then
  echo "== hardening-check on $release"
  checkhardening "$release" || status=1
fi

# playpackaged LABEL PROGRAM...: plays a session with a packaged program in a
# folder of its own and holds what it prints and writes to the Release build.
playpackaged() {
  local label=$1 input='c\n170\na60\ns\n20dt\nq\nq\n' play=$tmp/play
  shift
  rm -rf "$play"
  mkdir -p "$play/packaged" "$play/built"
  (cd "$play/packaged" && printf '%b' "$input" | "$@" >../packaged.out)
  (cd "$play/built" && printf '%b' "$input" | "$release" >../built.out)
  if cmp -s "$play/packaged.out" "$play/built.out" && diff -r "$play/packaged" "$play/built" >/dev/null; then
    echo "$label: a session of $(wc -c <"$play/built.out") bytes and its list identical with $release"
  else
    echo "$label: the session DIFFERENT from $release"
    status=1
  fi
}

# The release's packages. The package of this machine's architecture must be
# the one built and checked here, byte for byte; it is installed, played and
# removed. Another architecture's package passes lintian, and its program is
# played under qemu-user with that architecture's libraries.
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
for given in "${given[@]}"; do
  architecture=$(dpkg-deb -f "$given" Architecture)
  echo "== $given"
  if [ "$architecture" != "$(dpkg --print-architecture)" ]; then
    lintian -I -E --pedantic --fail-on error,warning "$given" || status=1
    echo "(lintian done)"
    dpkg-deb -x "$given" "$tmp/$architecture"
    triplet=$(dpkg-architecture -a "$architecture" -q DEB_HOST_GNU_TYPE 2>/dev/null)
    cpu=$(dpkg-architecture -a "$architecture" -q DEB_HOST_GNU_CPU 2>/dev/null)
    playpackaged "/usr/games/quiverly of $architecture (qemu-$cpu)" \
      "qemu-$cpu" -L "/usr/$triplet" -E "LD_LIBRARY_PATH=/usr/$triplet/lib" "$tmp/$architecture/usr/games/quiverly"
    continue
  fi
  if cmp "$given" "$deb"; then
    echo "the same bytes as the package built here"
  else
    status=1
  fi
  if dpkg-query -W -f='${Status}' quiverly 2>/dev/null | grep -q ' installed$'; then
    echo "package-check: quiverly is installed already; remove it to check the package" >&2
    exit 1
  fi
  $sudo dpkg -i "$given"
  playpackaged "the installed /usr/games/quiverly" /usr/games/quiverly
  $sudo dpkg -r quiverly
  left=$(dpkg -c "$given" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }' |
    while read -r file; do [ ! -e "$file" ] || echo "$file"; done)
  if [ -z "$left" ] && ! dpkg-query -W -f='${Status}' quiverly 2>/dev/null | grep -q ' installed$'; then
    echo "removed: none of its $(dpkg -c "$given" | grep -vc '^d') files left"
  else
    echo "package-check: the removed package left ${left:-its status}" >&2
    status=1
  fi
done

echo "== sha256"
(cd "$tmp" && sha256sum "$(basename "$deb")")
if [ $status -ne 0 ]; then
  echo "package-check: failed" >&2
  exit 1
fi
echo "== package check passed"
