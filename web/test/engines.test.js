// Plays the page in the two browser engines besides Chromium's: WebKit, the
// engine of every browser on an iPhone (WebKitGTK's MiniBrowser under Xvfb,
// driven by WebKitWebDriver through selenium-webdriver over classic
// WebDriver), and Gecko (Firefox ESR, driven by puppeteer-core over WebDriver
// BiDi). In each, a whole session typed on the keyboard must write the native
// program's bytes and show its dialogue, the score list it saves must arrive
// as a download with the native file's bytes, and the answer line must have
// the keyboard after the page loads, after the download and in a new session,
// which is played with the mouse on the dart keypad and must find the list as
// a second native run does; then a whole 501 game and a final three darts game
// are played by clicks on the dartboard and the keypad alone (WebKit with room
// for both beside the transcript, Firefox in a phone's width), every add-up
// question's darts inside their areas, with the native program's bytes; and a
// result the progress view keeps must be there after a reload.
// web/test/run.sh runs it (see native.js).
'use strict';

const { test } = require('node:test');
const assert = require('node:assert/strict');
const { spawn } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');
const puppeteer = require('puppeteer-core');
const { Builder, By, Key, Origin } = require('selenium-webdriver');
const { DriverService } = require('selenium-webdriver/remote');
const { findFreePort } = require('selenium-webdriver/net/portprober');
const { env, runnative, compareplay, comparelist, playbytaps } = require('./native.js');

const pageurl = env('QUIVERLY_PAGE_URL');
const scratch = env('QUIVERLY_SCRATCH');
const screenshot = env('QUIVERLY_SCREENSHOT');

// The calculator with its longest list, the export menu with a list saved and
// refused, its help, and the score. Nothing in it is drawn at random, so the
// engines play it at the clock's own time.
const session = {
  lines: ['c', '170', 'a60', 'q', 's', '20dt', '20dt', '?', 'q', '7', 'q'],
  list: { name: 'darts-score020-doubles.txt', line: 5 },
  again: ['s', '20dt', 'q', 'q'],
};

const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Waits until check() gives a value that is not false, for at most ten
// seconds, and returns it.
async function waitfor(check, what) {
  for (let tries = 0; tries < 200; ++tries) {
    const value = await check();
    if (value !== false) return value;
    await pause(50);
  }
  throw new Error(`waited ten seconds for ${what}`);
}

// Where the keyboard's focus is: the page's focused element, and whether the
// page has the window's.
function focus(player) {
  return player.evaluate(() => ({ element: document.activeElement.id, page: document.hasFocus() }));
}

function waitforread(player) {
  return waitfor(
    () => player.evaluate(() => !!window.quiverly && (window.quiverly.waiting() || window.quiverly.status() !== null)),
    'the program to read',
  );
}

// The bytes of a file the browser saves in folder, once it is whole.
async function waitforfile(folder, name) {
  const file = path.join(folder, name);
  return waitfor(() => {
    const names = fs.readdirSync(folder);
    return names.includes(name) && !names.some((other) => other.startsWith(name) && other !== name)
      ? fs.readFileSync(file)
      : false;
  }, `${name} in ${folder}`);
}

// Sends a line from the keyboard: its keys, then Enter.
async function typeline(player, line) {
  await player.type(line);
  await player.press('Enter');
}

// Sends a line with the mouse on the dart keypad: its keys, then Enter. The
// answer line keeps the keyboard's focus.
async function clickline(player, line) {
  for (const key of line) await player.click(`[data-key="${key}"]`);
  assert.equal((await focus(player)).element, 'answer', 'the answer line keeps the focus');
  await player.click('[data-key="enter"]');
}

// Sends each line with send(player, line) once the program waits for it;
// returns where in the output each line was sent. afterline(index) runs after
// each.
async function typelines(player, lines, afterline = async () => {}, send = typeline) {
  const typed = [];
  for (const [index, line] of lines.entries()) {
    await waitforread(player);
    typed.push({ at: await player.evaluate(() => window.quiverly.output().length), line });
    await send(player, line);
    await afterline(index);
  }
  await waitfor(() => player.evaluate(() => window.quiverly.status() !== null), 'the program to end');
  assert.equal(await player.evaluate(() => window.quiverly.status()), 0, 'exit status');
  return typed;
}

async function played(player) {
  const { output, lines } = await player.evaluate(() => ({
    output: window.quiverly.output(),
    lines: window.quiverly.lines(),
  }));
  return { output: Buffer.from(output), lines };
}

