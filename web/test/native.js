// What the page's tests share: the settings web/test/run.sh hands them, the
// native program run on the lines a test sends the page, and the comparison
// of what the page wrote and showed with what the native program wrote.
//
// web/test/run.sh builds both programs, serves the page and sets:
//   QUIVERLY_PAGE_URL    the page served over HTTP
//   QUIVERLY_PAGE_DIR    the page's folder, opened from disk as well
//   QUIVERLY_NATIVE      the native program
//   QUIVERLY_SCRATCH     a folder for the native runs and the browsers' files
//   QUIVERLY_SCREENSHOT  where to save a picture of the calculator session (the
//                        other pictures go beside it)
'use strict';

const assert = require('node:assert/strict');
const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');

function env(name) {
  const value = process.env[name];
  assert.ok(value, `${name} is not set: run web/test/run.sh`);
  return value;
}

// Chromium as this machine runs it: its own network services off, since the
// network is closed, and a fresh profile each time.
const chromiumflags = [
  '--headless',
  '--no-sandbox',
  '--disable-gpu',
  '--disable-quic',
  '--no-first-run',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
];

// The line sent for the keys typed: a "\b" in them is a press of Backspace,
// which edits the line before it is sent.
function edited(keys) {
  const line = [];
  for (const ch of keys) {
    if (ch === '\b') line.pop();
    else line.push(ch);
  }
  return line.join('');
}

// The native program on the same lines at the same second, in a folder of its
// own unless it is to run where an earlier run left its lists.
function runnative(second, lines, folder = fs.mkdtempSync(path.join(env('QUIVERLY_SCRATCH'), 'native-'))) {
  const input = lines.map((keys) => `${edited(keys)}\n`).join('');
  // The clock stands still at that second (a busy machine can take longer than
  // a second to start the program).
  const stamp = new Date(second * 1000).toISOString().slice(0, 19).replace('T', ' ');
  const run = spawnSync('faketime', ['-f', stamp, env('QUIVERLY_NATIVE')], {
    cwd: folder,
    input,
    env: { ...process.env, TZ: 'UTC' },
  });
  assert.equal(run.status, 0, `native run failed: ${run.stderr}`);
  return { output: run.stdout, folder };
}

// The first byte where two outputs differ, shown in context.
function difference(page, expected) {
  let at = 0;
  while (at < page.length && at < expected.length && page[at] === expected[at]) ++at;
  const show = (bytes) => JSON.stringify(bytes.subarray(Math.max(0, at - 60), at + 60).toString('latin1'));
  return `first difference at byte ${at}:\n  page:   ${show(page)}\n  native: ${show(expected)}`;
}

// The transcript's lines without trailing blanks and without empty lines at
// the end.
function trimlines(lines) {
  const trimmed = lines.map((line) => line.trimEnd());
  while (trimmed.length > 0 && trimmed[trimmed.length - 1] === '') trimmed.pop();
  return trimmed;
}

// What a console shows: the program's output with each line the player sent
// echoed where it was typed, at the prompt that waited for it.
function expectedscreen(output, typed) {
  let text = '';
  let from = 0;
  for (const { at, line } of typed) {
    text += output.subarray(from, at).toString('utf8') + line + '\n';
    from = at;
  }
  text += output.subarray(from).toString('utf8');
  return trimlines(text.split('\n'));
}

// Holds what the page's program wrote (output, bytes) and what its transcript
// shows (lines) to the native run; typed is where in the output each line was
// sent, and what it was.
function compareplay({ output, lines }, expected, typed) {
  assert.ok(output.equals(expected.output), difference(output, expected.output));
  const screen = trimlines(lines);
  const want = expectedscreen(expected.output, typed);
  const banner = want.find((line) => line.includes('*****'));
  assert.ok(banner && screen.includes(banner), `the transcript shows the banner line ${JSON.stringify(banner)}`);
  assert.deepEqual(screen.slice(-2), [`> ${typed[typed.length - 1].line}`, 'Bye!'],
    'the transcript ends with the last prompt, its answer and Bye!');
  assert.deepEqual(screen, want, 'the transcript shows the dialogue with the lines typed');
}

// Holds a downloaded list to the native program's file of that name.
function comparelist(got, expected, name) {
  const want = fs.readFileSync(path.join(expected.folder, name));
  assert.ok(got.equals(want), `the downloaded list differs from the native one:\n${difference(got, want)}`);
}

module.exports = { env, chromiumflags, edited, runnative, difference, trimlines, compareplay, comparelist };
