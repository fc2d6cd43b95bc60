#!/usr/bin/env bash
# Installs the Debian packages a check needs, those missing only. Every check
# names its groups here, so the list of what CI needs is written once.
#   tools/install.sh web windows     # the packages of these groups
#   tools/install.sh all             # every group
# A package named with an architecture (libfaketime:arm64) comes from that
# Debian architecture, which is added to dpkg's list first where it is missing.
set -euo pipefail

declare -A groups=(
  [build]="cmake g++ libgtest-dev libgmock-dev"
  [clang]="clang clang-tidy cppcheck libclang-rt-14-dev"
  [libcxx]="clang libc++-14-dev libc++abi-14-dev googletest"
  [m32]="g++-multilib googletest"
  [windows]="mingw-w64 wine64 unzip googletest"
  [cross]="clang qemu-user googletest faketime
           binutils-aarch64-linux-gnu libstdc++-12-dev-arm64-cross libfaketime:arm64
           binutils-arm-linux-gnueabihf libstdc++-12-dev-armhf-cross libfaketime:armhf
           binutils-s390x-linux-gnu libstdc++-12-dev-s390x-cross libfaketime:s390x"
  [package]="build-essential debhelper lintian devscripts desktop-file-utils appstream"
  [release]="zip file libc6-dev libc6-dev-i386 libc6-dev-arm64-cross libc6-dev-armhf-cross
             qemu-user-static"
  [web]="emscripten node-acorn chromium faketime"
  [engines]="firefox-esr webkit2gtk-driver xvfb"
  [fuzz]="clang libclang-rt-14-dev"
  [bench]="libbenchmark-dev hyperfine"
  [coverage]="lcov"
  [icons]="librsvg2-bin pngquant optipng"
  [fs]="dosfstools exfatprogs fusefat exfat-fuse fuse2fs e2fsprogs fuse3 strace"
)

if [ $# -eq 0 ]; then
  echo "usage: tools/install.sh group... (groups: ${!groups[*]}, or all)" >&2
  exit 2
fi
wanted=()
for group in "$@"; do
  if [ "$group" = all ]; then
    for name in "${!groups[@]}"; do wanted+=(${groups[$name]}); done
  elif [ -n "${groups[$group]:-}" ]; then
    wanted+=(${groups[$group]})
  else
    echo "tools/install.sh: no group $group (groups: ${!groups[*]})" >&2
    exit 2
  fi
done

missing=()
for package in $(printf '%s\n' "${wanted[@]}" | sort -u); do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
for package in "${missing[@]}"; do
  architecture=${package#*:}
  if [ "$architecture" != "$package" ] &&
     ! dpkg --print-foreign-architectures | grep -qx "$architecture"; then
    $sudo dpkg --add-architecture "$architecture"
  fi
done
echo "installing ${missing[*]}"
# A mirror being synced can fail one index of many ("File has unexpected
# size"): the update is tried again, and then the install goes on with the
# indexes it has, failing only if a package is really not to be had.
for attempt in 1 2 3; do
  $sudo apt-get update -qq && break
  [ "$attempt" -lt 3 ] || { echo "tools/install.sh: apt-get update failed; installing with the indexes at hand" >&2; break; }
  sleep 15
done
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
  "${missing[@]}"