// Subtractions left with q at its first question, then a reload: the
// progress view holds the result under the device's day, after the two games
// played by clicks before it.
async function progresskept(player) {
  const ready = () =>
    waitfor(() => player.evaluate(() => document.getElementById('progress') !== null), 'the progress view');
  await player.goto(pageurl);
  await ready();
  await player.click('#answer');
  await typelines(player, ['4', 'q', 'q']);
  await player.goto(pageurl);
  await ready();
  await player.click('#progresstoggle');
  const tables = await player.evaluate(() =>
    Array.from(document.querySelectorAll('#progress table'), (table) => [
      document.getElementById(table.getAttribute('aria-labelledby')).textContent,
      ...Array.from(table.rows, (row) => Array.from(row.cells, (cell) => cell.textContent).join(' ')),
    ]),
  );
  const now = new Date();
  const today = [now.getFullYear(), now.getMonth() + 1, now.getDate()].map((n) => String(n).padStart(2, '0')).join('-');
  assert.deepEqual(tables.map((table) => table[0]), ['501 game', 'Final three darts', 'Subtractions'], 'the activities kept');
  assert.deepEqual(tables[2], ['Subtractions', 'Date Asked Correct', `${today} 1 0`], 'the progress view after a reload');
}

// Plays the session in a browser (player) that saves its downloads in
// downloads, and returns the line that reports it.
async function playsession(engine, player, downloads) {
  const expected = runnative(Math.floor(Date.now() / 1000), session.lines);
  await player.goto(pageurl);
  await waitforread(player);
  // After the first line the answer line has the keyboard; a click on the
  // transcript takes it away, and the next line goes to the answer line all
  // the same. After the line that saves the list, once it is downloaded, the
  // answer line has the keyboard again.
  let tookback = false;
  const typed = await typelines(player, session.lines, async (index) => {
    if (index === session.list.line) await waitforfile(downloads, session.list.name);
    if (index === 0 || index === session.list.line) {
      const where = await waitfor(async () => {
        const now = await focus(player);
        return now.element === 'answer' ? now : false;
      }, 'the answer line to have the focus');
      if (index === 0) {
        assert.equal(where.page, true, 'the page has the keyboard after load');
        await player.click('#transcript');
        assert.equal((await focus(player)).element, '', 'no element has the focus');
      }
      if (index === session.list.line && !where.page) {
        // Firefox's downloads panel takes the window's keyboard as the list
        // arrives, leaving the answer line the page's focused element; once
        // the page has the keyboard back, the answer line has it.
        assert.ok(player.activate, 'the page keeps the keyboard after a download');
        await player.activate();
        assert.deepEqual(await focus(player), { element: 'answer', page: true }, 'the answer line has it back');
        tookback = true;
      }
    }
    if (index === 2) await player.screenshot(screenshot.replace(/\.png$/, `-${engine.toLowerCase()}.png`));
  });
  const list = await waitforfile(downloads, session.list.name);
  const { output, lines } = await played(player);
  compareplay({ output, lines }, expected, typed);
  comparelist(list, expected, session.list.name);

  // A new session has the keyboard in its answer line, finds the list, and
  // is played on the dart keypad.
  await waitfor(
    () => player.evaluate(() => !document.getElementById('ending').hidden),
    'the offer of a new session',
  );
  await player.click('#restart');
  assert.equal((await focus(player)).element, 'answer', 'the answer line has the focus in a new session');
  for (let presses = 0; presses < 2 && !(await player.evaluate(() => !document.getElementById('keypad').hidden)); ++presses) {
    await player.click('#padtoggle');
  }
  const picture = screenshot.replace(/\.png$/, `-${engine.toLowerCase()}-keypad.png`);
  const retyped = await typelines(player, session.again, (index) => index === 0 && player.screenshot(picture), clickline);
  compareplay(await played(player), runnative(Math.floor(Date.now() / 1000), session.again, expected.folder), retyped);
  const saved = fs.readdirSync(downloads).filter((name) => !name.startsWith('.'));
  assert.deepEqual(saved, [session.list.name], 'no second download');

  // A 501 game and the final three darts game by clicks alone, at a second
  // the page's clock is held to, as the native program's is.
  await waitfor(() => player.evaluate(() => !document.getElementById('ending').hidden), 'the end');
  const second = 1755530000;
  await player.evaluate((ms) => {
    Date.now = () => ms;
  }, second * 1000);
  if (player.beforetaps) await player.beforetaps();
  await player.click('#restart');
  const { typed: tapped, questions } = await playbytaps(player, ['2', '5']);
  const native = runnative(second, tapped.map((entry) => entry.line), expected.folder);
  const byclicks = await played(player);
  compareplay(byclicks, native, tapped);
  await progresskept(player);
  return (
    `${engine} ${player.version()}: page ${output.length} bytes, native ${expected.output.length} bytes: identical; ` +
    `downloaded ${session.list.name} (${list.length} bytes): identical to the native file; ` +
    `the answer line has the keyboard after load, after the download` +
    `${tookback ? ' (once the downloads panel gives it back)' : ''} and in a new session, played on the keypad; ` +
    `by clicks on the board and the keypad (${player.size()}): a 501 game (${questions} add-up questions, every ` +
    `marker in its area) and the final three darts game, ${byclicks.output.length} bytes: identical; t20d20 in three clicks; ` +
    'the progress view keeps a result across a reload'
  );
}

