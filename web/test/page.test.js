// Plays whole sessions on the page in headless Chromium, with the clock frozen
// so that the generator's seed is known, and holds the page to the native
// program: every byte the program wrote must be the byte the native program
// writes for the same lines at the same second. Also checks that each score list
// arrives as a download with the native file's bytes, and that the terminal
// shows the dialogue with the player's lines echoed after the prompts.
//
// web/test/run.sh builds both programs, serves the page and sets:
//   QUIVERLY_PAGE_URL    the page served over HTTP
//   QUIVERLY_PAGE_DIR    the page's folder, opened from disk as well
//   QUIVERLY_NATIVE      the native program
//   QUIVERLY_SCRATCH     a folder for the native runs
//   QUIVERLY_SCREENSHOT  where to save a picture of the calculator session
'use strict';

const { test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');
const { pathToFileURL } = require('node:url');
const { chromium } = require('playwright-core');

const env = (name) => {
  const value = process.env[name];
  assert.ok(value, `${name} is not set: run web/test/run.sh`);
  return value;
};
const pageurl = env('QUIVERLY_PAGE_URL');
const fileurl = pathToFileURL(path.join(env('QUIVERLY_PAGE_DIR'), 'index.html')).href;
const native = env('QUIVERLY_NATIVE');
const scratch = env('QUIVERLY_SCRATCH');
const screenshot = env('QUIVERLY_SCREENSHOT');

// Each line is typed into the terminal and sent with Enter; a "\b" in it is a
// press of Backspace, which the terminal applies before the line is sent.
const sessions = [
  { name: 'menu', second: 1755511200, lines: ['9\b7', 'x', 'q'] },
  { name: '301', second: 1755512345, lines: ['1', 'h', 'a', 'h', 'a', 'q', 'q'] },
  { name: 'calculator', second: 1755513579, lines: ['c', '170', 'a60', 'q', 'q'], picture: true },
  {
    name: 'export',
    second: 1755514800,
    lines: ['s', '20dt', '20dt', 'q', 'q'],
    list: { name: 'darts-score020-doubles.txt', line: 1 },
  },
];

// The line a cooked terminal sends for the keys typed.
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
function runnative(second, lines, folder = fs.mkdtempSync(path.join(scratch, 'native-'))) {
  const input = lines.map((keys) => `${edited(keys)}\n`).join('');
  const run = spawnSync('faketime', [`@${second}`, native], { cwd: folder, input });
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

// The terminal's text, one entry per line as written (wrapped rows joined),
// without trailing blanks and without the empty rows below the text.
async function screenlines(page) {
  const lines = await page.evaluate(() => {
    const buffer = window.quiverly.term.buffer.active;
    const rows = [];
    for (let i = 0; i < buffer.length; ++i) {
      const row = buffer.getLine(i);
      const text = row.translateToString(false);
      if (row.isWrapped && rows.length > 0) rows[rows.length - 1] += text;
      else rows.push(text);
    }
    return rows;
  });
  return trimlines(lines);
}

function trimlines(lines) {
  const trimmed = lines.map((line) => line.trimEnd());
  while (trimmed.length > 0 && trimmed[trimmed.length - 1] === '') trimmed.pop();
  return trimmed;
}

// What a terminal shows: the program's output with each line the player sent
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

let browser;

before(async () => {
  browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: [
      '--headless',
      '--no-sandbox',
      '--disable-gpu',
      '--disable-quic',
      '--no-first-run',
      '--disable-background-networking',
      '--disable-component-update',
      '--disable-sync',
    ],
  });
});

after(async () => {
  if (browser) await browser.close();
});

// Types each line into the terminal once the program waits for it, and waits
// until the program has ended. Returns where in the output each line was typed.
async function typelines(page, lines, downloadat = -1) {
  const typed = [];
  for (const [index, keys] of lines.entries()) {
    const at = await page.evaluate(() => window.quiverly.output().length);
    typed.push({ at, line: edited(keys) });
    const download = index === downloadat ? page.waitForEvent('download') : null;
    for (const [i, part] of keys.split('\b').entries()) {
      if (i > 0) await page.keyboard.press('Backspace');
      if (part) await page.keyboard.type(part);
    }
    await page.keyboard.press('Enter');
    if (download) await download;
    await page.waitForFunction(() => window.quiverly.waiting() || window.quiverly.status() !== null);
  }
  await page.waitForFunction(() => window.quiverly.status() !== null);
  assert.equal(await page.evaluate(() => window.quiverly.status()), 0, 'exit status');
  await page.locator('#ending').waitFor({ state: 'visible' });
  return typed;
}

