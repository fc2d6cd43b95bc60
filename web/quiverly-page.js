// The page around Quiverly's WebAssembly build (quiverly.js, the same C++ as the
// console program). The terminal shows every byte the program writes as soon as
// it is written, and gives the program the player's lines, edited as a terminal
// in cooked mode edits them: typed characters are echoed, Backspace takes one
// back, Ctrl-U the whole line, and Enter sends it. Every score list the program
// writes is handed to the browser as a download under its own name.
'use strict';

(function () {
  const successprefix = 'Successfully written to ';
  const fontsize = 15;
  const encoder = new TextEncoder();
  const decoder = new TextDecoder();

  // 90 columns, and as many rows as fit the window (within reason).
  const rows = Math.max(20, Math.min(48, Math.floor((window.innerHeight - 190) / (fontsize * 1.2))));
  const term = new Terminal({
    cols: 90,
    rows,
    convertEol: true,
    cursorBlink: true,
    scrollback: 5000,
    fontSize: fontsize,
    fontFamily: '"DejaVu Sans Mono", "Liberation Mono", Menlo, Consolas, monospace',
    theme: { background: '#14171a', foreground: '#e6e2da', cursor: '#f2c14e' },
  });
  term.open(document.getElementById('terminal'));

  const ending = document.getElementById('ending');
  const endingtext = document.getElementById('endingtext');
  const restart = document.getElementById('restart');
  const listsection = document.getElementById('lists');
  const listlinks = document.getElementById('listlinks');

  // The lists written during this visit, by name. Natively they stay in the
  // current folder from one run to the next, so a new session starts with them
  // in its file system and refuses to write one of them again, as natively.
  const lists = new Map();

  let session = null;

  // Gives the terminal the program's bytes written since the last call. Bytes
  // are gathered while the program runs and shown once it pauses, which it
  // does before every read, after flushing its output.
  function showoutput(s) {
    if (s.unshown.length === 0) return;
    const bytes = Uint8Array.from(s.unshown);
    s.unshown = [];
    term.write(bytes);
  }

  // A byte the program writes: kept, shown, and its screen line watched for the
  // success line of a score list.
  function writebyte(s, byte) {
    if (byte === null || byte === undefined) return;
    s.output.push(byte);
    s.unshown.push(byte);
    if (s.unshown.length === 1) queueMicrotask(() => showoutput(s));
    if (byte !== 10) {
      s.outputline.push(byte);
      return;
    }
    const line = decoder.decode(Uint8Array.from(s.outputline));
    s.outputline = [];
    if (line.startsWith(successprefix)) {
      const name = line.slice(successprefix.length);
      queueMicrotask(() => offerlist(s, name));
    }
  }

  // Offers the list just written, named in its success line, as a download,
  // and keeps a link to it below the terminal.
  function offerlist(s, name) {
    const FS = s.module.FS;
    if (!FS.analyzePath(name).exists) return;
    const data = FS.readFile(name);
    lists.set(name, data);
    const type = name.endsWith('.csv') ? 'text/csv' : 'text/plain';
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([data], { type }));
    link.download = name;
    link.textContent = name;
    const item = document.createElement('li');
    item.append(link, ` (${data.length} bytes)`);
    listlinks.append(item);
    listsection.hidden = false;
    link.click();
  }

  // Hands the next entered byte to a read that waits for one.
  function deliver(s) {
    if (s.reader === null || s.nextentered === s.entered.length) return;
    const reader = s.reader;
    s.reader = null;
    reader(s.entered[s.nextentered++]);
  }

  function enterline(s) {
    term.write('\r\n');
    for (const byte of encoder.encode(s.typed.join('') + '\n')) s.entered.push(byte);
    s.typed = [];
    deliver(s);
  }

  function erase(s, count) {
    for (; count > 0 && s.typed.length > 0; --count) {
      s.typed.pop();
      term.write('\b \b');
    }
  }

  // The player's keys. Keys that send escape sequences (arrows, function keys)
  // edit nothing here; a pasted text is taken as if typed.
  term.onData((data) => {
    const s = session;
    if (s === null || s.ended) return;
    showoutput(s);
    // eslint-disable-next-line no-control-regex
    const text = data.replace(/\x1b(\[[0-?]*[ -/]*[@-~]|O.|.)?/gs, '');
    let previous = '';
    for (const ch of text) {
      if (ch === '\r' || (ch === '\n' && previous !== '\r')) {
        enterline(s);
      } else if (ch === '\x7f' || ch === '\b') {
        erase(s, 1);
      } else if (ch === '\x15') {
        erase(s, s.typed.length);
      } else if (ch >= ' ') {
        s.typed.push(ch);
        term.write(ch);
      }
      previous = ch;
    }
  });

  function finish(s, text) {
    s.ended = true;
    showoutput(s);
    term.write('\x1b[?25l'); // no cursor where nothing more is read
    endingtext.textContent = text;
    ending.hidden = false;
    restart.focus();
  }

  function startsession() {
    const s = {
      module: null,
      output: [], // every byte the program wrote to its standard output
      unshown: [], // those not yet given to the terminal
      outputline: [], // the screen line being written
      entered: [], // the bytes of the lines entered so far
      nextentered: 0, // the next of them to read
      reader: null, // a read waiting for the next line
      typed: [], // the characters of the line being typed
      ended: false,
      status: null,
    };
    session = s;
    createQuiverly({
      // Reading a byte of standard input (see readchar in the program). What
      // the program writes after a read starts a line of the screen, below
      // the player's line.
      quiverlyReadChar: () =>
        new Promise((resolve) => {
          s.outputline = [];
          s.reader = resolve;
          deliver(s);
        }),
      preRun: [
        (module) => {
          // Standard output byte by byte to the terminal, not line by line.
          module.FS.init(
            () => null,
            (byte) => writebyte(s, byte),
            (byte) => writebyte(s, byte),
          );
          for (const [name, data] of lists) module.FS.writeFile(name, data);
        },
      ],
    })
      .then((module) => {
        s.module = module;
        term.focus();
        // main returns after the last of its reads; exit would flush stdout.
        return module.ccall('main', 'number', ['number', 'number'], [0, 0], { async: true });
      })
      .then(
        (status) => status,
        (error) => {
          if (error && error.name === 'ExitStatus') return error.status;
          throw error;
        },
      )
      .then(
        (status) => {
          s.module._fflush(0);
          s.status = status;
          finish(s, status === 0 ? 'The program has ended.' : `The program has ended with status ${status}.`);
        },
        (error) => {
          finish(s, `The program stopped with an error: ${error}`);
        },
      );
  }

  restart.addEventListener('click', () => {
    ending.hidden = true;
    term.reset();
    startsession();
  });

  // For the page's tests: what the program wrote, and whether it waits for a line.
  window.quiverly = {
    term,
    output: () => session.output.slice(),
    waiting: () => session.reader !== null,
    status: () => session.status,
  };

  startsession();
})();
