// Makes companion/swfhelper.min.js, the menu script that visitors get (installed as
// swfhelper.js), from the readable companion/swfhelper.js with the terser this folder
// pins: run "node tests/browser/minify.mjs" after every change of the script. The
// companion test checks that the committed file is what this makes of the source.
//
// The script names the look fields' positions FIELD.codeName; their numbers come from
// the program's look table through make_menu_script (built with the program, found in
// build/companion unless QUILLAMERE_MAKE_MENU_SCRIPT names it).
//
// The output is ASCII only, so that a page in any encoding reads the script's own
// words the same.
import { execFileSync } from 'node:child_process';
import { readFileSync, writeFileSync } from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { minify } from 'terser';

const here = path.dirname(fileURLToPath(import.meta.url));
const companion = path.resolve(here, '../../companion');
export const SOURCE = path.join(companion, 'swfhelper.js');
export const MINIFIED = path.join(companion, 'swfhelper.min.js');
const makeMenuScript = process.env.QUILLAMERE_MAKE_MENU_SCRIPT ?? path.resolve(here, '../../build/companion/make_menu_script');

export async function minified(source) {
  const positions = JSON.parse(execFileSync(makeMenuScript, ['--positions'], { encoding: 'utf8' }));
  const { code } = await minify(source, {
    ecma: 2020, mangle: true, compress: { passes: 2, global_defs: positions }, format: { ascii_only: true, quote_style: 1 },
  });
  const unknown = code.match(/FIELD\.\w+/);
  if (unknown) throw new Error(`${unknown[0]} is no look field`);
  return code + '\n';
}

if (process.argv[1] && path.resolve(process.argv[1]) === fileURLToPath(import.meta.url)) {
  writeFileSync(MINIFIED, await minified(readFileSync(SOURCE, 'utf8')));
  console.log(`${path.relative(process.cwd(), MINIFIED)}: ${readFileSync(MINIFIED).length} bytes`);
}
