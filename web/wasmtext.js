// Writes the program's WebAssembly as the text of the page's data block, one
// character a byte: the byte's own code, but for the three that the page's
// parser would change or end the block on (NUL, carriage return and "<"),
// which become U+0100, U+0101 and U+0102. Compressed, this is a fifth smaller
// than base64, which the page would decode into the same bytes.
//   node wasmtext.js quiverly.wasm quiverly.wasm.text
'use strict';

const fs = require('node:fs');

const escaped = { 0: '\u0100', 13: '\u0101', 60: '\u0102' };
const bytes = fs.readFileSync(process.argv[2]);
let text = '';
for (const byte of bytes) text += escaped[byte] ?? String.fromCharCode(byte);
fs.writeFileSync(process.argv[3], text, 'utf8');
