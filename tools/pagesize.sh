#!/usr/bin/env bash
# Prints the size of each file of a built page, raw and after gzip -9, and
# their total after gzip against the page's limit of 50 KiB; exit status 1
# when the total is above it. Used by web/test/run.sh and bench/page.sh.
#   tools/pagesize.sh build-web/web
set -euo pipefail
limit=$((50 * 1024))
total=0
for file in "$1"/*; do
  raw=$(wc -c <"$file")
  packed=$(gzip -9 -c "$file" | wc -c)
  total=$((total + packed))
  printf '%-24s %8d %8d\n' "${file##*/}" "$raw" "$packed"
done
printf '%-24s %8s %8d (target at most %d)\n' total "" "$total" "$limit"
if [ "$total" -gt "$limit" ]; then
  echo "the page is larger than 50 KiB after gzip"
  exit 1
fi
