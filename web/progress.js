// The progress record and its view. Each result an activity reports (its
// score at the end, or the score so far when the player leaves with q) is kept
// on this device with the day and the activity. The view, opened by the
// Progress button beside the answer line or by an address ending in
// #progress, draws for each activity the share answered correctly and the
// questions of each of its last 30 days of play, over a table of the same
// figures, and offers Export (quiverly-progress.csv) and Clear. It takes the
// program's output and the start of each session ('quiverly:output' and
// 'quiverly:session' on document) and nothing else of the page; the page
// loads it after its first text. Its style is progress.css, which the build
// writes into it.
//
// The record is the player's: localStorage "quiverly-progress" holds the JSON
// {"version": 1, "results": [[date, activity, asked, correct], ...]}, one
// entry per result in the order played: the device's local day "YYYY-MM-DD",
// the activity's name (as in openings below), the questions asked (from 1)
// and those answered correctly (0 to asked). A record this page cannot read,
// another version's or a damaged one, is set aside whole, as it stands, under
// "quiverly-progress-set-aside", which the view names and Export offers, and a
// new record begins. Where storage is refused or full, the results stay in
// the page until it closes, and Export still has them.
'use strict';

(function () {
  const key = 'quiverly-progress';
  const asidekey = `${key}-set-aside`;
  const version = 1;
  const days = 30;

  // Each activity's opening line and its name in the record; the main menu
  // ends it. Lines are read without their indent and a prompt before them.
  const openings = [
    [/^Full (\d+) darts game\.$/, '$1 game'],
    [/^Subtraction game$/, 'Subtractions'],
    [/^Final three darts game\..*/, 'Final three darts'],
    [/^to reach exactly 101\..*/, 'Exactly 101'],
    [/^Main menu:.*/, ''],
  ];
  // The lines that report a result, with those correct and those asked: a
  // score alone (leaving with q) or after a game's closing words, and Final
  // three darts' count.
  const reports = [
    /^(?:You have [^.]*\. )?You scored (\d+) out of (\d+)\.$/,
    /^You have answered (\d+) out of (\d+) questions correctly\.$/,
  ];

  let storage = null; // localStorage, taken when first needed: opening it takes a while
  let unkeepable = false; // whether the last result could not be written
  let kept = []; // the record as last read
  let unkept = []; // results of this visit that could not be written
  let setaside = '';
  let persisting = false;

  // Whether r is a result as the record holds it: the names and dates are
  // letters, digits, spaces and dashes, so that the view shows them as they
  // stand.
  const valid = (r) =>
    Array.isArray(r) && r.length === 4 && /^\d{4}-\d\d-\d\d$/.test(r[0]) && /^[\w ]+$/.test(r[1]) &&
    Number.isInteger(r[2]) && Number.isInteger(r[3]) && r[3] >= 0 && r[3] <= r[2] && r[2] >= 1;

  // The results of a record of this version, or null (anything else JSON
  // can hold fails one of the tests, or throws).
  function results(text) {
    try {
      const record = JSON.parse(text);
      return record.version === version && record.results.every(valid) ? record.results : null;
    } catch {
      return null;
    }
  }

  // Reads the record, setting aside one it cannot read; false if it cannot,
  // and then nothing is written over what is there. Storage is opened here,
  // at the first result or the first look at the view, not while the page
  // loads.
  function read() {
    try {
      storage = window.localStorage;
    } catch {
      storage = null;
    }
    if (!storage) {
      unkeepable = true;
      return false;
    }
    try {
      const text = storage.getItem(key);
      let before = storage.getItem(asidekey) || '';
      let found = text === null ? [] : results(text);
      if (found === null) {
        before = before ? `${before}\n${text}` : text;
        storage.setItem(asidekey, before);
        storage.removeItem(key);
        found = [];
      }
      kept = found;
      setaside = before;
      return true;
    } catch {
      unkeepable = true;
      return false;
    }
  }

  // Adds a result to the record as it stands now (another tab may have added
  // to it), with those this visit could not write before; the first result
  // kept asks the browser not to evict the record.
  function keep(result) {
    unkept.push(result);
    if (read()) {
      try {
        storage.setItem(key, JSON.stringify({ version, results: kept.concat(unkept) }));
        kept = kept.concat(unkept);
        unkept = [];
        unkeepable = false;
        if (!persisting) navigator.storage?.persist?.().catch(() => {});
        persisting = true;
      } catch {
        unkeepable = true;
      }
    }
    if (view.open) render();
  }

  // The device's local day, YYYY-MM-DD.
  function today() {
    const now = new Date();
    now.setMinutes(now.getMinutes() - now.getTimezoneOffset());
    return now.toISOString().slice(0, 10);
  }

  // The program's output, line by line: a line may come in several pieces.
  let tail = '';
  let activity = '';
  document.addEventListener('quiverly:output', (event) => {
    const lines = (tail + event.detail.text).split('\n');
    tail = lines.pop();
    for (const text of lines) {
      const line = text.replace(/^[>\s]+/, '');
      for (const [pattern, name] of openings) if (pattern.test(line)) activity = line.replace(pattern, name);
      for (const pattern of reports) {
        const found = pattern.exec(line);
        if (found && activity) keep([today(), activity, Number(found[2]), Number(found[1])]);
      }
    }
  });
  document.addEventListener('quiverly:session', () => {
    tail = '';
    activity = '';
  });

  // ---- The view

  const toggle = document.getElementById('progresstoggle');
  const view = document.createElement('dialog');
  view.id = 'progress';
  view.setAttribute('aria-labelledby', 'progresstitle');
  const button = (text) => `<button type="button">${text}</button>`;
  view.innerHTML =
    `<div class="actions"><h2 id="progresstitle">Progress</h2>${button('Back')}</div><p></p><div></div>` +
    `<div class="actions">${button('Export')}${button('Export the set-aside record')}${button('Clear')}</div>`;
  const [, note, content] = view.children;
  const [back, exporter, aside, clearer] = view.querySelectorAll('button');
  // The view's style, progress.css, which the build writes in here.
  const style = document.createElement('style');
  style.textContent = '@PROGRESS_STYLE@';
  document.head.append(style);
  document.body.append(view);

  // One activity's chart, from its days' [date, [asked, correct]]: for each
  // day a bar of its questions against the most of any day (its count under
  // it where there is room) and a point of the share answered correctly, on
  // a scale of 0 to 100% at the left, joined by a line; the last day's date
  // under its bar, and the first's where there is room. Its units are about
  // CSS pixels on a phone: the picture is 320 by 170, the plot from 44 to 314
  // across and from 12 to 122 down, with room for at least a week.
  function chart(figures) {
    const [height, left, right, top, bottom] = [170, 44, 314, 12, 122];
    const slot = (right - left) / Math.max(figures.length, 7);
    const most = Math.max(...figures.map((day) => day[1][0]));
    const y = (share) => Math.round(bottom - share * (bottom - top));
    const label = (x, at, anchor, text) => `<text x="${x}" y="${at}" text-anchor="${anchor}">${text}</text>`;
    let grid = '';
    let bars = '';
    let line = '';
    let dots = '';
    const edge = (i, side) => Math.round(left + slot * (i + 0.5 + side * 0.35));
    let labels = label(edge(figures.length - 1, 1), height - 8, 'end', figures[figures.length - 1][0].slice(5));
    if (figures.length > 2) labels += label(edge(0, -1), height - 8, 'start', figures[0][0].slice(5));
    for (const share of [0, 0.5, 1]) {
      grid += `M${left} ${y(share)}H${right}`;
      labels += label(left - 6, y(share) + 5, 'end', `${share * 100}%`);
    }
    figures.forEach(([, [asked, correct]], i) => {
      const x = edge(i, 0);
      bars += `M${x} ${bottom}V${y(asked / most)}`;
      line += `${i ? 'L' : 'M'}${x} ${y(correct / asked)}`;
      dots += `M${x} ${y(correct / asked)}h0`;
      if (slot >= 28) labels += label(x, bottom + 18, 'middle', asked);
    });
    return (
      `<svg viewBox="0 0 320 ${height}" aria-hidden="true" fill="#c9c4ba" font-size="14">` +
      `<g fill="none"><path stroke="#5c636a" d="${grid}"/>` +
      `<path stroke="#3a4046" stroke-width="${Math.round(slot * 0.7)}" d="${bars}"/>` +
      `<path stroke="#f2c14e" stroke-width="2" d="${line}"/>` +
      `<path stroke="#f2c14e" stroke-width="7" stroke-linecap="round" d="${dots}"/></g>${labels}</svg>`
    );
  }

  // The results by activity, in the order first played, each with its last
  // days of play, oldest first: [date, [asked, correct]].
  function byactivity() {
    const activities = new Map();
    for (const [date, name, asked, correct] of kept.concat(unkept)) {
      const dates = activities.get(name) || new Map();
      const [a, c] = dates.get(date) || [0, 0];
      activities.set(name, dates.set(date, [a + asked, c + correct]));
    }
    // Each day sorts by its date, which its text begins with.
    return [...activities].map(([name, dates]) => [name, [...dates].sort().slice(-days)]);
  }

  // Each activity's heading, summary, chart and table (see valid).
  function render() {
    note.textContent =
      (unkeepable ? 'Nothing can be kept (storage refused or full): results last until the page closes. ' : '') +
      (setaside ? 'A record from another version could not be read: it is set aside, and Export offers it.' : '');
    note.hidden = !note.textContent;
    const activities = byactivity();
    let html = activities.length
      ? `<p>Your last ${days} days of play: bars are questions, the line the share right.</p>`
      : '<p>Nothing is recorded yet: the score of each game you play is kept here.</p>';
    activities.forEach(([name, figures], i) => {
      let asked = 0;
      let correct = 0;
      let rows = '';
      for (const [date, [a, c]] of figures) {
        asked += a;
        correct += c;
        rows += `<tr><th scope="row">${date}</th><td>${a}</td><td>${c}</td></tr>`;
      }
      html +=
        `<h3 id="progress${i}">${name}</h3>` +
        `<p>Days played: ${figures.length}. Questions: ${asked}. Right: ${Math.round((100 * correct) / asked)}%.</p>` +
        `${chart(figures)}<table aria-labelledby="progress${i}"><thead><tr><th scope="col">Date</th>` +
        `<th scope="col">Asked</th><th scope="col">Correct</th></tr></thead><tbody>${rows}</tbody></table>`;
    });
    content.innerHTML = html;
    exporter.hidden = activities.length === 0;
    aside.hidden = !setaside;
    clearer.hidden = exporter.hidden && aside.hidden;
  }

  function open() {
    read();
    if (!view.open) view.showModal();
    render();
  }

  function download(name, text, type) {
    const url = URL.createObjectURL(new Blob([text], { type }));
    const link = document.createElement('a');
    link.href = url;
    link.download = name;
    view.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 30000);
  }

  toggle.addEventListener('click', open);
  back.addEventListener('click', () => view.close());
  view.addEventListener('close', () => {
    if (location.hash === '#progress') history.replaceState(null, '', location.pathname + location.search);
  });
  exporter.addEventListener('click', () => {
    const lines = kept.concat(unkept).map((result) => `${result.join(',')}\n`);
    download('quiverly-progress.csv', `date,activity,asked,correct\n${lines.join('')}`, 'text/csv');
  });
  aside.addEventListener('click', () => download('quiverly-progress-set-aside.txt', setaside, 'text/plain'));
  clearer.addEventListener('click', () => {
    if (!window.confirm('Remove the whole record from this device?')) return;
    try {
      storage.removeItem(key);
      storage.removeItem(asidekey);
    } catch {
      // Storage refused: the page holds the only copy, removed below.
    }
    kept = [];
    unkept = [];
    setaside = '';
    unkeepable = !storage;
    render();
    back.focus();
  });
  if (location.hash === '#progress') open();
})();