// Checks the bytes the program wrote and what the terminal shows against the
// native run.
async function compare(page, expected, typed) {
  const output = Buffer.from(await page.evaluate(() => window.quiverly.output()));
  assert.ok(output.equals(expected.output), difference(output, expected.output));

  const screen = await screenlines(page);
  const want = expectedscreen(expected.output, typed);
  const banner = want.find((line) => line.includes('*****'));
  assert.ok(banner && screen.includes(banner), `the terminal shows the banner line ${JSON.stringify(banner)}`);
  assert.deepEqual(screen.slice(-2), [`> ${typed[typed.length - 1].line}`, 'Bye!'],
    'the terminal ends with the last prompt, its answer and Bye!');
  assert.deepEqual(screen, want, 'the terminal shows the dialogue with the lines typed');
  return output.length;
}

async function play(session, url) {
  const expected = runnative(session.second, session.lines);
  const context = await browser.newContext({ viewport: { width: 1280, height: 800 } });
  try {
    return await playin(context, session, url, expected);
  } finally {
    await context.close();
  }
}

async function playin(context, session, url, expected) {
  const page = await context.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(String(error)));
  const downloads = [];
  page.on('download', (download) => downloads.push(download));
  await page.clock.setFixedTime(session.second * 1000);
  await page.goto(url);
  await page.waitForFunction(() => window.quiverly && window.quiverly.waiting());
  await page.click('#terminal');

  const typed = await typelines(page, session.lines, session.list ? session.list.line : -1);
  if (session.list) {
    assert.equal(downloads.length, 1, 'one download: the second request is refused');
    const [download] = downloads;
    assert.equal(download.suggestedFilename(), session.list.name);
    const got = fs.readFileSync(await download.path());
    const want = fs.readFileSync(path.join(expected.folder, session.list.name));
    assert.ok(got.equals(want), `the downloaded list differs from the native one:\n${difference(got, want)}`);
  }
  const bytes = await compare(page, expected, typed);
  if (session.picture && url === pageurl) await page.screenshot({ path: screenshot });

  if (session.list) {
    // A new session of the same visit finds the list, as a second run of
    // the native program finds it in its folder, and refuses to write it.
    const again = session.lines.filter((line, index) => index !== session.list.line);
    await page.click('#restart');
    await page.waitForFunction(() => window.quiverly.waiting());
    const retyped = await typelines(page, again);
    await compare(page, runnative(session.second, again, expected.folder), retyped);
    assert.equal(downloads.length, 1, 'no download in the new session');
  } else {
    assert.equal(downloads.length, 0, 'no download');
  }
  assert.deepEqual(errors, [], 'no error in the page');
  return { page: bytes, native: expected.output.length };
}

for (const session of sessions) {
  for (const [where, url] of [['http', pageurl], ['file', fileurl]]) {
    test(`${session.name} session over ${where}`, async () => {
      const bytes = await play(session, url);
      console.log(`${session.name} (${where}): page ${bytes.page} bytes, native ${bytes.native} bytes: identical`);
    });
  }
}

// The time from navigation to the banner in the terminal, without a fake clock.
test('start-up time', async () => {
  const times = [];
  for (let run = 0; run < 3; ++run) {
    const context = await browser.newContext();
    const page = await context.newPage();
    await page.goto(pageurl);
    const handle = await page.waitForFunction(
      () => {
        const buffer = window.quiverly && window.quiverly.term.buffer.active;
        if (!buffer) return false;
        for (let i = 0; i < buffer.length; ++i) {
          if (buffer.getLine(i).translateToString().includes('***** Quiverly')) return performance.now();
        }
        return false;
      },
      null,
      { polling: 'raf' },
    );
    times.push(Math.round(await handle.jsonValue()));
    await context.close();
  }
  times.sort((a, b) => a - b);
  console.log(`navigation to banner: ${times.join(', ')} ms (median ${times[1]} ms)`);
  assert.ok(times[1] < 10000, 'the banner shows within ten seconds');
});
