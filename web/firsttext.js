// Writes the program's first text, all it prints before its first read (the
// banner and the main menu, the same at every start), as the transcript's
// lines, so that the page shows it as soon as it is parsed, before the
// program has started; the program's own first text then takes their place
// only if it differs. Each line is an element, indented as the page indents
// a line of the program's (web/transcript.js). Runs the program's script and
// WebAssembly (as built for the page) in node.
//   node firsttext.js quiverly.js quiverly.wasm lines.html
'use strict';

const fs = require('node:fs');
const vm = require('node:vm');

const [script, wasm, out] = process.argv.slice(2);
const create = vm.runInThisContext(`${fs.readFileSync(script, 'utf8')}\n;createQuiverly`);
const bytes = [];

function writelines() {
  const text = new TextDecoder().decode(Uint8Array.from(bytes));
  const escape = (line) => line.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');
  const lines = text.split('\n').map((line) => {
    const indent = line.length - line.trimStart().length;
    const style = line.trim() !== '' && indent > 0 ? ` style="padding-left: ${indent}ch; text-indent: -${indent}ch;"` : '';
    return `<div${style}>${escape(line)}</div>`;
  });
  fs.writeFileSync(out, lines.join(''));
  process.exit(0);
}

const program = create({
  wasmBinary: fs.readFileSync(wasm),
  quiverlyWrite: (fd, data) => bytes.push(...data),
  quiverlyReadChar: () => new Promise(writelines),
  quiverlyOfferList: () => {},
  quiverlyHasList: () => false,
});
program.ccall('main', 'number', ['number', 'number'], [0, 0], { async: true });
