#!/usr/bin/env bash
# The mutation check: deliberate faults that the tests must notice. Each line
# of tools/mutations.txt is one small edit of a file of src/ (the format is
# described at the top of that file). Each is applied alone to a scratch copy
# of the tree in build-mutate/tree, built there incrementally (the mutate
# preset: -O1, warnings allowed) and run against both test programs; the
# mutation is killed when a test fails, and survived when every test passes.
#   tools/mutate.sh             # the sample: every third mutation and the first
#                               # of each file, so that every file is touched
#   tools/mutate.sh --all       # every mutation, the equivalent ones too, which
#                               # must survive (one that is killed is not
#                               # equivalent after all)
#   tools/mutate.sh --only RE   # the mutations whose line matches RE
#   tools/mutate.sh --check     # only that each text is found once in its file
# Prints one line per mutation (killed, with the first test that failed;
# SURVIVED; equivalent, with why) and a summary. Exits 1 when a mutation that
# is not marked equivalent survives, or a mutation does not build; 2 when the
# list is wrong (a text not found exactly once) or the tests fail unmutated.
#
# Each test run is stopped after $MUTATE_TIMEOUT seconds (60) and may use at
# most $MUTATE_MEMORY MiB of address space (2048) per test program, so that a
# mutant that hangs or grows without end is killed, not left to eat the
# machine. The tests run as two shards at a time, the two cores of the machine.
set -euo pipefail
cd "$(dirname "$0")/.."
shopt -u patsub_replacement 2>/dev/null || true

list=tools/mutations.txt
mode=sample
pattern=""
while [ $# -gt 0 ]; do
  case $1 in
    --all) mode=all ;;
    --check) mode=check ;;
    --only)
      mode=only
      pattern=${2:?--only needs a regular expression}
      shift
      ;;
    *)
      echo "usage: tools/mutate.sh [--all | --only REGEX | --check]" >&2
      exit 2
      ;;
  esac
  shift
done
timelimit=${MUTATE_TIMEOUT:-60}
memorylimit=${MUTATE_MEMORY:-2048}
scratch=build-mutate
tree=$scratch/tree
build=$tree/build-mutate
started=$SECONDS

# --- the list -----------------------------------------------------------------

