#!/usr/bin/env bash
# Tests the page: builds it (the web preset, in build-web/) and, unless it is
# given, the native program (the tests preset's, in build-tests/), checks the
# page's size after gzip, serves the page on a localhost port and plays whole
# sessions against the native program, byte for byte: in headless Chromium
# (web/test/page.test.js, with phones, the keypad, zoom and offline play), in
# WebKit and Firefox ESR (web/test/engines.test.js), then audits it with
# Lighthouse, axe-core and Chromium's installability check
# (web/test/audit.test.js). Installs what it needs first. Pictures are left in
# build-web/: screenshot.png (the calculator session on a desktop),
# screenshot-pixel7.png (a finishing question tapped on a phone),
# screenshot-iphone13-calculator.png and -export.png (the keypad on an iPhone
# 13: the ways to make 40, and the export menu), screenshot-board-iphone-13.png,
# -board-360-px-phone.png and -board-iphone-13-on-its-side.png (a 501 game's
# first question with its darts on the board), screenshot-iphone13-progress.png
# (the progress view of a seeded month), screenshot-webkit.png and
# screenshot-firefox.png (the calculator in those engines) and -keypad.png
# beside each (the export menu on the keypad).
#   web/test/run.sh [build-tests/quiverly]
set -euo pipefail
cd "$(dirname "$0")/../.."

echo "== tools"
tools/install.sh web engines
npm ci --prefix web --no-audit --no-fund

echo "== build the page and the native program"
cmake --preset web
cmake --build --preset web
if [ $# -gt 0 ]; then
  native=$(realpath "$1")
else
  cmake --preset tests
  cmake --build --preset tests --target quiverly
  native=$PWD/build-tests/quiverly
fi

echo "== size of the page (bytes, raw and after gzip -9)"
tools/pagesize.sh build-web/web

echo "== sessions in Chromium, WebKit and Firefox; audits"
scratch=$(mktemp -d)
server=""
cleanup() {
  if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; fi
  rm -rf "$scratch"
}
trap cleanup EXIT

# A static server on a free localhost port, which it names when it starts (in
# its log, made first so that it can be read before the server writes it).
: >"$scratch/server.log"
python3 -u -m http.server 0 --bind 127.0.0.1 --directory build-web/web >"$scratch/server.log" 2>&1 &
server=$!
port=""
for _ in $(seq 100); do
  port=$(sed -n 's/.* port \([0-9]*\) .*/\1/p' "$scratch/server.log" | head -n 1)
  [ -n "$port" ] && break
  sleep 0.1
done
if [ -z "$port" ]; then
  echo "the static server did not start:"
  cat "$scratch/server.log"
  exit 1
fi

status=0
QUIVERLY_PAGE_URL="http://127.0.0.1:$port/" \
QUIVERLY_PAGE_DIR="$PWD/build-web/web" \
QUIVERLY_NATIVE="$native" \
QUIVERLY_SCRATCH="$scratch" \
QUIVERLY_SCREENSHOT="$PWD/build-web/screenshot.png" \
  node --test --test-concurrency=1 web/test/page.test.js web/test/engines.test.js web/test/audit.test.js |
  tee "$scratch/tests.log" || status=$?

# What each engine played and what the audits found, together.
echo "== engines and audits"
sed -n 's/^ *# \(\(Chromium\|WebKit\|Firefox\|Lighthouse\|axe-core\|iPhone\|360 px phone\|wake lock\) .*\)/\1/p' "$scratch/tests.log"
exit "$status"
