// The page around Quiverly's WebAssembly build (quiverly.js, the same C++ as the
// console program). The program's output is a transcript of lines that wrap to
// the screen; the player answers in one text input, by keyboard, by a phone's
// keyboard or by the dart keypad, and each line sent is echoed after the prompt
// that reads it, as a console shows it. Score lists the program completes are
// offered as downloads; over http(s) a service worker keeps the page offline.
// The page's other parts hear of the program's output and of each session's
// start and end through events on document (see announce).
'use strict';

(function () {
  const encoder = new TextEncoder();

  const transcript = document.getElementById('transcript');
  const form = document.getElementById('entry');
  const answer = document.getElementById('answer');
  const panel = document.getElementById('panel');
  const keypad = document.getElementById('keypad');
  const keypadtoggle = document.getElementById('keypadtoggle');
  const sendkey = document.getElementById('send');
  const deletekey = document.getElementById('delete');
  const ending = document.getElementById('ending');
  const endingtext = document.getElementById('endingtext');
  const restart = document.getElementById('restart');
  const listsection = document.getElementById('lists');
  const listlinks = document.getElementById('listlinks');

  // The lists written during this visit, by name. Natively they stay in the
  // current folder from one run to the next, so a new session is given the
  // one it is about to make, if written before, and refuses to write it again,
  // as natively.
  const lists = new Map();
  // Object URLs handed to a download and not yet revoked, with their timers.
  const objecturls = new Map();

  let session = null;

  // The program's WebAssembly, written into the page in base64, decoded once
  // for every session of the visit; natively by browsers that can.
  const programbytes = (() => {
    const text = document.getElementById('program').textContent.trim();
    if (Uint8Array.fromBase64) return Uint8Array.fromBase64(text);
    const binary = atob(text);
    const bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
    return bytes;
  })();

  // ---- The transcript

  // Starts a new line element; its text is filled in as the program writes.
  function newline(s) {
    const element = document.createElement('div');
    transcript.append(element);
    s.line = element;
    s.linetext = '';
    s.indent = 0;
  }

  // Appends text without a line break to the current line and keeps its wrapped
  // rows under its first character: a hanging indent as wide as its leading
  // spaces, so an indented answer or hint stays indented when it wraps.
  function appendtoline(s, text, sent) {
    if (text === '') return;
    if (sent) {
      const span = document.createElement('span');
      span.className = 'sent';
      span.textContent = text;
      s.line.append(span);
    } else {
      s.line.append(text);
    }
    s.linetext += text;
    const indent = s.linetext.length - s.linetext.trimStart().length;
    if (indent !== s.indent && s.linetext.trim() !== '') {
      s.indent = indent;
      s.line.style.paddingLeft = `${indent}ch`;
      s.line.style.textIndent = `-${indent}ch`;
    }
  }

  // Writes text into the transcript, a new line element after each "\n".
  function writetext(s, text, sent = false) {
    const parts = text.split('\n');
    for (const [i, part] of parts.entries()) {
      if (i > 0) newline(s);
      appendtoline(s, part, sent);
    }
    scrolltoend();
  }

  // Keeps the newest line and the answer line in sight: scrolls to the end
  // just before the next frame, when its layout is done anyway, rather than
  // forcing one after each write. Typing an answer brings the prompt back into
  // sight too, as at a console.
  let scrollwanted = false;
  function scrolltoend() {
    if (scrollwanted) return;
    scrollwanted = true;
    requestAnimationFrame(() => {
      scrollwanted = false;
      const scroller = document.scrollingElement || document.documentElement;
      scroller.scrollTop = scroller.scrollHeight;
    });
  }

  // Shows the program's bytes written since the last call. Bytes are gathered
  // while the program runs and shown once it pauses, at the latest before
  // every read, after it flushes its output.
  function showoutput(s) {
    if (s.unshown.length === 0) return;
    const bytes = Uint8Array.from(s.unshown);
    s.unshown = [];
    const text = s.decoder.decode(bytes, { stream: true });
    writetext(s, text);
    announce('output', { text });
  }

  // Takes the bytes of one of the program's writes.
  function writebytes(s, bytes) {
    const waiting = s.unshown.length > 0;
    for (const byte of bytes) {
      s.output.push(byte);
      s.unshown.push(byte);
    }
    if (!waiting) queueMicrotask(() => showoutput(s));
  }

  // ---- Lines from the player to the program

  // Hands the next byte of the lines sent to a read that waits for one. The
  // first byte of a line echoes the whole line after the prompt that reads it,
  // even if the player sent it before the prompt appeared.
  function deliver(s) {
    if (s.reader === null || s.lines.length === 0) return;
    const line = s.lines[0];
    if (s.at === 0) {
      showoutput(s);
      writetext(s, `${line.text}\n`, true);
    }
    const byte = line.bytes[s.at++];
    if (s.at === line.bytes.length) {
      s.lines.shift();
      s.at = 0;
    }
    const reader = s.reader;
    s.reader = null;
    reader(byte);
  }

  // Sends the input's text as one line and empties the input. A text with line
  // breaks in it (pasted, or from a phone's keyboard) is that many lines.
  function sendline(text) {
    const s = session;
    if (s === null || s.ended) return;
    for (const part of text.split(/\r\n|\r|\n/)) {
      s.lines.push({ text: part, bytes: encoder.encode(`${part}\n`) });
    }
    deliver(s);
  }

  function sendinput() {
    const text = answer.value;
    answer.value = '';
    sendline(text);
  }

  // Enter arrives in several ways: the form's submit (Enter in the input, the
  // Send button), a keydown, or, from some phone keyboards, an input event
  // that inserts a line break. The line is the input's text when Enter comes,
  // a keyboard's composition (a word being predicted) included; an Enter that
  // the keyboard gives to its composition sends once the composition ends,
  // with the text it committed.
  let sendaftercomposition = false;
  form.addEventListener('submit', (event) => {
    event.preventDefault();
    sendinput();
  });
  answer.addEventListener('keydown', (event) => {
    if (event.key !== 'Enter' && event.keyCode !== 13) return;
    event.preventDefault();
    if (event.isComposing) sendaftercomposition = true;
    else sendinput();
  });
  answer.addEventListener('input', scrolltoend);
  answer.addEventListener('compositionend', () => {
    if (!sendaftercomposition) return;
    sendaftercomposition = false;
    // The committed text is in the input once this event has run.
    setTimeout(sendinput, 0);
  });
  answer.addEventListener('beforeinput', (event) => {
    const breaks = event.inputType === 'insertLineBreak' || event.inputType === 'insertParagraph';
    const data = event.data || '';
    if (!breaks && !/[\r\n]/.test(data)) return;
    event.preventDefault();
    // The text before the break is sent; what follows it stays in the input.
    const at = answer.selectionStart ?? answer.value.length;
    const end = answer.selectionEnd ?? at;
    const lines = (answer.value.slice(0, at) + (breaks ? '\n' : data)).split(/\r\n|\r|\n/);
    const rest = lines.pop();
    answer.value = rest + answer.value.slice(end);
    answer.setSelectionRange(rest.length, rest.length);
    sendline(lines.join('\n'));
  });

  // ---- The dart keypad

  // Puts the key's text into the input where its caret is, or takes back the
  // character before the caret; Enter sends the line. Only what was tapped is
  // sent. A key tapped or clicked gives the answer line the keyboard's focus
  // if it had not got it (a key pressed from the keyboard leaves it where it
  // is).
  function presskey(key, bypointer) {
    if (bypointer && !answer.disabled && document.activeElement !== answer) {
      answer.focus();
      answer.setSelectionRange(answer.value.length, answer.value.length);
    }
    if (key === 'enter') {
      sendinput();
      return;
    }
    const value = answer.value;
    let at = answer.selectionStart ?? value.length;
    let end = answer.selectionEnd ?? at;
    if (document.activeElement !== answer) at = end = value.length;
    if (key === 'delete') {
      if (at === end && at > 0) --at;
      answer.value = value.slice(0, at) + value.slice(end);
    } else {
      answer.value = value.slice(0, at) + key + value.slice(end);
      at += key.length;
    }
    answer.setSelectionRange(at, at);
    scrolltoend();
  }
  for (const keys of [keypad, deletekey]) {
    keys.addEventListener('click', (event) => {
      const button = event.target.closest('button');
      if (button) presskey(button.dataset.key, event.detail !== 0);
    });
    // A key pressed with a finger or the mouse leaves the keyboard's focus,
    // and the caret, in the answer line.
    keys.addEventListener('mousedown', (event) => event.preventDefault());
  }

  // The keypad is shown at first where the pointer is a finger, and the
  // button shows or hides it. While it is shown a phone keeps its own
  // keyboard closed, the keypad's Enter takes the place of Send, and Delete
  // stands beside the answer line.
  function showkeypad(shown) {
    keypad.hidden = !shown;
    keypadtoggle.setAttribute('aria-expanded', String(shown));
    panel.classList.toggle('withkeypad', shown);
    sendkey.hidden = shown;
    deletekey.hidden = !shown;
    answer.inputMode = shown ? 'none' : 'text';
  }
  keypadtoggle.addEventListener('click', () => showkeypad(keypad.hidden));
  showkeypad(window.matchMedia('(pointer: coarse)').matches);

  // A character typed while no control has the keyboard (before the answer
  // line takes it, or after a click on the transcript) goes to the answer
  // line, and so does the keyboard when the window gets it back. The space
  // bar still scrolls the page.
  function answerhasnofocus() {
    const focused = document.activeElement;
    return !answer.disabled && (focused === null || focused === document.body);
  }
  document.addEventListener('keydown', (event) => {
    if (event.key.length !== 1 || event.key === ' ' || event.ctrlKey || event.metaKey || event.altKey) return;
    if (answerhasnofocus()) answer.focus();
  });
  window.addEventListener('focus', () => {
    if (answerhasnofocus()) answer.focus();
  });

  // ---- Score lists

  // Offers a list the program has just completed (it calls this once the list
  // stands under its name): a download at once, and a link that stays.
  function offerlist(name, data) {
    lists.set(name, data);
    const link = document.createElement('a');
    link.href = '#';
    link.download = name;
    link.textContent = name;
    link.addEventListener('click', () => downloadlink(link, data));
    const item = document.createElement('li');
    item.append(link, ` (${data.length} bytes)`);
    listlinks.append(item);
    listsection.hidden = false;
    link.click();
  }

  // Points the link at a fresh object URL for its click, and revokes the URL
  // once the browser has had time to take the download.
  function downloadlink(link, data) {
    const type = link.download.endsWith('.csv') ? 'text/csv' : 'text/plain';
    const url = URL.createObjectURL(new Blob([data], { type }));
    link.href = url;
    objecturls.set(url, setTimeout(() => revoke(url), 30000));
  }

  function revoke(url) {
    clearTimeout(objecturls.get(url));
    objecturls.delete(url);
    URL.revokeObjectURL(url);
  }

  // ---- Sessions

  // Tells the page's other parts what the program wrote ('quiverly:output',
  // { text }) and when a session starts and ends ('quiverly:session',
  // { state: 'started' } and { state: 'ended', status }), on document.
  function announce(name, detail) {
    document.dispatchEvent(new CustomEvent(`quiverly:${name}`, { detail }));
  }

  function finish(s, text) {
    s.ended = true;
    showoutput(s);
    announce('session', { state: 'ended', status: s.status });
    answer.disabled = true;
    panel.hidden = true;
    endingtext.textContent = text;
    ending.hidden = false;
    scrolltoend();
    restart.focus();
  }

  function startsession() {
    const s = {
      module: null,
      decoder: new TextDecoder(),
      output: [], // every byte the program wrote to its standard output
      unshown: [], // those not yet shown
      line: null, // the transcript's last line element
      linetext: '',
      indent: 0,
      lines: [], // the lines sent and not yet read whole
      at: 0, // the next byte of the first of them
      reader: null, // a read waiting for the next byte
      ended: false,
      status: null,
    };
    session = s;
    announce('session', { state: 'started' });
    transcript.replaceChildren();
    newline(s);
    answer.disabled = false;
    panel.hidden = false;
    const settings = {
      wasmBinary: programbytes,
      // Reading a byte of standard input (see readchar in the program).
      quiverlyReadChar: () =>
        new Promise((resolve) => {
          s.reader = resolve;
          deliver(s);
          if (s.reader !== null) showoutput(s);
          requestAnimationFrame(() => setTimeout(registerworker, 0));
        }),
      // A list the program completed, and whether one it is about to make
      // was made before.
      quiverlyOfferList: offerlist,
      quiverlyHasList: (name) => lists.has(name),
      // Each write to standard output or errors, as it is made.
      quiverlyWrite: (fd, bytes) => writebytes(s, bytes),
    };
    // The WebAssembly is compiled at once, which spares the first text a wait
    // for a compiling thread: the factory gives the module itself (and a
    // failure to make it rejects the promise).
    new Promise((resolve) => resolve(createQuiverly(settings)))
      .then((module) => {
        s.module = module;
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
    for (const url of [...objecturls.keys()]) revoke(url);
    startsession();
    answer.focus();
  });

  // Over http(s) a service worker keeps the page's files for playing offline;
  // opened from disk the page plays without one. It is registered once the
  // frame with the first prompt is painted, so that its downloads do not
  // delay it.
  let workerwanted = 'serviceWorker' in navigator && /^https?:$/.test(location.protocol);
  function registerworker() {
    if (!workerwanted) return;
    workerwanted = false;
    navigator.serviceWorker.register('sw.js').catch(() => {});
  }

  // For the page's tests: what the program wrote, whether it waits for a
  // line, and the transcript's lines.
  window.quiverly = {
    output: () => session.output.slice(),
    waiting: () => session.reader !== null,
    status: () => session.status,
    lines: () => Array.from(transcript.children, (line) => line.textContent),
  };

  startsession();
  // The answer line takes the keyboard once the first frame is painted, so
  // that focusing it does not hold back the first text.
  requestAnimationFrame(() => setTimeout(() => answer.focus(), 0));
})();
