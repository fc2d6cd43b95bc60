#!/usr/bin/env bash
# Writes score lists with the Linux program (given as the first argument) on
# the file systems a player may keep them on, each mounted as root from an
# image through FUSE: FAT32 (fusefat), exFAT (exfat-fuse) and ext4 through
# fuse2fs, which links but makes no unnamed files. On each: the lists 20dt,
# at, ac and dc, byte for byte as on tmpfs, with the same dialogue; 20dt asked
# for again, refused with errno 17 and the first file untouched; the writer
# of at killed at 50 points spread over a whole write, never leaving a list
# cut short under its name, and at asked for after them, written. FAT32 and
# exFAT through libfuse 2 can neither link nor rename without replacing, so
# the name is made empty and exclusively, then the list renamed over it: a
# kill in that moment leaves an empty file, counted apart (anywhere else it
# is a fault). Where strace can trace, the syscalls of one list, there and on
# tmpfs (where it is written unnamed), show its data synced before its name
# is made and the folder synced after, both before "Successfully written" is
# printed. Prints one line for tmpfs and two per file system.
# Then, for each signal that ends a program by default and can be caught
# (SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM,
# SIGPROF, SIGXCPU, SIGPOLL, SIGPWR, SIGSTKFLT and the real-time signals),
# writers interrupted at 3 points on each file system, the points of the
# signals interleaved so that together they spread over a whole write: each
# must end by its signal and leave no leftover, no list cut short and no
# empty file; one line per signal. Skips, saying why, where nothing can be
# mounted.
#   tools/filesystem-check.sh build-tests/quiverly
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:?usage: tools/filesystem-check.sh path/to/linux/quiverly}")
kills=50
interrupts=3
lists=(darts-score020-doubles.txt darts-score-everything.txt darts-score-everything.csv
       darts-score-everything-doubles.csv)

skip() {
  echo "file systems: skipped: $*"
  exit 0
}
[ "$(id -u)" -eq 0 ] || skip "mounting images needs root"
[ -c /dev/fuse ] || skip "no /dev/fuse"
tools/install.sh fs

work=$(mktemp -d)
mounts=()
loops=()
cleanup() {
  cd /
  for mount in "${mounts[@]}"; do umount "$mount" 2>/dev/null || umount -l "$mount" || true; done
  for loop in "${loops[@]}"; do losetup -d "$loop" || true; done
  rm -rf "$work"
}
trap cleanup EXIT

cc -O2 -o "$work/killwriter" tools/killwriter.c
status=0

# syncorder NAME: where strace can trace here, the syscalls of 20at in a
# folder of its own beside the current one: the list's data synced before the
# name is made (a link of the unnamed file or of the leftover, a rename, or a
# rename over the reserved name), the folder synced after, both before the
# message. False when they are not.
syncorder() {
  local name=$1
  command -v strace >/dev/null && strace -o /dev/null true 2>/dev/null || {
    echo "$name: sync order: skipped: strace cannot trace here"
    return 0
  }
  mkdir ../traced
  (cd ../traced && printf 's\n20at\nq\nq\n' |
    strace -f -s 256 -o ../trace -e trace=fsync,fdatasync,link,linkat,rename,renameat,renameat2,write \
      "$program" >/dev/null)
  local order
  order=$(awk '/fsync|fdatasync/ && / = 0$/ { print "sync" }
    /^[0-9]+ +(link|linkat|rename|renameat|renameat2)\(.*"darts-score020.txt".* = 0$/ { print "name" }
    /^[0-9]+ +write\(1, ".*Successfully written/ { print "message" }' ../trace | tr '\n' ' ')
  rm -rf ../traced ../trace
  if [ "$order" = "sync name sync message " ]; then
    echo "$name: sync order: the list synced, named, the folder synced, then the message"
  else
    echo "$name: sync order NOT synced, named, synced, message: $order"
    return 1
  fi
}

# The reference: the same session on tmpfs, where a list is written unnamed.
reference=$work/tmpfs
mkdir "$reference"
mount -t tmpfs -o size=64M tmpfs "$reference" || skip "tmpfs cannot be mounted here"
mounts+=("$reference")
(cd "$reference" && printf 's\n20dt\nat\nac\ndc\nq\nq\n' | "$program" >"$work/dialogue")
mkdir "$reference/unnamed"
(cd "$reference/unnamed" && syncorder tmpfs) || status=1

# mountimage NAME: makes a 128 MiB image of file system NAME and mounts it on
# $work/NAME; false if it cannot be mounted here.
mountimage() {
  local name=$1 image=$work/$1.img dir=$work/$1
  mkdir "$dir"
  truncate -s 128M "$image"
  case $name in
    fat32)
      mkfs.vfat -F 32 "$image" >/dev/null
      fusefat -o rw+ "$image" "$dir" >/dev/null 2>&1 || return 1 ;;
    exfat)
      # exfat-fuse mounts a block device, not a file, when run as root.
      mkfs.exfat "$image" >/dev/null
      local loop
      loop=$(losetup --find --show "$image" 2>/dev/null) || return 1
      loops+=("$loop")
      mount.exfat-fuse "$loop" "$dir" >/dev/null 2>&1 || return 1 ;;
    ext4-fuse2fs)
      mkfs.ext4 -q -F "$image"
      fuse2fs -o fakeroot "$image" "$dir" >/dev/null 2>&1 || return 1 ;;
  esac
  mounts+=("$dir")
  mountpoint -q "$dir"
}

