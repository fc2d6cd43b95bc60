#!/usr/bin/env bash
# Checks that the includes in src/ only run down the floors of the program. A
# file may include files of its own folder and of the floors below it, never
# above, and never a folder on its own floor (games and export share one floor
# and know nothing of each other). src/main.cpp stands above every floor.
# Prints each include that breaks the rule and exits 1 if there is any.
set -euo pipefail
cd "$(dirname "$0")/.."

# The floors, lowest first; folders on one line share a floor.
floors=(
  "base"
  "core"
  "random"
  "games export"
  "shell"
)

declare -A floorof
for i in "${!floors[@]}"; do
  for folder in ${floors[$i]}; do floorof[$folder]=$i; done
done
top=${#floors[@]}

status=0
while IFS= read -r file; do
  folder=${file#src/}
  folder=${folder%%/*}
  if [ "$file" = src/main.cpp ]; then
    floor=$top
  elif [ -n "${floorof[$folder]+set}" ]; then
    floor=${floorof[$folder]}
  else
    echo "$file: src/$folder is on no floor"
    status=1
    continue
  fi
  while IFS=: read -r line target; do
    into=${target%%/*}
    if [ -z "${floorof[$into]+set}" ]; then
      echo "$file:$line: includes $target, which is on no floor"
      status=1
    elif [ "$into" = "$folder" ]; then
      continue
    elif [ "${floorof[$into]}" -ge "$floor" ]; then
      echo "$file:$line: includes $target, from src/$into, which is not below src/$folder"
      status=1
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
           sed 's/^\([0-9]*\):[^"]*"\([^"]*\)".*/\1:\2/')
done < <(find src -name '*.cpp' -o -name '*.hpp' | sort)

if [ $status -eq 0 ]; then echo "layers: every include in src/ runs down a floor"; fi
exit $status
