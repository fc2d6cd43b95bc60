// The dart keypad: every character a question takes, one key each (the digits
// with Enter, the dart letters and the commands). A key pressed announces
// 'quiverly:type' { text } or { key: 'enter' }, with pointer: true when tapped
// or clicked; the keypad shows while 'quiverly:pad' names it ('keypad' or
// 'both').
'use strict';

(function () {
  const keypad = document.getElementById('keypad');

  keypad.addEventListener('click', (event) => {
    const button = event.target.closest('button');
    if (!button) return;
    const key = button.dataset.key;
    const detail = key === 'enter' ? { key } : { text: key };
    detail.pointer = event.detail !== 0;
    document.dispatchEvent(new CustomEvent('quiverly:type', { detail }));
  });
  // A key pressed with a finger or the mouse leaves the keyboard's focus, and
  // the caret, in the answer line.
  keypad.addEventListener('mousedown', (event) => event.preventDefault());

  document.addEventListener('quiverly:pad', ({ detail }) => {
    keypad.hidden = detail.pad !== 'keypad' && detail.pad !== 'both';
  });
})();
