// Writes the program's WebAssembly as the text of a string in double quotes
// of the page's script, one character a byte: the byte's own code, but for
// the five that a string cannot hold as they are or that a browser would
// change (NUL, line feed, carriage return, '"' and backslash), which become
// U+0100 to U+0104. Compressed, this is a fifth smaller than base64, which the
// page would decode into the same bytes.
//   node wasmtext.js quiverly.wasm quiverly.wasm.text
'use strict';

const fs = require('node:fs');

const escaped = { 0: '\u0100', 10: '\u0101', 13: '\u0102', 34: '\u0103', 92: '\u0104' };
const bytes = fs.readFileSync(process.argv[2]);
let text = '';
for (const byte of bytes) text += escaped[byte] ?? String.fromCharCode(byte);
fs.writeFileSync(process.argv[3], text, 'utf8');
