// Audits the page served over HTTP in headless Chromium: Lighthouse's mobile
// audit (its default settings, the keypad shown), its desktop audit (the
// board beside the keypad) and its mobile audit of the page opened on its
// progress view must score 100 in performance, accessibility, best practices
// and SEO; axe-core must find no violation on the page as a desktop and a
// phone show it, with the keypad, with the board and a question's darts on
// it, with the progress view open on a result, after a session with a list
// and at its end; and Chromium must find the page installable. Both audits
// run here, without a network.
// web/test/run.sh runs it (see native.js).
'use strict';

const { test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const { spawn } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');
const { chromium, devices } = require('playwright-core');
const { env, chromiumflags } = require('./native.js');

const pageurl = env('QUIVERLY_PAGE_URL');
const scratch = env('QUIVERLY_SCRATCH');

// A Chromium that Lighthouse drives through its debugging port, which it names
// on its standard error once it listens.
function startchromium() {
  const profile = fs.mkdtempSync(path.join(scratch, 'lighthouse-'));
  return new Promise((resolve, reject) => {
    const browser = spawn(
      '/usr/bin/chromium',
      [...chromiumflags, '--remote-debugging-port=0', `--user-data-dir=${profile}`, 'about:blank'],
      { stdio: ['ignore', 'ignore', 'pipe'] },
    );
    let said = '';
    browser.on('error', reject);
    browser.on('exit', (code) => reject(new Error(`Chromium ended with status ${code}: ${said}`)));
    browser.stderr.on('data', (data) => {
      said += data;
      const listening = /DevTools listening on ws:\/\/[^:]+:(\d+)\//.exec(said);
      if (listening) {
        browser.removeAllListeners('exit');
        resolve({ process: browser, port: Number(listening[1]) });
      }
    });
  });
}

// The audits that count in a category's score and did not score full marks,
// with their scores.
function lostin(lhr, category) {
  return category.auditRefs
    .filter((ref) => ref.weight > 0)
    .map((ref) => lhr.audits[ref.id])
    .filter((audit) => audit.score !== null && audit.score < 1)
    .map((audit) => `${audit.id} ${audit.displayValue ?? ''} (${audit.score})`);
}

// Accessibility, best practices and SEO score the page alone, and must score
// 100 each time. Performance is timed on a machine that others share, where a
// busy core adds blocking time to a load: a load that scores 100 in all four
// categories passes, out of three at most, and a change that costs a point
// costs it in every load.
for (const [formfactor, view] of [
  ['mobile', ''],
  ['desktop', ''],
  ['mobile', '#progress'],
]) test(`Lighthouse scores 100 in every category (${formfactor}${view})`, async () => {
  const { default: lighthouse } = await import('lighthouse');
  const config = formfactor === 'desktop' ? (await import('lighthouse/core/config/desktop-config.js')).default : undefined;
  const browser = await startchromium();
  try {
    let passed = false;
    for (let run = 1; run <= 3 && !passed; ++run) {
      const { lhr } = await lighthouse(`${pageurl}${view}`, {
        port: browser.port,
        logLevel: 'error',
        onlyCategories: ['performance', 'accessibility', 'best-practices', 'seo'],
      }, config);
      for (const warning of lhr.runWarnings) console.log(`  Lighthouse warns: ${warning}`);
      const categories = Object.values(lhr.categories);
      const scores = categories.map((category) => `${category.title} ${Math.round(category.score * 100)}`);
      const settings = `${lhr.lighthouseVersion} (${lhr.configSettings.formFactor})`;
      const opened = view ? ' with the progress view open' : '';
      console.log(`Lighthouse ${settings}, load ${run}${opened}: ${scores.join(', ')}`);
      for (const category of categories) {
        if (category.id === 'performance') continue;
        assert.equal(category.score, 1, `${category.title}: lost in ${lostin(lhr, category).join(', ')}`);
      }
      const performance = lhr.categories.performance;
      if (performance.score === 1) passed = true;
      else console.log(`  performance lost in ${lostin(lhr, performance).join(', ')}`);
    }
    assert.ok(passed, 'a load scores 100 in performance');
  } finally {
    await new Promise((resolve) => {
      browser.process.once('exit', resolve);
      browser.process.kill();
    });
  }
});

let browser;

before(async () => {
  browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: chromiumflags });
});

after(async () => {
  if (browser) await browser.close();
});

// The violations axe-core finds in the page as it stands, each with the
// elements it names.
async function axeviolations(page) {
  await page.addScriptTag({ path: require.resolve('axe-core') });
  const { violations, passes } = await page.evaluate(() => window.axe.run(document));
  return {
    violations: violations.map((rule) => `${rule.id}: ${rule.nodes.map((node) => node.target.join(' ')).join(', ')}`),
    passes: passes.length,
  };
}

async function waitforread(page) {
  await page.waitForFunction(() => window.quiverly && (window.quiverly.waiting() || window.quiverly.status() !== null));
}

test('axe-core finds no violation', async () => {
  const found = [];
  let checks = 0;
  for (const [name, options] of [
    ['desktop', { viewport: { width: 1280, height: 800 } }],
    ['iPhone 13', devices['iPhone 13']],
  ]) {
    const context = await browser.newContext({ ...options, acceptDownloads: true });
    try {
      const page = await context.newPage();
      await page.goto(pageurl);
      await waitforread(page);
      const look = async (state) => {
        const { violations, passes } = await axeviolations(page);
        found.push(...violations.map((violation) => `${name}, ${state}: ${violation}`));
        checks += 1;
        return passes;
      };
      await look('at the menu');
      const send = async (line) => {
        await page.fill('#answer', line);
        await page.press('#answer', 'Enter');
        await waitforread(page);
      };
      // A 501 game's first question, its darts on the board.
      await send('2');
      assert.ok(await page.locator('#board .mark').first().isVisible(), 'the board shows the darts');
      await look('with the board at an add-up question');
      // A result in the progress view.
      for (const line of ['q', '4', '4', 'q']) await send(line);
      await page.click('#progresstoggle');
      await page.locator('#progress svg').first().waitFor();
      await look('with the progress view open');
      await page.click('#progress >> text=Back');
      // A list saved and offered, then the end with its offer of a new
      // session.
      for (const line of ['s', '20at', 'q', 'q']) await send(line);
      await page.locator('#ending').waitFor({ state: 'visible' });
      const passes = await look('at the end, with a list');
      if (name === 'desktop') console.log(`axe-core ${require('axe-core/package.json').version}: ${passes} rules pass`);
    } finally {
      await context.close();
    }
  }
  console.log(`axe-core: ${found.length} violations in ${checks} views of the page`);
  assert.deepEqual(found, [], 'no violation');
});

// Installing needs a profile of its own: a new context is a private window.
test('Chromium finds the page installable', async () => {
  const profile = fs.mkdtempSync(path.join(scratch, 'install-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium',
    args: chromiumflags,
  });
  try {
    const page = await context.newPage();
    await page.goto(pageurl);
    await page.evaluate(() => navigator.serviceWorker.ready);
    const cdp = await context.newCDPSession(page);
    const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
    console.log(`Chromium ${browser.version()}: ${installabilityErrors.length} installability errors`);
    assert.deepEqual(installabilityErrors, [], 'no installability error');
    const { errors } = await cdp.send('Page.getAppManifest');
    assert.deepEqual(errors, [], 'no error in the manifest');
  } finally {
    await context.close();
  }
});