checked=()

# checkfs NAME RESERVES: RESERVES is yes where the list's name is reserved
# before the rename, which a kill can leave empty.
checkfs() {
  local name=$1 reserves=$2 dir=$work/$1 problems=()
  if ! mountimage "$name"; then
    echo "$name: skipped: the image could not be mounted here"
    return
  fi
  # A folder of its own: ext4 has lost+found at the top.
  mkdir "$dir/lists"
  cd "$dir/lists"

  # The four lists and the dialogue, as on tmpfs, and nothing else.
  printf 's\n20dt\nat\nac\ndc\nq\nq\n' | "$program" >dialogue.out || problems+=("exit status $?")
  cmp -s dialogue.out "$work/dialogue" || problems+=("the dialogue differs from tmpfs")
  rm dialogue.out
  local same=0 list
  for list in "${lists[@]}"; do
    if cmp -s "$list" "$reference/$list"; then same=$((same + 1)); else problems+=("$list differs"); fi
  done
  [ "$(ls | wc -l)" -eq ${#lists[@]} ] || problems+=("files beside the lists: $(ls | tr '\n' ' ')")

  # The same request again: refused, the first file untouched.
  local again
  again=$(printf 's\n20dt\nq\nq\n' | "$program")
  if grep -q '^fopen returned null, errno: 17$' <<<"$again" &&
     grep -q '^File already exists$' <<<"$again" &&
     cmp -s darts-score020-doubles.txt "$reference/darts-score020-doubles.txt"; then
    again="errno 17, first file untouched"
  else
    again="NOT refused"
    problems+=("20dt again was not refused with errno 17 or changed the file")
  fi

  # Kills of the writer of at, each once its file under the leftover's name
  # has reached the next of 50 sizes from empty to whole, the last as it
  # completes. Leftovers stay, to show that they block no later request.
  local name_at=darts-score-everything.txt size
  size=$(stat -c %s "$reference/$name_at")
  rm "$name_at"
  local absent=0 complete=0 empty=0 cut=0 k
  for ((k = 0; k < kills; k++)); do
    "$work/killwriter" 9 $((size * k / (kills - 1))) "$name_at" $'s\nat\nq\nq\n' "$program"
    if [ ! -e "$name_at" ]; then
      absent=$((absent + 1))
    elif cmp -s "$name_at" "$reference/$name_at"; then
      complete=$((complete + 1))
      rm "$name_at"
    elif [ "$reserves" = yes ] && [ ! -s "$name_at" ]; then
      empty=$((empty + 1))
      rm "$name_at"
    else
      cut=$((cut + 1))
      problems+=("kill $k left $(stat -c %s "$name_at") bytes under $name_at")
      rm "$name_at"
    fi
  done
  local leftovers
  leftovers=$(find . -maxdepth 1 -name "$name_at.unfinished-*" | wc -l)
  local after
  after=$(printf 's\nat\nq\nq\n' | "$program" | grep -c "Successfully written to $name_at$" || true)
  if [ "$after" -eq 1 ] && cmp -s "$name_at" "$reference/$name_at"; then
    after="written"
  else
    after="NOT written"
    problems+=("at after the kills was not written")
  fi
  [ "$leftovers" -ge $((kills / 2)) ] ||
    problems+=("only $leftovers kills met the list unfinished: they did not spread over the write")

  echo "$name: ${same} lists identical to tmpfs; 20dt again: $again;" \
    "$kills kills: $absent no list, $complete complete, $cut cut short," \
    "$empty empty reservations, $leftovers leftovers kept; at after them: $after"
  syncorder "$name" || problems+=("the list was not synced before its name, the folder after")
  mkdir ../interrupted
  checked+=("$name")

  if [ ${#problems[@]} -gt 0 ]; then
    printf '  %s\n' "${problems[@]}"
    status=1
  fi
  cd "$work"
}

checkfs fat32 yes
checkfs exfat yes
checkfs ext4-fuse2fs no
[ ${#checked[@]} -gt 0 ] || skip "no file system image could be mounted (is FUSE allowed here?)"

# Writers interrupted by each signal the program catches, each in the folder
# "interrupted" of every file system: none may leave anything but nothing or
# the whole list. The i-th of n signals meets the k-th point of a file system
# at the (k * n + i)-th of the write's n * $interrupts sizes.
names=(INT TERM HUP QUIT USR1 USR2 ALRM VTALRM PROF XCPU POLL PWR STKFLT)
numbers=()
for signal in "${names[@]}"; do numbers+=("$(kill -l "${signal/#POLL/IO}")"); done
for ((n = $(kill -l RTMIN); n <= $(kill -l RTMAX); n++)); do
  names+=("$(kill -l "$n")")
  numbers+=("$n")
done
points=$((${#names[@]} * interrupts))
size=$(stat -c %s "$reference/darts-score-everything.txt")
nolist=0
for ((i = 0; i < ${#names[@]}; i++)); do
  interrupted=0 gone=0 whole=0 short=0 hollow=0 left=0 unended=0
  for fs in "${checked[@]}"; do
    cd "$work/$fs/interrupted"
    for ((k = 0; k < interrupts; k++)); do
      interrupted=$((interrupted + 1))
      "$work/killwriter" "${numbers[i]}" $((size * (k * ${#names[@]} + i) / (points - 1))) \
        darts-score-everything.txt $'s\nat\nq\nq\n' "$program" || unended=$((unended + 1))
      left=$((left + $(find . -maxdepth 1 -name "darts-score-everything.txt.unfinished-*" | wc -l)))
      rm -f ./darts-score-everything.txt.unfinished-*
      if [ ! -e darts-score-everything.txt ]; then
        gone=$((gone + 1))
      elif cmp -s darts-score-everything.txt "$reference/darts-score-everything.txt"; then
        whole=$((whole + 1))
      elif [ ! -s darts-score-everything.txt ]; then
        hollow=$((hollow + 1))
      else
        short=$((short + 1))
      fi
      rm -f darts-score-everything.txt
    done
  done
  line="SIG${names[i]}: $interrupted writers interrupted on ${checked[*]}: $gone no list,"
  line+=" $whole complete, $short cut short, $hollow empty, $left leftovers"
  [ $((left + short + hollow + unended)) -eq 0 ] || {
    line+="; FAILED ($unended did not end by their signal)"
    status=1
  }
  echo "$line"
  nolist=$((nolist + gone))
done
[ "$nolist" -gt 0 ] || {
  echo "no signal met the list unfinished: they did not spread over the write"
  status=1
}
exit $status
