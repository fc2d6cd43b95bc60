// The dartboard: drawn for fingers, not to scale, it shows where the darts of
// the question being asked land, numbered in throw order, and the darts being
// composed in the answer line, and takes a dart in one tap of its area. It
// reads the program's text ('quiverly:output', 'quiverly:sent',
// 'quiverly:waiting', 'quiverly:session') and the answer line's
// ('quiverly:answer'); a dart tapped, or Enter in its corner, announces
// 'quiverly:type'. With the switch beside the answer line it chooses what
// stands below that line and announces it as 'quiverly:pad' { pad }: the
// board at every question that names or takes darts where it fits, the keypad
// (on touch screens) or nothing at the others, and both where there is room.
'use strict';

(function () {
  const svgns = 'http://www.w3.org/2000/svg';
  // The numbers clockwise from the top, and the rings from the centre out
  // (name, the letter the program reads, inner and outer radius), in CSS px of
  // a board 360 px across, the SVG's own units. Each ring is 24.2 px deep, and
  // the inner singles reach out to where their 18 degrees are 24.2 px wide
  // (89.45 sin 9° / (1 + sin 9°) = 12.1), so that every area holds a finger's
  // circle of 24 px on a screen 360 px wide; the numbers stand outside the
  // doubles.
  const numbers = [20, 1, 18, 4, 13, 6, 10, 15, 2, 17, 3, 19, 7, 16, 8, 11, 14, 9, 12, 5];
  const rings = [
    ['bullseye', 'b', 0, 12.1],
    ['outer bullseye', 'o', 12.1, 36.3],
    ['single', 's', 36.3, 89.45],
    ['treble', 't', 89.45, 113.65],
    ['single', 's', 113.65, 137.85],
    ['double', 'd', 137.85, 162.05],
  ];
  const numberradius = 171;
  // Where a dart named by the program is drawn: a single in the outer singles.
  const drawnring = { b: 0, o: 1, s: 4, t: 3, d: 5 };
  // The board's colours: dark and light singles, red and green rings.
  const colours = { dark: '#1d1d1b', light: '#eadfc4', red: '#d0212e', green: '#138a4b' };

  const board = document.getElementById('board');
  const toggle = document.getElementById('padtoggle');
  const room = matchMedia('(min-width: 900px) and (min-height: 600px)');
  const fits = matchMedia('(max-aspect-ratio: 3/4), (min-aspect-ratio: 16/9)');
  const touch = matchMedia('(pointer: coarse)').matches;

  function element(name, attributes, parent) {
    const made = document.createElementNS(svgns, name);
    for (const [key, value] of Object.entries(attributes)) made.setAttribute(key, value);
    parent.append(made);
    return made;
  }

  const point = (radius, degrees) => {
    const angle = (degrees * Math.PI) / 180;
    return [radius * Math.sin(angle), -radius * Math.cos(angle)].map((v) => Math.round(v * 100) / 100);
  };

  // The outline of ring r's area of the segment centred on degrees (the whole
  // ring for the bulls).
  function outline([, , inner, outer], degrees) {
    const arc = (radius, from, to, sweep) => {
      const [x, y] = point(radius, to);
      return `A${radius} ${radius} 0 0 ${sweep} ${x} ${y}`;
    };
    if (inner === 0) return `M0 ${-outer}${arc(outer, 0, 180, 1)}${arc(outer, 180, 360, 1)}Z`;
    if (degrees === null) {
      const circle = (radius) => `M0 ${-radius}${arc(radius, 0, 180, 1)}${arc(radius, 180, 360, 1)}Z`;
      return circle(outer) + circle(inner);
    }
    const [a, b] = [degrees - 9, degrees + 9];
    const [x0, y0] = point(outer, a);
    const [x1, y1] = point(inner, b);
    return `M${x0} ${y0}${arc(outer, a, b, 1)}L${x1} ${y1}${arc(inner, b, a, 0)}Z`;
  }

  // ---- The board: 82 areas, each a button named as the program names its
  // dart, with the numbers around them.
  const face = document.createElement('div');
  face.className = 'face';
  const svg = element('svg', { viewBox: '-180 -180 360 360', role: 'group', 'aria-label': 'Dartboard' }, face);
  const areas = [];
  for (const [r, ring] of rings.entries()) {
    const [name, letter] = ring;
    const segments = r < 2 ? [null] : numbers.map((number, i) => i);
    for (const i of segments) {
      const number = i === null ? null : numbers[i];
      const even = i === null ? r === 0 : i % 2 === 0;
      const colour = r === 2 || r === 4 ? (even ? colours.dark : colours.light) : even ? colours.red : colours.green;
      const area = element('path', {
        d: outline(ring, i === null ? null : i * 18),
        fill: colour,
        'fill-rule': 'evenodd',
        role: 'button',
        tabindex: '-1',
        'aria-label': number === null ? name : `${name} ${number}`,
        'data-dart': number === null ? letter : `${letter}${number}`,
      }, svg);
      areas.push({ area, r, i });
    }
  }
  const labels = element('g', { 'aria-hidden': 'true', class: 'numbers' }, svg);
  for (const [i, number] of numbers.entries()) {
    const [x, y] = point(numberradius, i * 18);
    element('text', { x, y }, labels).textContent = number;
  }
  const marks = element('g', { class: 'marks' }, svg);
  const enter = document.createElement('button');
  enter.type = 'button';
  enter.className = 'enter';
  enter.textContent = 'Enter';
  face.append(enter);
  board.append(face);

  // Where the k-th of n darts in one area is drawn: the middle of the area,
  // the darts side by side along the ring.
  function spot(dart, k, n) {
    const r = drawnring[dart.letter];
    const i = numbers.indexOf(dart.number);
    const degrees = r < 2 ? 0 : i * 18;
    const [, , inner, outer] = rings[r];
    const [x, y] = point(r === 0 ? 0 : (inner + outer) / 2, degrees);
    const shift = (k - (n - 1) / 2) * 10;
    const angle = (degrees * Math.PI) / 180;
    return [x + shift * Math.cos(angle), y + shift * Math.sin(angle)];
  }

  // Draws darts as markers: the question's as numbered discs, each an image
  // named for its dart; the answer's as numbered diamonds, which the answer
  // line already names.
  function drawdarts(darts, kind) {
    for (const old of marks.querySelectorAll(`.${kind}`)) old.remove();
    for (const [k, dart] of darts.entries()) {
      const same = darts.filter((other) => other.key === dart.key);
      const [x, y] = spot(dart, same.indexOf(dart), same.length);
      const mark = element('g', { class: `mark ${kind}`, transform: `translate(${x} ${y})` }, marks);
      if (kind === 'asked') {
        mark.setAttribute('role', 'img');
        mark.setAttribute('aria-label', `dart ${k + 1}: ${dart.name}`);
        element('circle', { r: 10 }, mark);
      } else {
        mark.setAttribute('aria-hidden', 'true');
        element('rect', { x: -7.5, y: -7.5, width: 15, height: 15, transform: 'rotate(45)' }, mark);
      }
      element('text', { y: 0.5 }, mark).textContent = k + 1;
    }
  }

  // A dart as the program names it in a question ("double 14", "bullseye").
  function nameddart(name) {
    const [, word, number] = /^(outer bullseye|bullseye|single|double|treble) ?(\d*)$/.exec(name) || [];
    if (!word) return null;
    const letter = { bullseye: 'b', 'outer bullseye': 'o', single: 's', double: 'd', treble: 't' }[word];
    return { letter, number: Number(number) || null, name, key: `${letter}${number}` };
  }

  // The darts of an answer as the program reads them: at most three, each an
  // optional separator, a bull's word or letter, or a dart word or letter (or
  // none) and one or two digits; reading stops at the first that does not
  // fit, and a dart that scores nothing or lies off the board is not drawn.
  const dartpattern =
    /^[ .,;-]?(?:(bull|b(?!u))|(outerbull|o(?!u))|(?:(double|d(?=\d))|(treble|triple|t(?=\d))|(single|s(?=\d)))?([ .,;-]?)(\d\d?))/;
  function answerdarts(text) {
    const darts = [];
    for (let rest = text, count = 0; rest !== '' && count < 3; ++count) {
      const found = dartpattern.exec(rest);
      if (!found) break;
      rest = rest.slice(found[0].length);
      const [, bull, outer, double, treble, single, gap, digits] = found;
      const number = Number(digits);
      if (number > 20) break;
      const letter = bull ? 'b' : outer ? 'o' : double ? 'd' : treble ? 't' : single || !gap ? 's' : null;
      if (letter === 'b' || letter === 'o') darts.push({ letter, number: null, key: letter });
      else if (letter && number > 0) darts.push({ letter, number, key: `${letter}${number}` });
    }
    return darts;
  }

  // ---- Taps and keys

  function press(area, pointer) {
    document.dispatchEvent(new CustomEvent('quiverly:type', { detail: { text: area.dataset.dart, pointer } }));
  }
  svg.addEventListener('click', (event) => {
    const area = event.target.closest('[data-dart]');
    if (area) press(area, event.detail !== 0);
  });
  enter.addEventListener('click', (event) => {
    document.dispatchEvent(new CustomEvent('quiverly:type', { detail: { key: 'enter', pointer: event.detail !== 0 } }));
  });
  // A finger or the mouse leaves the keyboard's focus in the answer line.
  face.addEventListener('mousedown', (event) => event.preventDefault());

  // By keyboard the board is one stop of Tab: the arrows move around a ring
  // (left and right) and from ring to ring (up outwards, down inwards), and
  // Enter or the space bar presses the area.
  let current = areas.find(({ r, i }) => r === 3 && i === 0);
  current.area.tabIndex = 0;
  const moves = { ArrowRight: [0, 1], ArrowLeft: [0, -1], ArrowUp: [1, 0], ArrowDown: [-1, 0] };
  svg.addEventListener('keydown', (event) => {
    if (event.key === 'Enter' || event.key === ' ') {
      event.preventDefault();
      press(current.area, false);
      return;
    }
    const move = moves[event.key];
    if (!move) return;
    event.preventDefault();
    const r = Math.min(5, Math.max(0, current.r + move[0]));
    const i = r < 2 ? null : ((current.i ?? 0) + move[1] + 20) % 20;
    current.area.tabIndex = -1;
    current = areas.find((candidate) => candidate.r === r && candidate.i === i);
    current.area.tabIndex = 0;
    current.area.focus();
  });

  // ---- What stands below the answer line

  // On a touch screen the keypad stands below the answer line when the board
  // does not; elsewhere nothing does, until the switch is first pressed.
  let boardshown = false;
  let keypadwanted = touch;
  function showpads() {
    const both = room.matches;
    board.hidden = !both && !boardshown;
    toggle.hidden = both;
    toggle.setAttribute('aria-pressed', String(boardshown));
    const pad = both ? 'both' : boardshown ? 'board' : keypadwanted ? 'keypad' : 'none';
    document.dispatchEvent(new CustomEvent('quiverly:pad', { detail: { pad } }));
  }
  toggle.addEventListener('click', () => {
    boardshown = !boardshown;
    keypadwanted = true;
    showpads();
  });
  room.addEventListener('change', showpads);

  // ---- The dialogue: what the program wrote since the last line sent,
  // looked at once it waits for the next. A question that names darts shows
  // them until the next question, and it and a question that takes darts
  // bring the board where it fits; any other question takes it away.
  let response = '';
  let takingdarts = false;
  document.addEventListener('quiverly:output', ({ detail }) => (response += detail.text));
  document.addEventListener('quiverly:sent', () => (response = ''));
  document.addEventListener('quiverly:waiting', () => {
    const asked = /What do these add up to: ([^?\n]*)\?/.exec(response);
    const takesdarts = /hat should you aim for/.test(response);
    if (asked) drawdarts(asked[1].split(', ').map(nameddart).filter((dart) => dart), 'asked');
    else if (takesdarts || /\?\n|Main menu/.test(response)) drawdarts([], 'asked');
    else return;
    takingdarts = takesdarts;
    const wanted = asked !== null || takesdarts;
    if (wanted !== boardshown && (fits.matches || !wanted)) {
      boardshown = wanted;
      showpads();
    }
  });
  // The darts being composed show while the question takes darts.
  document.addEventListener('quiverly:answer', ({ detail }) =>
    drawdarts(takingdarts ? answerdarts(detail.text) : [], 'typed'),
  );
  document.addEventListener('quiverly:session', ({ detail }) => {
    if (detail.state !== 'started') return;
    response = '';
    takingdarts = false;
    drawdarts([], 'asked');
    drawdarts([], 'typed');
  });

  showpads();
})();
