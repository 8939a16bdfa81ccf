// Runs browser test files under node's test runner for ctest. Exits 77 (ctest's skip
// code for these tests) when a browser is needed and Debian's Chromium is missing.
//   node run.mjs [--browser] FILE...
import { existsSync } from 'node:fs';
import { spawnSync } from 'node:child_process';
import path from 'node:path';

const args = process.argv.slice(2);
const needsBrowser = args[0] === '--browser';
const files = needsBrowser ? args.slice(1) : args;
const here = import.meta.dirname;

if (needsBrowser && !existsSync('/usr/bin/chromium')) {
  console.log('SKIPPED: /usr/bin/chromium is not installed');
  process.exit(77);
}
if (!existsSync(path.join(here, 'node_modules'))) {
  console.error(`tests/browser/node_modules is missing: run "npm ci --prefix ${path.relative(process.cwd(), here) || '.'}"`);
  process.exit(1);
}
const result = spawnSync(process.execPath,
  ['--test', '--test-concurrency=1', '--test-reporter=tap', ...files.map((f) => path.resolve(here, f))],
  { stdio: 'inherit', cwd: here });
process.exit(result.status ?? 1);
