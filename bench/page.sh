#!/usr/bin/env bash
# Measures the page (build-web/web) against a static floor page that shows the
# same banner text, and prints a summary against the targets:
#   (a) the page's size: every file after gzip -9, at most 50 KiB in all;
#   (b) first text: the time from navigation to the first frame painted with
#       the banner on screen, median of ROUNDS (default 15) loads of each page,
#       interleaved, in headless Chromium, each in a fresh browser context (a
#       first visit), at CPU 1x and slowed 4 times: at most 1.3 times the floor.
#       Both are served gzipped from memory on a localhost port
#       (bench/pageload.js), as a web server sends them.
#
# Usage: bench/page.sh [folder]   (builds the page into build-web unless given
# a built page's folder; exit status 1 if a target is missed). Needs what
# web/test/run.sh needs: tools/install.sh web and npm ci --prefix web.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
rounds=${ROUNDS:-15}

if [ $# -ge 1 ]; then
  pagedir=$(realpath "$1")
else
  emcmake cmake -S . -B build-web -DQUIVERLY_TESTS=OFF >/dev/null
  cmake --build build-web -j2 >/dev/null
  pagedir=$root/build-web/web
fi
[ -f "$pagedir/index.html" ] || { echo "no page in $pagedir" >&2; exit 1; }

echo "== (a) size of the page (bytes, raw and after gzip -9)"
sizefail=0
"$root/tools/pagesize.sh" "$pagedir" || sizefail=1

echo "== (b) first text, page against a static page with the same banner"
timefail=0
BENCH_PAGE="$pagedir" BENCH_ROUNDS="$rounds" node "$root/bench/pageload.js" || timefail=1

[ "$sizefail" -eq 0 ] || echo "missed: the page is larger than 50 KiB after gzip"
[ "$timefail" -eq 0 ] || echo "missed: first text later than 1.3 times the floor"
[ "$sizefail" -eq 0 ] && [ "$timefail" -eq 0 ]
