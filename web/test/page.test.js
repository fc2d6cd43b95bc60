// Plays whole sessions on the page in headless Chromium, with the clock frozen
// so that the generator's seed is known, and holds the page to the native
// program: every byte the program wrote must be the byte the native program
// writes for the same lines at the same second. Also checks that each score list
// arrives as a download with the native file's bytes, that the transcript shows
// the dialogue with the player's lines echoed after the prompts, and the page
// in a player's hand: phones (no sideways scrolling, a phone keyboard's
// composed text, the dart keypad), zoom, the accessibility tree, and playing
// offline after one visit. web/test/run.sh runs it (see native.js).
'use strict';

const { test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const { pathToFileURL } = require('node:url');
const { chromium, devices } = require('playwright-core');
const { env, chromiumflags, edited, runnative, difference, compareplay, comparelist, markers, playbytaps } = require('./native.js');

const pageurl = env('QUIVERLY_PAGE_URL');
const fileurl = pathToFileURL(path.join(env('QUIVERLY_PAGE_DIR'), 'index.html')).href;
const screenshot = env('QUIVERLY_SCREENSHOT');
const scratch = env('QUIVERLY_SCRATCH');

// Each line is typed into the answer line and sent with Enter; a "\b" in it is
// a press of Backspace. kept: the results the progress record then holds
// (activity, asked, correct).
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
  { name: 'final three darts', second: 1755515000, lines: ['5', ...Array(20).fill('a'), 'n', 'q'], kept: ['Final three darts 20 0'] },
];

let browser;

before(async () => {
  browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: chromiumflags });
});

after(async () => {
  if (browser) await browser.close();
});

// Whether the page scrolls sideways.
async function overflows(page) {
  return page.evaluate(() => document.scrollingElement.scrollWidth > window.innerWidth);
}

// Sends one line from the keyboard: the keys typed into the answer line, then
// Enter. Waits until the program waits for the next line or has ended.
async function sendkeys(page, keys) {
  await page.focus('#answer');
  for (const [i, part] of keys.split('\b').entries()) {
    if (i > 0) await page.keyboard.press('Backspace');
    if (part) await page.keyboard.type(part);
  }
  await page.keyboard.press('Enter');
  await waitforread(page);
}

async function waitforread(page) {
  await page.waitForFunction(() => window.quiverly && (window.quiverly.waiting() || window.quiverly.status() !== null));
}

// Sends each line with send(page, keys) once the program waits for it, and
// waits until the program has ended. Before each line the page offers no new
// session (a check of what is shown, not of an attribute) and, where asked,
// does not scroll sideways. Returns where in the output each line was sent.
async function typelines(page, lines, { downloadat = -1, send = sendkeys, nooverflow = false } = {}) {
  const typed = [];
  for (const [index, keys] of lines.entries()) {
    assert.equal(await page.locator('#ending').isVisible(), false, 'no new session offered during play');
    if (nooverflow) assert.equal(await overflows(page), false, `no sideways scrolling before line ${index}`);
    const at = await page.evaluate(() => window.quiverly.output().length);
    typed.push({ at, line: edited(keys) });
    const download = index === downloadat ? page.waitForEvent('download') : null;
    await send(page, keys);
    if (download) {
      await download;
      assert.equal(await page.evaluate(() => document.activeElement.id), 'answer', 'the focus stays after a download');
    }
  }
  await page.waitForFunction(() => window.quiverly.status() !== null);
  assert.equal(await page.evaluate(() => window.quiverly.status()), 0, 'exit status');
  await page.locator('#ending').waitFor({ state: 'visible' });
  if (nooverflow) assert.equal(await overflows(page), false, 'no sideways scrolling at the end');
  return typed;
}

// Checks the bytes the program wrote and what the transcript shows against the
// native run; returns the number of bytes.
async function compare(page, expected, typed) {
  const output = Buffer.from(await page.evaluate(() => window.quiverly.output()));
  compareplay({ output, lines: await page.evaluate(() => window.quiverly.lines()) }, expected, typed);
  return output.length;
}

// The results the progress record holds, each as "activity asked correct".
async function keptresults(page) {
  const record = JSON.parse(await page.evaluate(() => localStorage.getItem('quiverly-progress')));
  return record.results.map(([, activity, asked, correct]) => `${activity} ${asked} ${correct}`);
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
  if (session.kept) await page.waitForSelector('#progress', { state: 'attached' });

  const typed = await typelines(page, session.lines, { downloadat: session.list ? session.list.line : -1 });
  if (session.kept) assert.deepEqual(await keptresults(page), session.kept, 'the progress record');
  if (session.list) {
    assert.equal(downloads.length, 1, 'one download: the second request is refused');
    const [download] = downloads;
    assert.equal(download.suggestedFilename(), session.list.name);
    comparelist(fs.readFileSync(await download.path()), expected, session.list.name);
  }
  const bytes = await compare(page, expected, typed);
  if (session.picture && url === pageurl) await page.screenshot({ path: screenshot });

  if (session.list) {
    // A new session of the same visit finds the list, as a second run of
    // the native program finds it in its folder, and refuses to write it.
    const again = session.lines.filter((line, index) => index !== session.list.line);
    await page.click('#restart');
    assert.equal(await page.evaluate(() => document.activeElement.id), 'answer', 'the focus is in the new session');
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
      console.log(
        `Chromium ${browser.version()}, ${session.name} (${where}): ` +
          `page ${bytes.page} bytes, native ${bytes.native} bytes: identical`,
      );
    });
  }
}

