// The release's page as a site serves it: its zip unpacked into a subfolder of
// the site (QUIVERLY_PAGE_PATH under QUIVERLY_SITE), served here. In headless
// Chromium it plays a session byte for byte as the native program does, asks
// the site for nothing outside its folder, keeps its service worker, start
// and scope to that folder, and after one visit plays offline.
// tools/release.sh --check runs it; native.js runs the native program.
'use strict';

const { test } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const { chromium } = require('playwright-core');
const { env, chromiumflags, runnative, difference } = require('./native.js');

const site = env('QUIVERLY_SITE');
const folder = env('QUIVERLY_PAGE_PATH');

const types = {
  '.html': 'text/html',
  '.js': 'text/javascript',
  '.css': 'text/css',
  '.svg': 'image/svg+xml',
  '.png': 'image/png',
  '.webmanifest': 'application/manifest+json',
};

// Sends each line to the answer line and waits until the program waits for
// the next or has ended; then holds its output to the native program's.
async function play(page, second, lines) {
  const expected = runnative(second, lines);
  for (const line of lines) {
    await page.fill('#answer', line);
    await page.press('#answer', 'Enter');
    await page.waitForFunction(() => window.quiverly.waiting() || window.quiverly.status() !== null);
  }
  const output = Buffer.from(await page.evaluate(() => window.quiverly.output()));
  assert.ok(output.equals(expected.output), difference(output, expected.output));
  return output.length;
}

test('the page from a subfolder of a site, online and offline', async () => {
  const requested = [];
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    requested.push(name);
    const file = path.join(site, name.endsWith('/') ? `${name}index.html` : name);
    if (!file.startsWith(site) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'content-type': types[path.extname(file)] || 'application/octet-stream' });
    response.end(fs.readFileSync(file));
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const url = `http://127.0.0.1:${server.address().port}${folder}`;
  const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: chromiumflags });
  try {
    const context = await browser.newContext();
    const page = await context.newPage();
    const errors = [];
    page.on('pageerror', (error) => errors.push(String(error)));
    const second = 1755530000;
    await page.clock.setFixedTime(second * 1000);
    await page.goto(url);
    await page.waitForFunction(() => window.quiverly && window.quiverly.waiting());
    const online = await play(page, second, ['c', '170', 'a60', 'q', 'q']);

    const worker = await page.evaluate(async () => (await navigator.serviceWorker.ready).scope);
    assert.equal(worker, url, 'the service worker keeps to the page’s folder');
    const manifest = await page.evaluate(async () => {
      const link = document.querySelector('link[rel="manifest"]').href;
      const { start_url: start, scope } = await (await fetch(link)).json();
      return { start: new URL(start, link).href, scope: new URL(scope, link).href };
    });
    assert.deepEqual(manifest, { start: url, scope: url }, 'the manifest starts and keeps to the page’s folder');

    await context.setOffline(true);
    await page.reload();
    await page.waitForFunction(() => window.quiverly && window.quiverly.waiting());
    const offline = await play(page, second, ['7', 'q']);
    assert.deepEqual(errors, [], 'no error in the page');
    const outside = requested.filter((name) => !name.startsWith(folder));
    assert.deepEqual(outside, [], 'nothing asked for outside the page’s folder');
    console.log(
      `Chromium ${browser.version()}, the page at ${folder} of a site: a calculator session of ${online} bytes ` +
        `and, offline after the visit, a menu session of ${offline} bytes, identical with the native program; ` +
        `${requested.length} requests, all inside ${folder}`,
    );
    await context.close();
  } finally {
    await browser.close();
    server.closeAllConnections();
    server.close();
  }
});
