// How long the menu script takes to start on a large menu, beside a baseline in the same
// run (a benchmark to run by hand, not a test):
//   QUILLAMERE_ENGINE=chromium|firefox|webkit node bench-start.mjs [ROUNDS] [OTHER-SCRIPT]
// publishes menus of 1,000 and 10,000 items (main items with 4 sub items each) with
// quillamere-cli and opens each page ROUNDS times (default 15) in the engine
// QUILLAMERE_ENGINE names (lib/engines.mjs; Chromium when unset) at 1280 x 800. A copy
// of the page takes the script inline between two time marks; the page's layout is
// forced before the first mark and after the script, so that the time holds the
// script's own work and the layout it leaves behind, and not the loading of the file or
// the layout of the page before it. The baseline is the same
// page whose script only copies the hidden block's links into plain <a> elements in
// the menu box: what any script that shows the links must at least do. Prints the
// medians in ms and their ratios to the baseline. OTHER-SCRIPT, another version of
// swfhelper.js (say the one before a change), is timed beside the bin folder's.
import { readFileSync, writeFileSync } from 'node:fs';
import path from 'node:path';
import { fileUrl } from './lib/browser.mjs';
import { engine } from './lib/engines.mjs';
import { binDir, publishMenu } from './lib/project.mjs';

const rounds = Number(process.argv[2] ?? 15);
const other = process.argv[3];
const SIZES = [1000, 10000];
const SUBS = 4;

const BASELINE = `(function () {
  var box = document.getElementById('mkvo_menu_zelvan_outer_div'), nav = document.createElement('nav');
  document.querySelectorAll('#buAj a').forEach(function (link) {
    var a = document.createElement('a');
    a.href = link.getAttribute('href');
    a.textContent = decodeURIComponent(link.textContent.replace(/\\+/g, ' '));
    nav.appendChild(a);
  });
  box.appendChild(nav);
})();`;


// The page FILE with CODE in place of its script tag, between the marks.
function timedCopy(file, code, name) {
  const copy = file.replace(/\.html$/, `.${name}.html`);
  const marked = '<script>document.documentElement.offsetWidth;window.__start=performance.now()</script>' +
    `<script>${code}</script>` +
    '<script>document.documentElement.offsetWidth;window.__took=performance.now()-window.__start</script>';
  const page = readFileSync(file, 'latin1');
  if (!page.includes("<script src='swfhelper.js'></script>")) throw new Error(`${file} has no script tag`);
  writeFileSync(copy, page.replace("<script src='swfhelper.js'></script>", () => marked), 'latin1');
  return copy;
}

const median = (values) => values.slice().sort((a, b) => a - b)[values.length >> 1];

const browser = await engine.launch();
try {
  const time = async (file) => {
    const page = await browser.open(fileUrl(file), { width: 1280, height: 800 });
    const took = await page.eval(() => window.__took);
    const drawn = await page.eval(() => document.querySelectorAll('#mkvo_menu_zelvan_outer_div nav a').length);
    await page.close();
    return { took, drawn };
  };
  console.log(engine.name);
  // What is timed: the script of the bin folder, OTHER-SCRIPT when given, and the baseline.
  const codes = { script: readFileSync(path.join(binDir, 'swfhelper.js'), 'utf8') };
  if (other) codes.other = readFileSync(other, 'utf8');
  codes.baseline = BASELINE;
  const kinds = Object.keys(codes);
  console.log(['items', ...kinds.map((k) => `${k} ms`), ...kinds.slice(0, -1).map((k) => `${k} ratio`)]
    .map((h) => h.padStart(14)).join(''));
  for (const size of SIZES) {
    const items = Array.from({ length: size / (SUBS + 1) }, (_, i) => ({
      text: `Chapter ${i + 1} of the guide`, link: `main${i + 1}.html`,
      subs: Array.from({ length: SUBS }, (_, j) => ({ text: `Section ${i + 1}.${j + 1}`, link: `sub${i + 1}-${j + 1}.html` })),
    }));
    const file = publishMenu({ items });
    const pages = Object.fromEntries(kinds.map((kind) => [kind, timedCopy(file, codes[kind], kind)]));
    const times = Object.fromEntries(kinds.map((kind) => [kind, []]));
    // The pages take turns, so that all of them meet the machine in the same state.
    for (let round = 0; round < rounds; round++) {
      for (const kind of kinds) {
        const { took, drawn } = await time(pages[kind]);
        if (kind === 'baseline' && drawn !== size) throw new Error(`the baseline drew ${drawn} links, not ${size}`);
        times[kind].push(took);
      }
    }
    const medians = kinds.map((kind) => median(times[kind]));
    const baseline = medians.at(-1);
    console.log([String(size), ...medians.map((m) => m.toFixed(1)), ...medians.slice(0, -1).map((m) => (m / baseline).toFixed(2))]
      .map((cell) => cell.padStart(14)).join(''));
  }
} finally {
  await browser.close();
}