// By keyboard alone: the answer line has the keyboard once the page is shown,
// without a click, what is typed while no control has the focus (after a click
// on the transcript) goes to it, but for the space bar, and after a long list
// the newest line is in sight.
test('keyboard from the start, and the newest line in sight', async () => {
  const { context, page } = await openpage({ viewport: { width: 1280, height: 800 } }, pageurl, 1755513579);
  try {
    await page.waitForFunction(() => document.activeElement === document.getElementById('answer'));
    for (const line of ['c', 'a60']) {
      if (line === 'a60') {
        await page.click('#transcript');
        await page.keyboard.press(' ');
        assert.ok(await page.evaluate(() => document.activeElement === document.body), 'the click takes the focus');
        assert.equal(await page.inputValue('#answer'), '', 'the space bar scrolls the page, and types nothing');
      }
      await page.keyboard.type(line);
      await page.keyboard.press('Enter');
      await waitforread(page);
    }
    const lines = await page.evaluate(() => window.quiverly.lines());
    assert.ok(lines.length > 200, `a long list: ${lines.length} lines`);
    // Scrolling happens before the next frame.
    await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
    const view = await page.evaluate(() => {
      const last = document.getElementById('transcript').lastElementChild.getBoundingClientRect();
      const panel = document.getElementById('panel').getBoundingClientRect();
      return { last: last.bottom, panel: panel.top, height: window.innerHeight };
    });
    assert.ok(view.last > 0 && view.last <= view.panel + 1, `the last line (bottom at ${view.last}) above the answer line (${view.panel})`);
    assert.deepEqual(page.errors, [], 'no error in the page');
  } finally {
    await context.close();
  }
});

