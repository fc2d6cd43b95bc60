#!/usr/bin/env bash
# Builds every file of a release in dist/, from the commit checked out, each
# named with the version (CMakeLists.txt's project version, which
# debian/changelog, the manual page and a tag on the commit must agree with):
#   quiverly-V-linux-M.tar.gz  for M = x86_64, i686, aarch64, armhf: the program
#                              linked statically, in bin/, with the manual page,
#                              the desktop entry, its icons and the AppStream
#                              metainfo in share/, as installed, and README.md
#                              and LICENSE
#   quiverly-V-win64.zip       quiverly.exe, README.md and LICENSE
#   quiverly_V_amd64.deb       the Debian package, and quiverly_V_arm64.deb
#   quiverly-V-web.zip         the page, in a folder quiverly/ to upload to a site
#   quiverly-V.tar.gz          the source: git archive of the commit
#   SHA256SUMS                 the checksums of all of them
# The programs are built by the release presets of CMakePresets.json, which
# write no path, build id or time into them. Every time stamp in the archives
# is the commit's (SOURCE_DATE_EPOCH), their members are sorted, owned by root
# and given fixed modes, and gzip stores no name or time; the Debian package
# takes its time from debian/changelog, as Debian builds it. So a commit gives
# the same bytes in any folder at any time.
#
# With --check NATIVE (a dynamically linked build of the same commit, such as
# build-tests/quiverly), then tries each file as its user would:
#   - a second release, built from scratch in a clone in another folder some
#     minutes later, gives the same SHA256SUMS;
#   - each static program, in a root that holds nothing but it, plays sessions
#     that print and write byte for byte what NATIVE does: natively, or under
#     a static qemu-user opened before the root is entered, as the kernel's
#     binfmt_misc does with its F flag, so that qemu need not be in the root;
#   - the page's zip, unpacked into a subfolder of a local site, plays a
#     session in Chromium, online and offline (web/test/zip.test.js);
#   - the source tarball, unpacked in an empty folder, passes the README's two
#     commands.
# tools/package-check.sh, given dist's packages, checks them (lintian; the
# amd64 package installed, played and removed, the arm64 one played).
#   tools/release.sh [--check build-tests/quiverly]
set -euo pipefail
native=""
if [ $# -gt 0 ]; then
  [ "$1" = --check ] && [ $# -eq 2 ] || { echo "usage: tools/release.sh [--check path/to/quiverly]" >&2; exit 2; }
  native=$(realpath "$2")
fi
cd "$(dirname "$0")/.."
started=$SECONDS

version=$(sed -n 's/^project(quiverly VERSION \([^ ]*\) .*/\1/p' CMakeLists.txt)
changelog=$(sed -n '1s/^quiverly (\([^)]*\)).*/\1/p' debian/changelog)
manual=$(sed -n 's/^\.TH QUIVERLY 6 "[^"]*" "Quiverly \([^"]*\)".*/\1/p' doc/quiverly.6)
tag=$(git describe --tags --exact-match HEAD 2>/dev/null || true)
if [ -z "$version" ] || [ "$changelog" != "$version" ] || [ "$manual" != "$version" ] ||
   { [ -n "$tag" ] && [ "${tag#v}" != "$version" ]; }; then
  echo "release: the versions disagree: CMakeLists.txt '$version', debian/changelog '$changelog'," \
    "doc/quiverly.6 '$manual'${tag:+, the tag '$tag'}" >&2
  exit 1
fi
if ! git diff --quiet HEAD --; then
  echo "release: the tree has uncommitted changes; a release is built from a commit" >&2
  exit 1
fi

tools/install.sh build m32 cross windows package web release
npm ci --prefix web --no-audit --no-fund

export SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export TZ=UTC LC_ALL=C
umask 022
dist=$PWD/dist
rm -rf "$dist"
mkdir "$dist"
stage=$(mktemp -d)
work=""
trap 'rm -rf "$stage" ${work:+"$work"}' EXIT

# tgz NAME: dist/NAME.tar.gz of the folder NAME in $stage.
tgz() {
  tar -C "$stage" -c --sort=name --format=gnu --owner=0 --group=0 --numeric-owner \
    --mode=u=rwX,go=rX --mtime="@$SOURCE_DATE_EPOCH" "$1" | gzip -9 -n >"$dist/$1.tar.gz"
}

# zipfolder FOLDER ZIP: dist/ZIP of the folder FOLDER in $stage, its files
# only (no entries for folders), without zip's extra fields of owners and times.
zipfolder() {
  (cd "$stage" &&
    chmod -R u=rwX,go=rX "$1" &&
    find "$1" -exec touch --date="@$SOURCE_DATE_EPOCH" {} + &&
    find "$1" -type f | sort | zip -X -9 -q "$dist/$2" -@)
}

for machine in x86_64 i686 aarch64 armhf; do
  echo "== linux-$machine (at $((SECONDS - started)) s)"
  cmake --workflow --preset "release-$machine"
  folder=quiverly-$version-linux-$machine
  cmake --install "build-release-$machine" --prefix "$stage/$folder"
  cp README.md LICENSE "$stage/$folder/"
  tgz "$folder"
done

echo "== win64 (at $((SECONDS - started)) s)"
cmake --workflow --preset release-win64
cmake --install build-release-win64 --prefix "$stage/quiverly-$version-win64"
zipfolder "quiverly-$version-win64" "quiverly-$version-win64.zip"

# The packages are built as tools/package-check.sh builds its own: from the
# commit, with only dpkg-buildflags' flags and the time of debian/changelog.
# The arm64 package is cross-compiled with clang, as the arm64 presets are
# (Debian's g++ for arm64 cannot be installed beside g++-multilib), with
# DWARF 4 debugging data: dwz, which debhelper runs on it, reads no DWARF 5.
echo "== the Debian packages (at $((SECONDS - started)) s)"
mkdir -p "$stage/package/quiverly"
git archive HEAD | tar -x -C "$stage/package/quiverly"
(cd "$stage/package/quiverly" &&
  env -u CFLAGS -u CXXFLAGS -u CPPFLAGS -u LDFLAGS -u SOURCE_DATE_EPOCH \
    dpkg-buildpackage -b -us -uc &&
  env -u CFLAGS -u CXXFLAGS -u CPPFLAGS -u LDFLAGS -u SOURCE_DATE_EPOCH \
    CC=clang CXX=clang++ DEB_BUILD_OPTIONS=nocheck \
    DEB_CXXFLAGS_APPEND="--target=aarch64-linux-gnu -gdwarf-4" DEB_LDFLAGS_APPEND=--target=aarch64-linux-gnu \
    dpkg-buildpackage -a arm64 -b -us -uc)
cp "$stage/package/quiverly_${version}_amd64.deb" "$stage/package/quiverly_${version}_arm64.deb" "$dist/"

# Whatever the page's build folder holds, gathered anew so that no file of an
# earlier build is left in it, in a folder whose name has no version: that
# name is part of the page's address on a site, and a page installed on a home
# screen, with its cache for playing offline, keeps its address from one
# version to the next.
echo "== the page (at $((SECONDS - started)) s)"
rm -rf build-web/web
cmake --workflow --preset web
cp -r build-web/web "$stage/quiverly"
zipfolder quiverly "quiverly-$version-web.zip"

echo "== the source (at $((SECONDS - started)) s)"
git archive --format=tar --prefix="quiverly-$version/" HEAD | gzip -9 -n >"$dist/quiverly-$version.tar.gz"

(cd "$dist" && sha256sum -- * >SHA256SUMS)
echo "== dist/, built in $((SECONDS - started)) s"
(cd "$dist" && stat -c '%10s  %n' -- *)
[ -n "$native" ] || exit 0

work=$(mktemp -d)
status=0

echo "== a second release, from scratch in a clone in another folder (at $((SECONDS - started)) s)"
git clone --quiet --no-checkout "$PWD" "$work/again"
git -C "$work/again" checkout --quiet --detach "$(git rev-parse HEAD)"
(cd "$work/again" && tools/release.sh) >"$work/again.log" 2>&1 ||
  { tail -n 30 "$work/again.log"; echo "release: the second release did not build" >&2; exit 1; }
if cmp -s "$dist/SHA256SUMS" "$work/again/dist/SHA256SUMS"; then
  echo "SHA256SUMS of $PWD/dist and of $work/again/dist (built at $((SECONDS - started)) s): identical"
  cat "$dist/SHA256SUMS"
else
  echo "SHA256SUMS DIFFERENT:"
  diff "$dist/SHA256SUMS" "$work/again/dist/SHA256SUMS" || true
  status=1
fi
rm -rf "$work/again"

# inroot ROOT [EMULATOR]: runs /quiverly in ROOT, which holds nothing but it,
# as its root and current folder with an empty environment: natively, or
# under EMULATOR (a static program), opened before ROOT becomes the root and
# started from that descriptor. Outside root, in a user namespace of its own.
asroot=()
[ "$(id -u)" -eq 0 ] || asroot=(unshare --map-root-user)
inroot() {
  "${asroot[@]}" python3 -c '
import os, sys
root, emulator = sys.argv[1], sys.argv[2:]
program = os.open(emulator[0], os.O_RDONLY) if emulator else None
os.chroot(root)
os.chdir("/")
if program is None:
    os.execve("/quiverly", ["quiverly"], {})
os.execve(program, [emulator[0], "/quiverly"], {})
' "$@"
}

echo "== each static program in an empty root, against $native (at $((SECONDS - started)) s)"
sessions=(calculator 'c\n170\na60\nd35\n181\nq\nq\n' export 's\n20dt\n20dt\nac\nac\nq\nq\n' menu '7\nx\nq\n')
for ((i = 0; i < ${#sessions[@]}; i += 2)); do
  mkdir -p "$work/native/${sessions[i]}"
  (cd "$work/native/${sessions[i]}" && printf '%b' "${sessions[i + 1]}" | "$native" >../"${sessions[i]}.out")
done
for target in x86_64: i686: aarch64:/usr/bin/qemu-aarch64-static armhf:/usr/bin/qemu-arm-static; do
  IFS=: read -r machine emulator <<<"$target"
  folder=quiverly-$version-linux-$machine
  tar -xzf "$dist/$folder.tar.gz" -C "$work"
  file "$work/$folder/bin/quiverly" | sed "s|$work/||"
  if ! file -b "$work/$folder/bin/quiverly" | grep -q 'statically linked'; then
    echo "$machine: the program is not linked statically"
    status=1
  fi
  dialogue=0
  for ((i = 0; i < ${#sessions[@]}; i += 2)); do
    name=${sessions[i]} root=$work/root-$machine-${sessions[i]}
    mkdir "$root"
    cp "$work/$folder/bin/quiverly" "$root/"
    printf '%b' "${sessions[i + 1]}" | inroot "$root" $emulator >"$work/$machine-$name.out"
    rm "$root/quiverly"
    if cmp -s "$work/native/$name.out" "$work/$machine-$name.out" && diff -r "$work/native/$name" "$root" >/dev/null; then
      dialogue=$((dialogue + $(wc -c <"$work/$machine-$name.out")))
    else
      echo "$machine: the $name session in an empty root DIFFERENT from $native"
      diff "$work/native/$name.out" "$work/$machine-$name.out" | head -20 || true
      diff -r "$work/native/$name" "$root" | head -5 || true
      status=1
    fi
  done
  echo "$machine${emulator:+ (under ${emulator##*/})}: the calculator, export and menu sessions in an" \
    "empty root identical with $native: $dialogue bytes of dialogue, files $(ls "$work/root-$machine-export" | tr '\n' ' ')"
done

echo "== the page's zip from a subfolder of a site, in Chromium (at $((SECONDS - started)) s)"
mkdir -p "$work/site/club"
unzip -q "$dist/quiverly-$version-web.zip" -d "$work/site/club"
QUIVERLY_SITE="$work/site" QUIVERLY_PAGE_PATH=/club/quiverly/ QUIVERLY_NATIVE="$native" \
QUIVERLY_SCRATCH="$work" node --test web/test/zip.test.js || status=1

echo "== the source tarball in an empty folder: the README's two commands (at $((SECONDS - started)) s)"
mkdir "$work/source"
tar -xzf "$dist/quiverly-$version.tar.gz" -C "$work/source"
readme=$(sed -n '/^```sh$/,/^```$/{/^```/d;p}' "$work/source/quiverly-$version/README.md" | head -n 2)
first=$(sed -n 1p <<<"$readme") second=$(sed -n 2p <<<"$readme")
(cd "$work/source/quiverly-$version" && printf '%b' "${sessions[1]}" | bash -c "$first" >"$work/first.out" 2>&1 &&
  bash -c "$second" >"$work/second.out" 2>&1) || {
  tail -n 30 "$work/first.out" "$work/second.out" 2>/dev/null
  echo "release: the source tarball failed the README's commands" >&2
  status=1
}
expected=$(wc -c <"$work/native/calculator.out")
if tail -c "$expected" "$work/first.out" | cmp -s - "$work/native/calculator.out"; then
  echo "$first: built, and played the calculator session as $native ($expected bytes)"
else
  echo "$first: the session DIFFERENT from $native"
  status=1
fi
echo "$second: $(grep 'tests passed' "$work/second.out" || echo FAILED)"

echo "== release built and checked in $((SECONDS - started)) s"
exit $status
