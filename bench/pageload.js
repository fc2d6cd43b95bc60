// The first-text measurement of bench/page.sh: serves the page (BENCH_PAGE, a
// folder) and a static floor page with the same banner from memory on a
// localhost port, gzipped as a web server sends them, and loads each
// BENCH_ROUNDS times, interleaved, in headless Chromium, each load in a fresh
// context, at CPU 1x and 4x. A load's figure is the time from navigation to the
// first frame painted after the banner is in the document. Prints the medians
// and the ratios; exit status 1 when a ratio is above 2.
'use strict';

const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const zlib = require('node:zlib');
const { chromium } = require(path.join(__dirname, '..', 'web', 'node_modules', 'playwright-core'));

const pagedir = process.env.BENCH_PAGE;
const rounds = Number(process.env.BENCH_ROUNDS || 15);
const types = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript',
  '.svg': 'image/svg+xml',
  '.png': 'image/png',
  '.webmanifest': 'application/manifest+json',
};

// The files served, by path: their bytes gzipped once, as a server's cache
// would hold them.
const site = new Map();
function addfile(where, data, type) {
  site.set(where, { data: zlib.gzipSync(data, { level: 9 }), type });
}
for (const name of fs.readdirSync(pagedir)) {
  const type = types[path.extname(name)] || 'application/octet-stream';
  addfile(`/page/${name}`, fs.readFileSync(path.join(pagedir, name)), type);
}
site.set('/page/', site.get('/page/index.html'));

const server = http.createServer((request, response) => {
  const file = site.get(new URL(request.url, 'http://localhost').pathname);
  if (!file) {
    response.writeHead(404).end();
    return;
  }
  response.writeHead(200, { 'content-type': file.type, 'content-encoding': 'gzip', 'cache-control': 'no-store' });
  response.end(file.data);
});
const target = 2;
const marker = '***** Quiverly';

// Runs in the page before its document: once a node with the banner is added
// to the document, waits for the next frame and reports the time just after
// it is painted on the console. Only the added nodes are searched, and never a
// script's text, so that watching costs the page with scripts no more than the
// static one; and the report is read from the console rather than polled,
// which would run the driver's scripts in the page while it loads.
function watchbanner(marker) {
  const shows = (node) =>
    node.nodeType === Node.TEXT_NODE
      ? node.parentNode !== null && node.parentNode.nodeName !== 'SCRIPT' && node.data.includes(marker)
      : node.nodeType === Node.ELEMENT_NODE && node.nodeName !== 'SCRIPT' && node.textContent.includes(marker);
  const observer = new MutationObserver((records) => {
    const found = records.some((record) =>
      record.type === 'characterData' ? shows(record.target) : [...record.addedNodes].some(shows),
    );
    if (!found) return;
    observer.disconnect();
    requestAnimationFrame(() => {
      const channel = new MessageChannel();
      channel.port1.onmessage = () => {
        console.debug(`first text ${performance.now()}`);
      };
      channel.port2.postMessage(0);
    });
  });
  observer.observe(document, { childList: true, subtree: true, characterData: true });
}

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 2)];
}

async function firsttext(browser, url, rate) {
  const context = await browser.newContext({ viewport: { width: 412, height: 839 } });
  try {
    const page = await context.newPage();
    const cdp = await context.newCDPSession(page);
    await cdp.send('Emulation.setCPUThrottlingRate', { rate });
    await page.addInitScript(watchbanner, marker);
    const reported = page.waitForEvent('console', {
      predicate: (message) => message.text().startsWith('first text '),
      timeout: 60000,
    });
    await page.goto(url, { waitUntil: 'commit' });
    return Number((await reported).text().slice('first text '.length));
  } finally {
    await context.close();
  }
}

(async () => {
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const base = `http://127.0.0.1:${server.address().port}`;
  const browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: [
      '--headless',
      '--no-sandbox',
      '--disable-gpu',
      '--disable-background-networking',
      '--disable-component-update',
      '--disable-sync',
      '--no-first-run',
      '--disable-extensions',
    ],
  });
  try {
    // The floor: the banner the page's program prints, as a static page.
    const context = await browser.newContext();
    const page = await context.newPage();
    await page.goto(`${base}/page/`);
    await page.waitForFunction(() => window.quiverly && window.quiverly.waiting());
    const lines = await page.evaluate(() => window.quiverly.lines());
    await context.close();
    const banner = lines.slice(0, lines.findIndex((line) => line.includes('Main menu')));
    if (!banner.some((line) => line.includes(marker))) throw new Error('the page shows no banner');
    const escape = (text) => text.replace(/&/g, '&amp;').replace(/</g, '&lt;');
    addfile(
      '/floor/',
      '<!DOCTYPE html>\n<html lang="en">\n<head>\n<meta charset="utf-8">\n' +
        '<meta name="viewport" content="width=device-width, initial-scale=1">\n<title>Quiverly</title>\n' +
        `</head>\n<body>\n<pre>${escape(banner.join('\n'))}</pre>\n</body>\n</html>\n`,
      types['.html'],
    );

    let missed = false;
    for (const rate of [1, 4]) {
      const times = { floor: [], page: [] };
      for (let round = 0; round < rounds; ++round) {
        const order = round % 2 === 0 ? ['floor', 'page'] : ['page', 'floor'];
        for (const which of order) times[which].push(await firsttext(browser, `${base}/${which}/`, rate));
      }
      const floor = median(times.floor);
      const got = median(times.page);
      const ratio = got / floor;
      if (ratio > target) missed = true;
      console.log(
        `CPU ${rate}x: page ${got.toFixed(0)} ms, floor ${floor.toFixed(0)} ms (medians of ${rounds}): ` +
          `ratio ${ratio.toFixed(2)} (target at most ${target})`,
      );
      console.log(`  page:  ${times.page.map((t) => t.toFixed(0)).join(' ')}`);
      console.log(`  floor: ${times.floor.map((t) => t.toFixed(0)).join(' ')}`);
    }
    process.exitCode = missed ? 1 : 0;
  } finally {
    await browser.close();
    server.close();
  }
})().catch((error) => {
  console.error(error);
  process.exitCode = 1;
});
