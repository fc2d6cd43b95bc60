// The dart keypad: every character a question takes, one key each (the digits
// with Enter, the dart letters and the commands). A key pressed announces
// 'quiverly:type' { text } or { key: 'enter' }, with pointer: true when tapped
// or clicked; the keypad shows while 'quiverly:pad' names it ('keypad' or
// 'both').
'use strict';

(function () {
  // The keys in their two groups, the letters on the left and the digits with
  // Enter on the right, where a thumb finds them. They are made here, once the
  // first text is painted: the keypad is hidden until a part asks for it.
  const groups = [
    ['letters', ['s', 'd', 't', 'o', 'b', 'h', 'a', '?', 'q', 'c', 'y', 'n']],
    ['digits', ['1', '2', '3', '4', '5', '6', '7', '8', '9', '0', 'enter']],
  ];
  const keypad = document.getElementById('keypad');
  for (const [id, keys] of groups) {
    const group = document.createElement('div');
    group.id = id;
    for (const key of keys) {
      const button = document.createElement('button');
      button.type = 'button';
      button.dataset.key = key;
      button.textContent = key === 'enter' ? 'Enter' : key;
      if (key === 'enter') button.className = 'enter';
      group.append(button);
    }
    keypad.append(group);
  }

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
