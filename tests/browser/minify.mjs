// Makes companion/swfhelper.min.js, the menu script that visitors get (installed as
// swfhelper.js), from the readable companion/swfhelper.js with the terser this folder
// pins: run "node tests/browser/minify.mjs" after every change of the script. The
// companion test checks that the committed file is what this makes of the source.
//
// The output is ASCII only, so that a page in any encoding reads the script's own
// words the same.
import { readFileSync, writeFileSync } from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { minify } from 'terser';

const companion = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../companion');
export const SOURCE = path.join(companion, 'swfhelper.js');
export const MINIFIED = path.join(companion, 'swfhelper.min.js');

export async function minified(source) {
  const { code } = await minify(source, {
    ecma: 2020, mangle: true, compress: { passes: 2 }, format: { ascii_only: true, quote_style: 1 },
  });
  return code + '\n';
}

if (process.argv[1] && path.resolve(process.argv[1]) === fileURLToPath(import.meta.url)) {
  writeFileSync(MINIFIED, await minified(readFileSync(SOURCE, 'utf8')));
  console.log(`${path.relative(process.cwd(), MINIFIED)}: ${readFileSync(MINIFIED).length} bytes`);
}