// An X server on the first free display, which it names on a pipe once it
// accepts clients.
function startxvfb() {
  return new Promise((resolve, reject) => {
    const xvfb = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '1280x1024x24', '-nolisten', 'tcp'], {
      stdio: ['ignore', 'ignore', 'pipe', 'pipe'],
    });
    let named = '';
    let errors = '';
    xvfb.stderr.on('data', (data) => (errors += data));
    xvfb.on('error', reject);
    xvfb.on('exit', (code) => reject(new Error(`Xvfb ended with status ${code}: ${errors}`)));
    xvfb.stdio[3].on('data', (data) => {
      named += data;
      if (named.includes('\n')) resolve({ process: xvfb, display: `:${named.trim()}` });
    });
  });
}

test('WebKit: a whole session, its download, the focus, and two games by clicks, the progress kept', async () => {
  const home = fs.mkdtempSync(path.join(scratch, 'webkit-'));
  const xvfb = await startxvfb();
  const port = await findFreePort();
  const service = new DriverService('/usr/bin/WebKitWebDriver', {
    port,
    args: [`--port=${port}`],
    loopback: true,
    env: { ...process.env, DISPLAY: xvfb.display, HOME: home },
  });
  let driver = null;
  try {
    driver = await new Builder()
      .usingServer(await service.start(10000))
      .withCapabilities({
        browserName: 'MiniBrowser',
        'webkitgtk:browserOptions': {
          binary: '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser',
          args: ['--automation'],
        },
      })
      .build();
    await driver.manage().window().setRect({ x: 0, y: 0, width: 1280, height: 960 });
    const version = (await driver.getCapabilities()).get('browserVersion');
    const keys = { Enter: Key.ENTER };
    const player = {
      version: () => version,
      size: () => 'the board beside the keypad',
      goto: (url) => driver.get(url),
      evaluate: (fn, ...args) => driver.executeScript(`return (${fn}).apply(null, arguments)`, ...args),
      type: (text) => driver.actions().sendKeys(text).perform(),
      press: (name) => driver.actions().sendKeys(keys[name]).perform(),
      click: (selector) => driver.findElement(By.css(selector)).click(),
      tap: (selector) => driver.findElement(By.css(selector)).click(),
      tapat: (x, y) => driver.actions().move({ x: Math.round(x), y: Math.round(y), origin: Origin.VIEWPORT }).click().perform(),
      screenshot: async (file) => fs.writeFileSync(file, await driver.takeScreenshot(), 'base64'),
    };
    console.log(await playsession('WebKit', player, home));
  } finally {
    if (driver) await driver.quit();
    await service.kill();
    xvfb.process.removeAllListeners('exit');
    xvfb.process.kill();
  }
});

test('Firefox: a whole session, its download, the focus, and two games by clicks, the progress kept', async () => {
  const downloads = fs.mkdtempSync(path.join(scratch, 'firefox-'));
  const browser = await puppeteer.launch({
    browser: 'firefox',
    executablePath: '/usr/bin/firefox-esr',
    headless: true,
    extraPrefsFirefox: {
      'browser.download.dir': downloads,
      'browser.download.folderList': 2,
      'browser.download.useDownloadDir': true,
    },
  });
  try {
    const page = await browser.newPage();
    const errors = [];
    page.on('pageerror', (error) => errors.push(String(error)));
    const version = (await browser.version()).replace(/^firefox\//, '');
    const player = {
      version: () => `ESR ${version}`,
      goto: (url) => page.goto(url),
      evaluate: (fn, ...args) => page.evaluate(fn, ...args),
      type: (text) => page.keyboard.type(text),
      press: (name) => page.keyboard.press(name),
      click: (selector) => page.click(selector),
      tap: (selector) => page.click(selector),
      tapat: (x, y) => page.mouse.click(x, y),
      // The clicks on the board are made in a phone's width, where the board
      // stands in for the keypad at the questions that take darts.
      size: () => "a phone's width, 390x664",
      beforetaps: () => page.setViewport({ width: 390, height: 664 }),
      // The page gets the window's keyboard back when the player comes back
      // to it from another tab.
      activate: async () => {
        const other = await browser.newPage();
        await other.close();
        await page.bringToFront();
      },
      screenshot: (file) => page.screenshot({ path: file }),
    };
    console.log(await playsession('Firefox', player, downloads));
    assert.deepEqual(errors, [], 'no error in the page');
  } finally {
    await browser.close();
  }
});
