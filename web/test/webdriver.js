// A small client of classic WebDriver over HTTP, enough to play the page in
// WebKitGTK's MiniBrowser through WebKitWebDriver: it starts an X server
// (Xvfb) and the driver on free localhost ports of their own, opens one
// browser session and offers what the page's tests do with it.
'use strict';

const { spawn } = require('node:child_process');
const net = require('node:net');

const webkitbrowser = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';

// WebDriver's codes for the keys that are not characters.
const keycodes = { Enter: '\uE007', Backspace: '\uE003', Tab: '\uE004' };

function freeport() {
  return new Promise((resolve, reject) => {
    const server = net.createServer();
    server.on('error', reject);
    server.listen(0, '127.0.0.1', () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
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

function stop(child) {
  return new Promise((resolve) => {
    if (child.exitCode !== null || child.signalCode !== null) {
      resolve();
      return;
    }
    child.removeAllListeners('exit');
    child.once('exit', () => resolve());
    child.kill();
  });
}

async function request(base, method, where, body) {
  const response = await fetch(base + where, {
    method,
    headers: { 'content-type': 'application/json' },
    body: body === undefined ? undefined : JSON.stringify(body),
  });
  const answer = await response.json();
  if (!response.ok) throw new Error(`${method} ${where}: ${JSON.stringify(answer.value)}`);
  return answer.value;
}

// Starts Xvfb, WebKitWebDriver and MiniBrowser. home is the browser's home
// folder, where it saves downloads.
async function startwebkit(home) {
  const xvfb = await startxvfb();
  const port = await freeport();
  const base = `http://127.0.0.1:${port}`;
  let log = '';
  const driver = spawn('WebKitWebDriver', [`--port=${port}`], {
    stdio: ['ignore', 'pipe', 'pipe'],
    env: { ...process.env, DISPLAY: xvfb.display, HOME: home },
  });
  driver.stdout.on('data', (data) => (log += data));
  driver.stderr.on('data', (data) => (log += data));
  const stopall = async () => {
    await stop(driver);
    await stop(xvfb.process);
  };
  try {
    for (let tries = 0; ; ++tries) {
      try {
        if ((await request(base, 'GET', '/status')).ready) break;
      } catch (error) {
        if (tries >= 100) throw new Error(`WebKitWebDriver did not start: ${error.message}\n${log}`);
      }
      await new Promise((resolve) => setTimeout(resolve, 100));
    }
    const started = await request(base, 'POST', '/session', {
      capabilities: {
        alwaysMatch: {
          browserName: 'MiniBrowser',
          'webkitgtk:browserOptions': { binary: webkitbrowser, args: ['--automation'] },
        },
      },
    });
    return new WebDriverSession(base, started.sessionId, started.capabilities, stopall);
  } catch (error) {
    await stopall();
    throw error;
  }
}

class WebDriverSession {
  constructor(base, id, capabilities, stopall) {
    this.base = base;
    this.at = `/session/${id}`;
    this.capabilities = capabilities;
    this.stopall = stopall;
  }

  send(method, where, body) {
    return request(this.base, method, this.at + where, body);
  }

  version() {
    return this.capabilities.browserVersion;
  }

  goto(url) {
    return this.send('POST', '/url', { url });
  }

  // Runs a function in the page with the arguments given, and returns its
  // result (a promise's, once it settles); a failure in the page throws here.
  async evaluate(fn, ...args) {
    const { value, error } = await this.send('POST', '/execute/async', {
      script: `const done = arguments[arguments.length - 1];
        new Promise((resolve) => resolve((${fn}).apply(null, [...arguments].slice(0, -1))))
          .then((value) => done({ value }), (error) => done({ error: String(error) }));`,
      args,
    });
    if (error !== undefined) throw new Error(`in the page: ${error}`);
    return value;
  }

  // Types the text on the keyboard, into whatever has its focus; keys named
  // in keycodes are pressed by their names.
  async type(text) {
    const keys = [...text].flatMap((key) => [
      { type: 'keyDown', value: key },
      { type: 'keyUp', value: key },
    ]);
    await this.send('POST', '/actions', { actions: [{ type: 'key', id: 'keyboard', actions: keys }] });
  }

  press(name) {
    return this.type(keycodes[name]);
  }

  async click(selector) {
    const element = await this.send('POST', '/element', { using: 'css selector', value: selector });
    await this.send('POST', `/element/${Object.values(element)[0]}/click`, {});
  }

  async screenshot(file) {
    require('node:fs').writeFileSync(file, Buffer.from(await this.send('GET', '/screenshot'), 'base64'));
  }

  async close() {
    try {
      await this.send('DELETE', '');
    } finally {
      await this.stopall();
    }
  }
}

module.exports = { startwebkit };