// The time from navigation to the banner in the transcript, without a fake
// clock (bench/page.sh measures it properly, against a static page).
test('start-up time', async () => {
  const times = [];
  for (let run = 0; run < 3; ++run) {
    const context = await browser.newContext();
    const page = await context.newPage();
    await page.goto(pageurl);
    const handle = await page.waitForFunction(
      () =>
        window.quiverly && window.quiverly.lines().some((line) => line.includes('***** Quiverly'))
          ? performance.now()
          : false,
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

// ---- The page in a player's hand

const phones = ['Pixel 7', 'iPhone 13'];

// A new context with the given options and a page on url at the given second,
// once the program waits for its first line. Errors in the page are gathered
// in page.errors.
async function openpage(options, url, second) {
  const context = await browser.newContext(options);
  const page = await context.newPage();
  page.errors = [];
  page.on('pageerror', (error) => page.errors.push(String(error)));
  await page.clock.setFixedTime(second * 1000);
  await page.goto(url);
  await page.waitForFunction(() => window.quiverly && window.quiverly.waiting());
  return { context, page };
}

// Every activity, left at once, then the calculator's longest list of ways;
// the progress record keeps the score of each activity that reports one.
const walk = {
  second: 1755520000,
  lines: ['1', 'q', '2', 'q', '3', 'q', '4', 'q', '5', 'q', '6', 'q', '7', 'c', '170', 'q', 's', 'q', 'q'],
  kept: ['301 game 1 0', '501 game 1 0', '1001 game 1 0', 'Subtractions 1 0'],
};

// On a phone's screen, upright or on its side, and on a desktop's at 200% and
// 400% zoom (the same width in CSS pixels), nothing scrolls sideways after the
// banner and in any activity; text is at least 14 px, every button at least
// 44 px, and the keypad leaves at least half of the screen to the transcript.
for (const [name, options] of [
  ...phones.map((phone) => [phone, devices[phone]]),
  ['iPhone 13 on its side', devices['iPhone 13 landscape']],
  ['320 px phone', { viewport: { width: 320, height: 568 }, hasTouch: true, isMobile: true }],
  ['280 px phone', { viewport: { width: 280, height: 653 }, hasTouch: true, isMobile: true }],
  ['desktop at 200%', { viewport: { width: 640, height: 400 } }],
  ['desktop at 400%', { viewport: { width: 320, height: 200 } }],
]) {
  test(`${name}: no sideways scrolling in any activity`, async () => {
    const expected = runnative(walk.second, walk.lines);
    const { context, page } = await openpage(options, fileurl, walk.second);
    try {
      const sizes = await page.evaluate(() => {
        const shown = (element) => element.getClientRects().length > 0;
        const texts = [...document.querySelectorAll('body *')].filter(
          (element) => shown(element) && [...element.childNodes].some((node) => node.nodeType === 3 && node.data.trim()),
        );
        const buttons = [...document.querySelectorAll('button, input')].filter(shown);
        return {
          smallest: Math.min(...texts.map((element) => parseFloat(getComputedStyle(element).fontSize))),
          narrowest: Math.min(...buttons.map((element) => element.getBoundingClientRect().width)),
          lowest: Math.min(...buttons.map((element) => element.getBoundingClientRect().height)),
          keypad: !document.getElementById('keypad').hidden,
          transcript: document.getElementById('panel').getBoundingClientRect().top / window.innerHeight,
        };
      });
      assert.ok(sizes.smallest >= 14, `text of ${sizes.smallest} px`);
      assert.ok(sizes.narrowest >= 44 && sizes.lowest >= 44, `a button of ${sizes.narrowest} by ${sizes.lowest} px`);
      assert.equal(sizes.keypad, options.hasTouch === true, 'the keypad is shown on touch screens only');
      if (sizes.keypad) assert.ok(sizes.transcript >= 0.5, `the keypad leaves the transcript ${sizes.transcript}`);
      await page.waitForSelector('#progress', { state: 'attached' });
      await compare(page, expected, await typelines(page, walk.lines, { nooverflow: true }));
      assert.deepEqual(await keptresults(page), walk.kept, 'the progress record');
      assert.deepEqual(page.errors, [], 'no error in the page');
    } finally {
      await context.close();
    }
  });
}

// A phone keyboard's way of typing: the word is composed, then committed, then
// Enter; and a keyboard that sends Enter as a line break in the text. Right
// after the page loads, ten loads a device, five at a time: nothing lost or
// doubled.
for (const phone of phones) {
  test(`${phone}: a phone keyboard's composed text right after load`, async () => {
    const second = 1755521000;
    const lines = ['7', 'c', '60', 'q', 'q'];
    const expected = runnative(second, lines);
    const composed = async (page, cdp, text) => {
      await cdp.send('Input.imeSetComposition', { text, selectionStart: text.length, selectionEnd: text.length });
      await cdp.send('Input.insertText', { text });
      await page.keyboard.press('Enter');
    };
    const load = async () => {
      const context = await browser.newContext(devices[phone]);
      try {
        const page = await context.newPage();
        const errors = [];
        page.on('pageerror', (error) => errors.push(String(error)));
        await page.clock.setFixedTime(second * 1000);
        await page.goto(fileurl);
        const cdp = await context.newCDPSession(page);
        await page.tap('#answer');
        await composed(page, cdp, '7');
        await composed(page, cdp, 'c');
        await waitforread(page);
        await cdp.send('Input.insertText', { text: '60\n' });
        await waitforread(page);
        await composed(page, cdp, 'q');
        await cdp.send('Input.insertText', { text: 'q\n' });
        await page.waitForFunction(() => window.quiverly.status() !== null);
        const output = Buffer.from(await page.evaluate(() => window.quiverly.output()));
        assert.deepEqual(errors, [], 'no error in the page');
        return output.equals(expected.output) ? null : difference(output, expected.output);
      } finally {
        await context.close();
      }
    };
    const failures = [];
    for (let round = 0; round < 2; ++round) {
      failures.push(...(await Promise.all(Array.from({ length: 5 }, load))).filter((failure) => failure));
    }
    assert.deepEqual(failures, [], 'every load gets every line once');
  });
}

// Sends one line by taps alone: each character's key ("\b" is Delete), then,
// after what check(page) looks at, Enter. Where the board stands in for the
// keypad, the switch brings the keypad back first. Tapping leaves the
// keyboard's focus in the answer line.
async function tapkeys(page, keys, check = async () => {}) {
  if (!(await page.locator('#keypad').isVisible())) await page.tap('#padtoggle');
  for (const key of keys) await page.tap(`[data-key="${key === '\b' ? 'delete' : key}"]`);
  assert.equal(await page.inputValue('#answer'), edited(keys), 'the line holds what was tapped');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'answer', 'the answer line keeps the keyboard');
  await check(page);
  await page.tap('[data-key="enter"]');
  await waitforread(page);
}

// The keypad alone plays a finishing question: the same bytes as typing it.
test('Pixel 7: the dart keypad gives the same bytes as typing', async () => {
  const second = 1755522000;
  const lines = ['5', 't20d20', '?', 'q', 'q'];
  const expected = runnative(second, lines);
  const tap = async (page, keys) => {
    await tapkeys(page, keys);
    if (keys === 't20d20') await page.screenshot({ path: screenshot.replace(/\.png$/, '-pixel7.png') });
  };
  const { context, page } = await openpage(devices['Pixel 7'], fileurl, second);
  try {
    // A tapped key and Delete edit the line; only what was composed is sent.
    await page.tap('[data-key="9"]');
    await page.tap('[data-key="delete"]');
    assert.equal(await page.inputValue('#answer'), '');
    const typed = await typelines(page, lines, { send: tap, nooverflow: true });
    await compare(page, expected, typed);
    assert.deepEqual(page.errors, [], 'no error in the page');
  } finally {
    await context.close();
  }
});

// The keypad on a phone's screen: where the panel ends, and each key's size.
async function keypadlayout(page) {
  return page.evaluate(() => {
    const box = (element) => {
      const { left, top, right, bottom, width, height } = element.getBoundingClientRect();
      return { left, top, right, bottom, width, height };
    };
    const keys = {};
    for (const key of document.querySelectorAll('[data-key]')) keys[key.dataset.key] = box(key);
    const answer = document.getElementById('answer');
    const middle = box(answer);
    return {
      height: window.innerHeight,
      width: window.innerWidth,
      panel: box(document.getElementById('panel')),
      answer: middle,
      // What a finger on the answer line's middle would touch.
      answerontop:
        document.elementFromPoint((middle.left + middle.right) / 2, (middle.top + middle.bottom) / 2) === answer,
      keys,
      controls: [...document.querySelectorAll('button, input')]
        .filter((element) => element.getClientRects().length > 0)
        .map((element) => ({ name: element.dataset.key || element.id, ...box(element) })),
    };
  });
}

// Every character of every token a question takes, each one key: the menu's,
// the answers and commands, the darts, play again, the calculator's requests
// and the export's.
const keypadkeys = [...'0123456789', ...'abcdhnoqsty?', 'delete', 'enter'];

// By taps alone on an iPhone 13: the calculator's ways to make 40, two
// exactly-101 games (the second by "y" to play again), the final three darts
// game with its hint, help and dart letters, and the export menu with a list,
// every line composed on the keypad and holding the same bytes as the native
// program's; the list arrives as the native file. The keypad leaves the
// transcript more than half of the screen, its keys are large enough for a
// finger, and it never covers the answer line.
test('iPhone 13: the keypad alone reaches every answer', async () => {
  const second = 1755525000;
  const lines = [
    'c', '40', 'd137', 'q', 'n9\b',
    '5', 'h', 'sob', 't19d8', '?', 'q',
    '6', ...Array(20).fill('a'), 'y', 'q',
    's', '?', '20ac', 'q', 'q',
  ];
  const expected = runnative(second, lines);
  const { context, page } = await openpage(devices['iPhone 13'], pageurl, second);
  const picture = (name) => page.screenshot({ path: screenshot.replace(/\.png$/, `-iphone13-${name}.png`) });
  try {
    const layout = await keypadlayout(page);
    assert.deepEqual(Object.keys(layout.keys).sort(), [...keypadkeys].sort(), 'the keypad holds every key, once');
    const share = layout.panel.top / layout.height;
    assert.ok(share >= 0.55, `the transcript keeps ${(share * 100).toFixed(1)}% of the screen`);
    for (const control of layout.controls) {
      assert.ok(control.width >= 44 && control.height >= 44, `${control.name}: ${control.width}x${control.height} px`);
      assert.ok(control.left >= 0 && control.right <= layout.width, `${control.name} on the screen`);
    }
    // Digits, Enter and Delete are as large as any key, and taller than
    // Android's 48 dp.
    const { keys } = layout;
    const letters = [...'abcdhnoqsty?'].map((key) => keys[key]);
    for (const key of [...'0123456789', 'enter', 'delete']) {
      assert.ok(keys[key].height >= 48, `${key} is ${keys[key].height} px high`);
      for (const letter of letters) {
        const aslarge = keys[key].width >= letter.width && keys[key].height >= letter.height;
        assert.ok(aslarge, `${key} no smaller than a letter`);
      }
    }
    assert.ok(keys.enter.width > 2 * keys['0'].width, 'Enter is two digits wide');
    const size = (key) => `${keys[key].width.toFixed(1)}x${keys[key].height.toFixed(1)}`;
    console.log(
      `iPhone 13 (${layout.width}x${layout.height}): the transcript keeps ${(share * 100).toFixed(1)}% of the ` +
        `screen above the keypad; keys in CSS px: digits ${size('0')}, Enter ${size('enter')}, ` +
        `Delete ${size('delete')}, letters ${size('a')}`,
    );

    const downloads = [];
    page.on('download', (download) => downloads.push(download));
    // What is being tapped stays in sight, above the keys, and so does the
    // prompt that waits for it.
    const insight = async (page) => {
      // The page scrolls before the next frame.
      await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
      const view = await keypadlayout(page);
      assert.ok(view.answerontop && view.answer.top >= 0 && view.answer.bottom <= view.keys['1'].top,
        'the answer line is in sight');
      const prompt = await page.evaluate(
        () => document.getElementById('transcript').lastElementChild.getBoundingClientRect().bottom,
      );
      assert.ok(prompt <= view.panel.top + 1, `the prompt (bottom at ${prompt}) above the panel (${view.panel.top})`);
    };
    const tap = async (page, keys) => {
      await tapkeys(page, keys, insight);
      if (keys === '40') await picture('calculator');
      if (keys === 's') await picture('export');
    };
    // A tap on the transcript takes the focus from the answer line; the first
    // key tapped gives it back.
    await page.waitForSelector('#progress', { state: 'attached' });
    await page.tap('#transcript');
    const download = page.waitForEvent('download');
    download.catch(() => {}); // the test fails by what it awaits, not by this
    const typed = await typelines(page, lines, { send: tap, nooverflow: true });
    await download;
    await compare(page, expected, typed);
    const games = (await page.evaluate(() => window.quiverly.lines())).filter((line) =>
      line.includes('to reach exactly 101'),
    );
    assert.equal(games.length, 2, 'y started a second exactly-101 game');
    assert.deepEqual(await keptresults(page), ['Exactly 101 20 0'], 'the progress record');
    assert.equal(downloads.length, 1, 'one download');
    assert.equal(downloads[0].suggestedFilename(), 'darts-score020.csv');
    comparelist(fs.readFileSync(await downloads[0].path()), expected, 'darts-score020.csv');
    assert.deepEqual(page.errors, [], 'no error in the page');
  } finally {
    await context.close();
  }
});

// A screen reader gets the dialogue: a polite live region holds the banner and
// the menu, the answer line has a label, and Tab leaves it.
test('the accessibility tree holds the dialogue', async () => {
  const { context, page } = await openpage({}, fileurl, 1755523000);
  try {
    const cdp = await context.newCDPSession(page);
    const { nodes } = await cdp.send('Accessibility.getFullAXTree');
    const property = (node, name) => (node.properties || []).find((p) => p.name === name)?.value.value;
    const log = nodes.find((node) => node.role?.value === 'log');
    assert.ok(log, 'a log');
    assert.equal(property(log, 'live'), 'polite');
    const texts = nodes.filter((node) => node.role?.value === 'StaticText').map((node) => node.name?.value || '');
    assert.ok(texts.some((text) => text.includes('***** Quiverly')), 'the banner is in the tree');
    assert.ok(texts.some((text) => text.includes('c: Calculator')), 'the menu is in the tree');
    const box = nodes.find((node) => node.role?.value === 'textbox');
    assert.equal(box?.name?.value, 'Your answer', 'the answer line is labelled');
    await page.focus('#answer');
    await page.keyboard.press('Tab');
    assert.notEqual(await page.evaluate(() => document.activeElement.id), 'answer', 'Tab leaves the answer line');
    // The board's 82 areas are buttons named as the program names darts; by
    // keyboard the board is one stop of Tab, the arrows move between areas
    // and Enter or the space bar presses one.
    const named = /^((single|double|treble) (20|1[0-9]|[1-9])|outer bullseye|bullseye)$/;
    const areas = nodes.filter((node) => node.role?.value === 'button' && named.test(node.name?.value));
    assert.equal(areas.length, 82, 'the board holds 82 named buttons');
    for (let tabs = 0; tabs < 5 && !(await page.evaluate(() => document.activeElement.dataset.dart)); ++tabs) {
      await page.keyboard.press('Tab');
    }
    for (const key of ['Enter', 'ArrowUp', ' ', 'ArrowDown', 'ArrowDown', 'ArrowLeft', 'Enter']) await page.keyboard.press(key);
    assert.equal(await page.inputValue('#answer'), 't20s20s5', 'treble 20, up to single 20, in twice and left to single 5');
  } finally {
    await context.close();
  }
});

// ---- The progress record

// Opens the progress view, once its script has loaded after the first text,
// unless it is open, and returns its tables by name, each row's cells joined
// by spaces.
async function openprogress(page) {
  await page.waitForSelector('#progress', { state: 'attached' });
  if (!(await page.evaluate(() => document.getElementById('progress').open))) await page.click('#progresstoggle');
  return page.evaluate(() =>
    Object.fromEntries(
      [...document.querySelectorAll('#progress table')].map((table) => [
        document.getElementById(table.getAttribute('aria-labelledby')).textContent,
        [...table.rows].map((row) => [...row.cells].map((cell) => cell.textContent).join(' ')),
      ]),
    ),
  );
}

// Subtractions by taps, the first answer right and q at the second; after a
// reload the view holds the result under the device's day (in Auckland, a
// day ahead of the clock's UTC day), Export gives it as CSV, and Clear, once
// confirmed, empties the view for good.
test('iPhone 13: a result kept across a reload, exported and cleared', async () => {
  const second = 1755525000;
  const first = /1: What is (\d+) subtracted from (\d+)\?/.exec(runnative(second, ['4', 'q', 'q']).output);
  const lines = ['4', String(first[2] - first[1]), 'q', 'q'];
  const options = { ...devices['iPhone 13'], timezoneId: 'Pacific/Auckland' };
  const { context, page } = await openpage(options, pageurl, second);
  try {
    await page.waitForSelector('#progress', { state: 'attached' });
    // The program's bytes, "You scored 1 out of 2." among them, as the native program's.
    await compare(page, runnative(second, lines), await typelines(page, lines, { send: tapkeys }));
    await page.reload();
    const table = { Subtractions: ['Date Asked Correct', '2025-08-19 2 1'] };
    assert.deepEqual(await openprogress(page), table, 'the view after a reload');
    const download = page.waitForEvent('download');
    await page.getByRole('button', { name: 'Export', exact: true }).tap();
    assert.equal((await download).suggestedFilename(), 'quiverly-progress.csv');
    const csv = fs.readFileSync(await (await download).path(), 'utf8');
    assert.equal(csv, 'date,activity,asked,correct\n2025-08-19,Subtractions,2,1\n');
    for (const confirmed of [false, true]) {
      page.once('dialog', (dialog) => (confirmed ? dialog.accept() : dialog.dismiss()));
      await page.getByRole('button', { name: 'Clear' }).tap();
      assert.deepEqual(await openprogress(page), confirmed ? {} : table, `Clear ${confirmed ? '' : 'not '}confirmed`);
    }
    await page.reload();
    assert.deepEqual(await openprogress(page), {}, 'nothing after a reload');
    assert.match(await page.locator('#progress').textContent(), /Nothing is recorded yet/);
    await page.getByRole('button', { name: 'Back' }).tap();
    assert.ok(await page.locator('#answer').isVisible(), 'Back shows the answer line');
    assert.deepEqual(page.errors, [], 'no error in the page');
  } finally {
    await context.close();
  }
});

// A record kept over weeks, the page opened on its view (as Lighthouse audits
// it): each activity's last 30 days of play, a day's results added up. The
// picture is left in build-web/ to be looked at.
test('iPhone 13: a month of results drawn day by day', async () => {
  const day = (n) => new Date(Date.UTC(2025, 7, n)).toISOString().slice(0, 10);
  const results = [];
  for (let n = 1; n <= 35; ++n) results.push([day(n), '301 game', 10 + (n % 4), n % 10]);
  for (let n = 12; n <= 18; ++n) results.push([day(n), 'Subtractions', 20, n - 4]);
  results.push([day(15), 'Subtractions', 2, 1], [day(16), 'Final three darts', 20, 12], [day(18), 'Final three darts', 20, 15]);
  const { context, page } = await openpage(devices['iPhone 13'], pageurl, 1755525000);
  try {
    await page.evaluate((record) => localStorage.setItem('quiverly-progress', record), JSON.stringify({ version: 1, results }));
    await page.goto(`${pageurl}#progress`);
    await page.reload();
    await page.waitForFunction(() => document.getElementById('progress')?.open);
    const tables = await openprogress(page);
    assert.deepEqual(Object.keys(tables), ['301 game', 'Subtractions', 'Final three darts']);
    assert.equal(tables['301 game'].length, 31, 'a header and 30 days');
    assert.equal(tables['301 game'][1], '2025-08-06 12 6', 'from the 30th day of play before the last');
    assert.equal(tables.Subtractions[4], '2025-08-15 22 12', 'a day of two results');
    // The whole view, on a phone as tall as it.
    await page.setViewportSize({ width: 390, height: await page.evaluate(() => document.getElementById('progress').scrollHeight) });
    await page.screenshot({ path: screenshot.replace(/\.png$/, '-iphone13-progress.png') });
    await page.getByRole('button', { name: 'Back' }).tap();
    // Back leaves the address of the page, which a reload plays.
    await page.waitForFunction(() => location.hash === '');
    assert.deepEqual(page.errors, [], 'no error in the page');
  } finally {
    await context.close();
  }
});

// Storage that throws (refused, as in private browsing, or full) and a record
// of another version: the session plays on as the native program, no error
// reaches the console, and the view says what it could not keep or read,
// with the visit's result. A record it cannot read is set aside as it stood,
// and Export offers it.
const otherversion = '{"version":2,"days":{"2025-08-18":[1,2]}}';
const refused = () => {
  throw new DOMException('refused', 'SecurityError');
};
const full = () => {
  throw new DOMException('full', 'QuotaExceededError');
};
for (const [fault, init, says] of [
  ['refused storage', `Object.defineProperty(window, 'localStorage', { get: ${refused} })`, /Nothing can be kept/],
  ['full storage', `Storage.prototype.setItem = ${full}`, /Nothing can be kept/],
  ['a record of another version', `localStorage.setItem('quiverly-progress', '${otherversion}')`, /another version could not/],
]) {
  test(`${fault}: the session plays on and the view says so`, async () => {
    const second = 1755526000;
    const context = await browser.newContext({ timezoneId: 'UTC' });
    try {
      await context.addInitScript(init);
      const page = await context.newPage();
      const errors = [];
      page.on('pageerror', (error) => errors.push(String(error)));
      page.on('console', (message) => message.type() === 'error' && errors.push(message.text()));
      await page.clock.setFixedTime(second * 1000);
      await page.goto(pageurl);
      await page.waitForSelector('#progress', { state: 'attached' });
      const typed = [];
      for (const line of ['4', 'q']) {
        typed.push({ at: await page.evaluate(() => window.quiverly.output().length), line });
        await sendkeys(page, line);
      }
      assert.deepEqual(await openprogress(page), { Subtractions: ['Date Asked Correct', '2025-08-18 1 0'] });
      assert.match(await page.locator('#progress p').first().textContent(), says);
      if (fault.includes('version')) {
        const download = page.waitForEvent('download');
        await page.getByRole('button', { name: 'Export the set-aside record' }).click();
        assert.equal(fs.readFileSync(await (await download).path(), 'utf8'), otherversion, 'set aside as it stood');
      }
      await page.getByRole('button', { name: 'Back' }).click();
      typed.push(...(await typelines(page, ['7', 'q'])));
      await compare(page, runnative(second, ['4', 'q', '7', 'q']), typed);
      assert.deepEqual(errors, [], 'no error in the page or on its console');
    } finally {
      await context.close();
    }
  });
}

// Served over http, the page keeps its files after one visit: offline, a
// reload shows the progress kept before and plays the menu.
test('offline after one visit', async () => {
  const second = 1755524000;
  const expected = runnative(second, ['7', 'q']);
  const { context, page } = await openpage({}, pageurl, second);
  try {
    await page.evaluate(() => navigator.serviceWorker.ready);
    const record = { version: 1, results: [['2025-08-17', 'Exactly 101', 20, 17]] };
    await page.evaluate((text) => localStorage.setItem('quiverly-progress', text), JSON.stringify(record));
    await context.setOffline(true);
    await page.reload();
    await page.waitForFunction(() => window.quiverly && window.quiverly.waiting());
    assert.deepEqual(await openprogress(page), { 'Exactly 101': ['Date Asked Correct', '2025-08-17 20 17'] });
    await page.getByRole('button', { name: 'Back' }).click();
    await compare(page, expected, await typelines(page, ['7', 'q']));
    const cached = await page.evaluate(async () => (await caches.keys()).filter((name) => name.startsWith('quiverly-')));
    assert.equal(cached.length, 1, 'one cache of the page');
    assert.deepEqual(page.errors, [], 'no error in the page');
  } finally {
    await context.close();
  }
});

// A new version of the page replaces the old one on the next visit: its worker
// caches the new files under a new name and deletes the old cache, and the
// visit after plays the new page, offline too. The page is served from a copy
// that the test changes.
test('a new version replaces the old', async () => {
  const copy = fs.mkdtempSync(path.join(scratch, 'page-'));
  for (const name of fs.readdirSync(env('QUIVERLY_PAGE_DIR'))) {
    fs.copyFileSync(path.join(env('QUIVERLY_PAGE_DIR'), name), path.join(copy, name));
  }
  const types = { '.html': 'text/html', '.js': 'text/javascript', '.svg': 'image/svg+xml', '.png': 'image/png' };
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://localhost').pathname.slice(1)) || 'index.html';
    const file = path.join(copy, path.basename(name));
    if (!fs.existsSync(file)) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'content-type': types[path.extname(file)] || 'application/octet-stream' });
    response.end(fs.readFileSync(file));
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const url = `http://127.0.0.1:${server.address().port}/`;
  const context = await browser.newContext();
  try {
    const page = await context.newPage();
    const visit = async () => {
      await page.goto(url);
      await page.waitForFunction(() => window.quiverly && window.quiverly.waiting());
    };
    const cachenames = () => page.evaluate(async () => (await caches.keys()).filter((name) => name.startsWith('quiverly-')));
    await visit();
    await page.evaluate(() => navigator.serviceWorker.ready);
    const [first] = await cachenames();
    assert.ok(first, 'the first visit caches the page');

    const indexfile = path.join(copy, 'index.html');
    fs.writeFileSync(indexfile, fs.readFileSync(indexfile, 'utf8').replace('<h1>Quiverly</h1>', '<h1>Quiverly, again</h1>'));
    const workerfile = path.join(copy, 'sw.js');
    fs.writeFileSync(workerfile, fs.readFileSync(workerfile, 'utf8').replace(first, 'quiverly-anewversion'));
    // The browser looks for a new worker a little after the visit.
    await visit();
    for (let tries = 0; tries < 100 && (await cachenames()).join() !== 'quiverly-anewversion'; ++tries) {
      await page.waitForTimeout(200);
    }
    assert.deepEqual(await cachenames(), ['quiverly-anewversion'], 'the new cache, and only it');
    const index = await page.evaluate(async () => {
      const response = await (await caches.open('quiverly-anewversion')).match('./');
      return response ? response.text() : '';
    });
    assert.ok(index.includes('Quiverly, again'), 'the new cache holds the new page');
    await visit();
    assert.equal(await page.textContent('h1'), 'Quiverly, again', 'the visit after plays the new page');
    await context.setOffline(true);
    await visit();
    assert.equal(await page.textContent('h1'), 'Quiverly, again', 'offline too');
  } finally {
    await context.close();
    server.closeAllConnections();
    server.close();
  }
});

// ---- The dartboard

// Runs in the page: the widest circle that each of the board's areas holds,
// in CSS px, measured on the areas' outlines as drawn (points every 0.25
// unit, joined by straight lines, which stray from an arc of the board by
// less than 0.001 unit): the point of a 1-unit grid inside the area farthest
// from its outline, then the farthest on grids of 0.25 and 0.05 unit around it.
function widestcircles() {
  const svg = document.querySelector('#board svg');
  const scale = svg.getScreenCTM().a;
  return [...svg.querySelectorAll('[data-dart]')].map((area) => {
    const outline = [];
    for (let at = 0, length = area.getTotalLength(); at <= length; at += 0.25) {
      const { x, y } = area.getPointAtLength(at);
      outline.push(x, y);
    }
    const room = (x, y) => {
      if (!area.isPointInFill(new DOMPoint(x, y))) return 0;
      let nearest = Infinity;
      for (let i = 2; i < outline.length; i += 2) {
        const [ax, ay, bx, by] = [outline[i - 2], outline[i - 1], outline[i], outline[i + 1]];
        const length = (bx - ax) ** 2 + (by - ay) ** 2;
        // A jump between two loops of the outline (the outer bull's) is no
        // part of it.
        if (length > 0.1) continue;
        const t = length === 0 ? 0 : Math.max(0, Math.min(1, ((x - ax) * (bx - ax) + (y - ay) * (by - ay)) / length));
        nearest = Math.min(nearest, (ax + t * (bx - ax) - x) ** 2 + (ay + t * (by - ay) - y) ** 2);
      }
      return Math.sqrt(nearest);
    };
    const box = area.getBBox();
    let best = { x: 0, y: 0, room: 0 };
    for (let x = Math.floor(box.x); x <= box.x + box.width; ++x) {
      for (let y = Math.floor(box.y); y <= box.y + box.height; ++y) {
        const r = room(x, y);
        if (r > best.room) best = { x, y, room: r };
      }
    }
    for (const [step, reach] of [[0.25, 1.5], [0.05, 0.3]]) {
      const { x, y } = best;
      for (let dx = -reach; dx <= reach + 1e-9; dx += step) {
        for (let dy = -reach; dy <= reach + 1e-9; dy += step) {
          const r = room(x + dx, y + dy);
          if (r > best.room) best = { x: x + dx, y: y + dy, room: r };
        }
      }
    }
    return { name: area.getAttribute('aria-label'), across: 2 * best.room * scale };
  });
}

// The first question of a 501 game with its darts on the board, on phones
// upright and on their sides: each marker's middle lies in the area it names,
// the question and the prompt stay in sight above the answer line, nothing
// scrolls sideways; and on a screen 360 px wide every area of the board holds
// a finger's circle of 24 px.
for (const [name, options] of [
  ['iPhone 13', devices['iPhone 13']],
  ['360 px phone', { viewport: { width: 360, height: 640 }, hasTouch: true, isMobile: true, deviceScaleFactor: 3 }],
  ['iPhone 13 on its side', devices['iPhone 13 landscape']],
]) {
  test(`${name}: an add-up question's darts on the board`, async () => {
    const { context, page } = await openpage(options, pageurl, 1755527000);
    try {
      await tapkeys(page, '2');
      await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
      const view = await page.evaluate(() => {
        const lines = [...document.getElementById('transcript').children];
        const question = lines.findLast((line) => line.textContent.includes('What do these add up to'));
        const board = document.getElementById('board').getBoundingClientRect();
        const panel = document.getElementById('panel').getBoundingClientRect();
        return {
          question: question.textContent.trim(),
          top: question.getBoundingClientRect().top,
          prompt: lines[lines.length - 1].getBoundingClientRect().bottom,
          panel: panel.top,
          board: { left: board.left, right: board.right, bottom: board.bottom },
          width: window.innerWidth,
          height: window.innerHeight,
          sideways: document.scrollingElement.scrollWidth > window.innerWidth,
        };
      });
      view.marks = (await page.evaluate(markers, 'asked')).map((mark) => ({ name: mark.name, under: mark.under[0] }));
      const named = /up to: (.*)\?$/.exec(view.question)[1].split(', ');
      assert.deepEqual(view.marks.map((mark) => mark.name), named.map((dart, i) => `dart ${i + 1}: ${dart}`));
      assert.deepEqual(view.marks.map((mark) => mark.under), named, 'each marker lies in the area it names');
      assert.ok(view.top >= 0 && view.prompt <= view.panel + 1, `question at ${view.top}, prompt to ${view.prompt}, answer line at ${view.panel}`);
      assert.ok(view.board.left >= 0 && view.board.right <= view.width + 0.5 && view.board.bottom <= view.height + 0.5, 'the board on the screen');
      assert.equal(view.sideways, false, 'no sideways scrolling');
      await page.screenshot({ path: screenshot.replace(/\.png$/, `-board-${name.replace(/ /g, '-').toLowerCase()}.png`) });
      let circles = '';
      if (view.width === 360) {
        // The row beside the answer line keeps room for the Progress button.
        const row = await page.evaluate(() => {
          const controls = [...document.querySelectorAll('#line > *')].filter((e) => e.getClientRects().length > 0);
          return {
            answer: document.getElementById('answer').getBoundingClientRect().width,
            right: Math.max(...controls.map((control) => control.getBoundingClientRect().right)),
          };
        });
        assert.ok(row.answer >= 96 && row.right <= 360, `beside Progress: answer line ${row.answer} px, row to ${row.right}`);
        const areas = await page.evaluate(widestcircles);
        assert.equal(areas.length, 82, '82 areas');
        const smallest = areas.reduce((a, b) => (b.across < a.across ? b : a));
        assert.ok(smallest.across >= 24, `${smallest.name} holds ${smallest.across} px`);
        circles =
          `; the smallest area (${smallest.name}) holds a circle ${smallest.across.toFixed(2)} px across; ` +
          `with a Progress button the answer line is ${row.answer.toFixed(0)} px wide`;
      }
      console.log(
        `${name} (${view.width}x${view.height}): ${view.marks.map((m) => `${m.name} in ${m.under}`).join(', ')}; ` +
          `question and prompt in sight, the transcript keeps ${((view.panel / view.height) * 100).toFixed(1)}% of ` +
          `the screen${circles}`,
      );
      assert.deepEqual(page.errors, [], 'no error in the page');
    } finally {
      await context.close();
    }
  });
}

// By taps alone on an iPhone 13: a whole 501 game and a whole final three
// darts game, the board for every dart and the keypad for every number; each
// add-up question's markers lie in their areas; t20d20 takes three taps and
// shows as two diamonds where those darts land; the same bytes as the console.
test('iPhone 13: a 501 game and the final three darts game by taps on the board and the keypad', async () => {
  const second = 1755528000;
  const { context, page } = await openpage(devices['iPhone 13'], pageurl, second);
  try {
    const player = {
      evaluate: (fn, ...args) => page.evaluate(fn, ...args),
      tap: (selector) => page.tap(selector),
      tapat: (x, y) => page.touchscreen.tap(x, y),
    };
    const { typed, questions } = await playbytaps(player, ['2', '5']);
    const lines = await page.evaluate(() => window.quiverly.lines());
    assert.ok(lines.some((line) => line.endsWith('> t20d20')), 'the line sent is t20d20');
    await compare(page, runnative(second, typed.map((entry) => entry.line)), typed);
    console.log(
      `iPhone 13, by taps: a 501 game (${questions} add-up questions, every marker in its area) and the final ` +
        `three darts game, ${typed.length} lines: identical to the native program; t20d20 in three taps`,
    );
    assert.deepEqual(page.errors, [], 'no error in the page');
  } finally {
    await context.close();
  }
});

// The screen stays on while a session runs: a stand-in for the browser's
// wake lock records each request and release. The lock is asked for when the
// session starts and again when the page comes back into sight after the
// browser let it go, and let go after "Bye!"; where the browser refuses it,
// the session plays as ever.
for (const [name, refuses, want] of [
  ['asked for, asked again and let go', false, ['request screen', 'release', 'request screen', 'release']],
  ['refused', true, ['request screen']],
]) {
  test(`the screen wake lock: ${name}`, async () => {
    const second = 1755529000;
    const context = await browser.newContext(devices['Pixel 7']);
    try {
      await context.addInitScript((refuses) => {
        const log = [];
        window.wakelocklog = log;
        const sentinels = [];
        window.wakelocksentinels = sentinels;
        Object.defineProperty(navigator, 'wakeLock', {
          value: {
            request: async (type) => {
              log.push(`request ${type}`);
              if (refuses) throw new DOMException('refused', 'NotAllowedError');
              const sentinel = new EventTarget();
              sentinel.release = async () => {
                log.push('release');
                sentinel.dispatchEvent(new Event('release'));
              };
              sentinels.push(sentinel);
              return sentinel;
            },
          },
        });
      }, refuses);
      const page = await context.newPage();
      await page.clock.setFixedTime(second * 1000);
      await page.goto(pageurl);
      await page.waitForFunction(() => window.quiverly && window.quiverly.waiting());
      if (!refuses) {
        // The browser lets the lock go while the page is hidden; when it
        // is shown again, the page asks anew.
        await page.evaluate(async () => {
          await window.wakelocksentinels[0].release();
          document.dispatchEvent(new Event('visibilitychange'));
        });
      }
      const lines = ['7', 'q'];
      await compare(page, runnative(second, lines), await typelines(page, lines));
      await page.waitForFunction((count) => window.wakelocklog.length >= count, want.length);
      assert.deepEqual(await page.evaluate(() => window.wakelocklog), want);
      console.log(`wake lock ${name}: ${want.join(', ')}`);
    } finally {
      await context.close();
    }
  });
}
