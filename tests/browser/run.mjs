// Runs browser test files under node's test runner for ctest. Exits 77 (ctest's skip
// code for these tests) when the browser engine a run needs is not installed.
//   node run.mjs [--browser | --engine NAME] FILE...
// --browser: the files drive Chromium themselves; --engine NAME: the files run in the
// engine NAME of lib/engines.mjs (chromium, firefox, webkit).
import { existsSync, mkdtempSync, rmSync } from 'node:fs';
import { spawnSync } from 'node:child_process';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const args = process.argv.slice(2);
const engineName = args[0] === '--engine' ? args[1] : args[0] === '--browser' ? 'chromium' : null;
const files = args.slice(args[0] === '--engine' ? 2 : args[0] === '--browser' ? 1 : 0);
// Not import.meta.dirname: Debian 12's own Node.js (18) does not have it.
const here = path.dirname(fileURLToPath(import.meta.url));

if (!existsSync(path.join(here, 'node_modules'))) {
  console.error(`tests/browser/node_modules is missing: run "npm ci --prefix ${path.relative(process.cwd(), here) || '.'}"`);
  process.exit(1);
}
if (engineName) {
  const { ENGINES } = await import('./lib/engines.mjs');
  const engine = ENGINES[engineName];
  if (!engine) {
    console.error(`no engine "${engineName}": ${Object.keys(ENGINES).join(', ')}`);
    process.exit(2);
  }
  const missing = engine.needs().filter((file) => !existsSync(file));
  if (missing.length) {
    console.log(`SKIPPED: ${engineName} needs ${missing.join(', ')}`);
    process.exit(77);
  }
}
// One file at a time, so the pages never compete for the browser; Node 18 has no
// --test-concurrency to ask for that. Each file gets a temporary folder of its own as
// TMPDIR, where its projects, its pages and the browser's profile go, and which is
// removed when it ends, whether it passed, failed or crashed.
let status = 0;
for (const file of files) {
  const scratch = mkdtempSync(path.join(tmpdir(), 'quillamere-browser-'));
  const result = spawnSync(process.execPath, ['--test', '--test-reporter=tap', path.resolve(here, file)],
    { stdio: 'inherit', cwd: here, env: { ...process.env, QUILLAMERE_ENGINE: engineName ?? '', TMPDIR: scratch } });
  rmSync(scratch, { recursive: true, force: true });
  if ((result.status ?? 1) !== 0) status = result.status ?? 1;
}
process.exit(status);
