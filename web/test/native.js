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

// ---- Playing by taps on the dartboard and the keypad

// What each dart scores, as the program names it, and how a finish is found:
// the fewest darts, the last a double or the bullseye (an independent search,
// not the program's table).
const darts = [
  ...Array.from({ length: 20 }, (_, i) => i + 1).flatMap((n) => [
    [`single ${n}`, n],
    [`double ${n}`, 2 * n],
    [`treble ${n}`, 3 * n],
  ]),
  ['outer bullseye', 25],
  ['bullseye', 50],
];
const score = new Map(darts);
function finishing(total) {
  const none = [null, 0];
  const ends = darts.filter(([name]) => name.startsWith('double') || name === 'bullseye');
  for (const [first, a] of [none, ...darts]) {
    for (const [second, b] of [none, ...darts]) {
      const last = ends.find(([, c]) => a + b + c === total);
      if (last && (first === null || second !== null)) return [first, second, last[0]].filter((name) => name);
    }
  }
  throw new Error(`no finish of ${total}`);
}
// A dart in the short form the program reads.
const short = (name) => ({ bullseye: 'b', 'outer bullseye': 'o' })[name] ?? name[0] + name.split(' ')[1];

// Runs in the page: a point well inside the board's area of that name (the
// first of two singles), the grid point of the area's box farthest from any
// point where something else is hit.
function areapoint(name) {
  const area = document.querySelector(`#board [aria-label="${name}"]`);
  const box = area.getBoundingClientRect();
  const grid = [];
  for (let i = 0; i <= 16; ++i) {
    for (let j = 0; j <= 16; ++j) {
      const x = box.left + (box.width * i) / 16;
      const y = box.top + (box.height * j) / 16;
      grid.push({ x, y, hit: i > 0 && j > 0 && i < 16 && j < 16 && document.elementFromPoint(x, y) === area });
    }
  }
  const misses = grid.filter((point) => !point.hit);
  const room = (point) => Math.min(...misses.map((miss) => Math.hypot(miss.x - point.x, miss.y - point.y)));
  const best = grid.filter((point) => point.hit).sort((a, b) => room(b) - room(a))[0];
  return { x: best.x, y: best.y };
}

// Runs in the page: each marker of a kind ('asked' or 'typed') with its name
// and the names of the areas under its middle, top first.
function markers(kind) {
  return [...document.querySelectorAll(`#board .mark.${kind}`)].map((mark) => {
    const box = mark.getBoundingClientRect();
    const under = document.elementsFromPoint(box.left + box.width / 2, box.top + box.height / 2);
    return {
      name: mark.getAttribute('aria-label'),
      under: under.filter((element) => element.dataset.dart).map((element) => element.getAttribute('aria-label')),
    };
  });
}

// Plays the activities of menu (each a menu line) to their ends by taps on
// the dartboard and the keypad alone, answering every question right; once in
// the final three darts game it first sends t20d20 by three taps. Each add-up
// question's markers must lie in the areas of the darts it names, and
// t20d20's where those two darts land. player offers evaluate(fn, ...args),
// tap(selector) and tapat(x, y). Returns where each line was sent and how
// many add-up questions were asked.
async function playbytaps(player, menu) {
  const typed = [];
  let questions = 0;
  const shown = (selector) => player.evaluate((s) => document.querySelector(s).getClientRects().length > 0, selector);
  const waitforread = async () => {
    for (let tries = 0; tries < 400; ++tries) {
      if (await player.evaluate(() => window.quiverly.waiting() || window.quiverly.status() !== null)) return;
      await new Promise((resolve) => setTimeout(resolve, 25));
    }
    throw new Error('waited ten seconds for the program to read');
  };
  // The switch brings the keypad or the board (where neither stood, the
  // board comes first).
  const bring = async (selector) => {
    for (let presses = 0; presses < 2 && !(await shown(selector)); ++presses) await player.tap('#padtoggle');
  };
  const tapkeys = async (keys) => {
    await bring('#keypad');
    for (const key of keys) await player.tap(`[data-key="${key}"]`);
  };
  const tapdarts = async (names) => {
    await bring('#board');
    for (const name of names) {
      const { x, y } = await player.evaluate(areapoint, name);
      await player.tapat(x, y);
    }
  };
  const send = async (line, tap) => {
    typed.push({ at: await player.evaluate(() => window.quiverly.output().length), line });
    await tap();
    const composed = await player.evaluate(() => document.getElementById('answer').value);
    assert.equal(composed, line, 'the answer line holds what was tapped');
    if (await shown('#board .enter')) await player.tap('#board .enter');
    else await tapkeys(['enter']);
    await waitforread();
  };
  const plan = [...menu, 'q'];
  let from = 0;
  let triedt20d20 = false;
  await waitforread();
  while ((await player.evaluate(() => window.quiverly.status())) === null) {
    const output = Buffer.from(await player.evaluate(() => window.quiverly.output()));
    const response = output.subarray(from).toString('utf8');
    const asked = from;
    from = output.length;
    let found;
    if ((found = /What do these add up to: ([^?\n]*)\?/.exec(response))) {
      const names = found[1].split(', ');
      const marks = await player.evaluate(markers, 'asked');
      assert.deepEqual(marks.map((mark) => mark.name), names.map((dart, i) => `dart ${i + 1}: ${dart}`));
      assert.deepEqual(marks.map((mark) => mark.under[0]), names, 'each marker lies in its area');
      questions += 1;
      const total = String(names.reduce((sum, name) => sum + score.get(name), 0));
      await send(total, () => tapkeys([...total]));
    } else if ((found = /What is that \((\d+)\) subtracted from (\d+)\?/.exec(response))) {
      const left = String(Number(found[2]) - Number(found[1]));
      await send(left, () => tapkeys([...left]));
    } else if ((found = /have (\d+) left( to finish)?\b/.exec(response))) {
      // The first question of the drill is answered t20d20 first, and again
      // rightly if that was wrong.
      const first = found[2] !== undefined && !triedt20d20;
      const names = first ? ['treble 20', 'double 20'] : finishing(Number(found[1]));
      await send(names.map(short).join(''), async () => {
        await tapdarts(names);
        if (!first) return;
        const line = await player.evaluate(() => document.getElementById('answer').value);
        assert.equal(line, 't20d20', 'treble 20 and double 20 tapped make t20d20');
        const landed = (await player.evaluate(markers, 'typed')).map((mark) => mark.under[0]);
        assert.deepEqual(landed, ['treble 20', 'double 20'], 'shown where they land');
      });
      if (first && found[1] !== '100') from = asked;
      if (first) triedt20d20 = true;
    } else if (/Do you want to play again\? y\/n/.test(response)) {
      await send('n', () => tapkeys(['n']));
    } else if (/Main menu/.test(response)) {
      const line = plan.shift();
      await send(line, () => tapkeys([line]));
    } else {
      throw new Error(`no question to answer in ${JSON.stringify(response.slice(-200))}`);
    }
  }
  return { typed, questions };
}

module.exports = {
  env,
  chromiumflags,
  edited,
  runnative,
  difference,
  trimlines,
  compareplay,
  comparelist,
  score,
  markers,
  playbytaps,
};