# The number of times needle occurs in haystack.
occurrences() {
  local rest=$1 needle=$2 n=0
  while [[ $rest == *"$needle"* ]]; do
    rest=${rest#*"$needle"}
    n=$((n + 1))
  done
  echo "$n"
}

# How the list writes a line end inside a text.
linemark=$'\xe2\x90\xa4'  # U+2424, the symbol for a line end
files=() olds=() news=() notes=() lines=()
number=0
errors=0
while IFS= read -r line || [ -n "$line" ]; do
  number=$((number + 1))
  [[ -z $line || $line == \#* ]] && continue
  # Split by hand: read would take two tabs for one, and a replacement may
  # be empty.
  file=${line%%$'\t'*} rest=${line#*$'\t'}
  old=${rest%%$'\t'*} rest=${rest#*$'\t'}
  new=${rest%%$'\t'*} note=""
  [[ $rest == *$'\t'* ]] && note=${rest#*$'\t'}
  old=${old//$linemark/$'\n'} new=${new//$linemark/$'\n'}
  if [ -z "$file" ] || [ -z "$old" ] || [[ $line != *$'\t'*$'\t'* ]]; then
    echo "$list:$number: not file, text and replacement separated by tabs" >&2
    errors=$((errors + 1))
    continue
  fi
  if [ ! -f "$file" ]; then
    echo "$list:$number: no file $file" >&2
    errors=$((errors + 1))
    continue
  fi
  found=$(occurrences "$(<"$file")" "$old")
  if [ "$found" -ne 1 ]; then
    echo "$list:$number: found $found times in $file, not once: $old" >&2
    errors=$((errors + 1))
    continue
  fi
  if [ "$old" = "$new" ]; then
    echo "$list:$number: the replacement is the text itself" >&2
    errors=$((errors + 1))
    continue
  fi
  files+=("$file") olds+=("$old") news+=("$new") notes+=("$note") lines+=("$number")
done <"$list"
if [ $errors -gt 0 ]; then
  echo "tools/mutate.sh: $errors lines of $list are wrong" >&2
  exit 2
fi
count=${#files[@]}
if [ "$mode" = check ]; then
  echo "${count} mutations, each text found once in its file"
  exit 0
fi

# Which mutations run: the sample takes the first mutation of each file and
# every third one of the list.
chosen=()
previous=""
for i in "${!files[@]}"; do
  take=0
  case $mode in
    all) take=1 ;;
    only) [[ "${files[i]}"$'\t'"${olds[i]}"$'\t'"${news[i]}"$'\t'"${notes[i]}" =~ $pattern ]] && take=1 ;;
    sample) [ "${files[i]}" != "$previous" ] || [ $((i % 3)) -eq 0 ] && take=1 ;;
  esac
  previous=${files[i]}
  [ $take -eq 1 ] && chosen+=("$i")
done
if [ ${#chosen[@]} -eq 0 ]; then
  echo "tools/mutate.sh: no mutation chosen" >&2
  exit 2
fi

# --- the scratch copy -----------------------------------------------------------

# Copies into the scratch tree every file of the work tree that git knows or
# would add, where it differs, so that an unchanged file keeps its time and
# the build stays incremental.
synctree() {
  mkdir -p "$tree"
  local path
  while IFS= read -r -d '' path; do
    [ -f "$path" ] || continue
    if ! cmp -s "$path" "$tree/$path"; then
      mkdir -p "$tree/$(dirname "$path")"
      cp "$path" "$tree/$path"
    fi
  done < <(git ls-files -z --cached --others --exclude-standard)
}

buildlog=$scratch/build.log
# Builds the scratch tree; false when it does not build.
buildtree() {
  (
    ulimit -v $((4096 * 1024))
    timeout -k 10 900 cmake --build "$build" -j2 >"$buildlog" 2>&1
  )
}

testlog=$scratch/tests
# Runs both test programs, each in two shards at once, under the time and
# memory limits, and stops at the first failure. Prints what failed first;
# false when anything failed.
runtests() {
  local -A running=()
  local shard status=0 finished="" failed=""
  rm -f "$testlog".*
  for shard in 0 1; do
    (
      ulimit -v $((memorylimit * 1024))
      cd "$build"
      # Stopped by the other shard's failure: the test program goes too.
      trap 'kill "$child" 2>/dev/null; exit 143' TERM
      for program in tests/throwtableatstarttests tests/quiverlytests; do
        GTEST_TOTAL_SHARDS=2 GTEST_SHARD_INDEX=$shard \
          timeout -k 5 "$timelimit" "$program" --gtest_fail_fast --gtest_brief=1 &
        child=$!
        wait "$child" || exit $?
      done
    ) >"$testlog.$shard" 2>&1 &
    running[$!]=1
  done
  # The first shard to fail ends the other.
  while [ ${#running[@]} -gt 0 ]; do
    status=0
    wait -n -p finished "${!running[@]}" || status=$?
    unset "running[$finished]"
    if [ $status -ne 0 ]; then
      [ ${#running[@]} -eq 0 ] || kill "${!running[@]}" 2>/dev/null || true
      wait 2>/dev/null || true
      break
    fi
  done
  [ $status -eq 0 ] && return 0
  failed=$(grep -h -m1 -o '^\[  FAILED  \] [A-Za-z0-9_./]*' "$testlog".* 2>/dev/null | head -n1 |
    cut -c14-) || true
  if [ -z "$failed" ]; then
    case $status in
      124 | 137) failed="timed out after $timelimit s" ;;
      *) failed="a test program ended with status $status" ;;
    esac
  fi
  echo "$failed"
  return 1
}

synctree
if [ ! -f "$build/CMakeCache.txt" ]; then
  (cd "$tree" && cmake --preset mutate >/dev/null) || {
    echo "tools/mutate.sh: the scratch copy does not configure" >&2
    exit 2
  }
fi
if ! buildtree; then
  tail -n 30 "$buildlog"
  echo "tools/mutate.sh: the scratch copy does not build unmutated" >&2
  exit 2
fi
if ! failure=$(runtests); then
  tail -n 30 "$testlog".*
  echo "tools/mutate.sh: the tests fail without any mutation: $failure" >&2
  exit 2
fi
echo "${#chosen[@]} of $count mutations ($mode), the unmutated tests passing after $((SECONDS - started)) s"

# --- the mutations ----------------------------------------------------------------

killed=0 survived=0 equivalent=0 unbuilt=0 wronglymarked=0
for i in "${chosen[@]}"; do
  file=${files[i]} old=${olds[i]} new=${news[i]} note=${notes[i]}
  where="$list:${lines[i]} $file: $old -> $new"
  isequivalent=0
  [[ $note == "# equivalent:"* ]] && isequivalent=1
  if [ $isequivalent -eq 1 ] && [ "$mode" != all ]; then
    echo "equivalent  $where (${note#"# equivalent: "})"
    equivalent=$((equivalent + 1))
    continue
  fi
  began=$SECONDS
  content=$(<"$file")
  printf '%s\n' "${content/"$old"/"$new"}" >"$tree/$file"
  if ! buildtree; then
    echo "NOT BUILT   $where ($((SECONDS - began)) s)"
    grep -m3 -E 'error' "$buildlog" | sed 's/^/            /' || true
    unbuilt=$((unbuilt + 1))
  elif failure=$(runtests); then
    if [ $isequivalent -eq 1 ]; then
      echo "equivalent  $where (survived in $((SECONDS - began)) s: ${note#"# equivalent: "})"
      equivalent=$((equivalent + 1))
    else
      echo "SURVIVED    $where ($((SECONDS - began)) s)"
      survived=$((survived + 1))
    fi
  elif [ $isequivalent -eq 1 ]; then
    echo "KILLED, MARKED EQUIVALENT  $where (by $failure, $((SECONDS - began)) s)"
    wronglymarked=$((wronglymarked + 1))
  else
    echo "killed      $where (by $failure, $((SECONDS - began)) s)"
    killed=$((killed + 1))
  fi
  cp "$file" "$tree/$file"
done

summary="$killed killed, $survived survived, $equivalent equivalent"
[ $unbuilt -eq 0 ] || summary+=", $unbuilt not built"
[ $wronglymarked -eq 0 ] || summary+=", $wronglymarked marked equivalent but killed"
echo "$summary ($mode, ${#chosen[@]} of $count mutations, $((SECONDS - started)) s)"
[ $survived -eq 0 ] && [ $unbuilt -eq 0 ] && [ $wronglymarked -eq 0 ]
