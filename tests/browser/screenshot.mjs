// Takes pictures of a published menu for a person to look at (not a test), in the
// engine QUILLAMERE_ENGINE names (chromium when unset):
//   node screenshot.mjs PAGE.html OUT-FOLDER
// writes ENGINE-wide.png (1280 px, the pointer on the first main item with sub items),
// ENGINE-more.png (the "More" list open, when the box holds the items only in part,
// with the row of its first item with sub items open), ENGINE-narrow.png (375 px, the
// "Menu" list open with a row open) and, in Chromium, ENGINE-phone.png.
//   node screenshot.mjs --designers OUT-FOLDER
// does the same for each designer's page of lib/designers.mjs, the pictures named
// ENGINE-DESIGN-wide.png and so on.
import { rmSync } from 'node:fs';
import path from 'node:path';
import { openMenu, closeBrowsers, engine, testCopy } from './lib/engines.mjs';
import { DESIGNS, designerPage } from './lib/designers.mjs';

const [file, out] = process.argv.slice(2);
if (!file || !out) {
  console.error('usage: node screenshot.mjs PAGE.html OUT-FOLDER\n       node screenshot.mjs --designers OUT-FOLDER');
  process.exit(2);
}
let prefix = engine.name;
const shot = (page, name) => page.shot(path.join(out, `${prefix}-${name}.png`));
// The first main item with sub items in the list below BUTTON, or in the bar.
const firstWithRow = (page, inList) => page.eval((list) => {
  const menu = window.__menu();
  const button = menu.querySelector(list ? '#list button:empty' : '.bar > .main:not(.more) > button:empty');
  return button && (list ? button.getAttribute('aria-label') : button.previousElementSibling.textContent);
}, inList);
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
// The "More" item's or the "Menu" button's word, in the page's language, where it shows.
const listButton = (page) => page.eval(() => {
  const button = window.__menu().querySelector('.more > button');
  return button.checkVisibility() ? button.textContent : null;
});

// The pictures of the page FILE.
async function pictures(file) {
  const wide = await openMenu(file, { width: 1280, height: 480 });
  const main = await firstWithRow(wide, false);
  if (main) await wide.hover(main);
  await sleep(700);
  await shot(wide, 'wide');
  const more = await listButton(wide);
  if (more) {
    await wide.click(more);
    const inner = await firstWithRow(wide, true);
    if (inner) await wide.click(inner);
    await sleep(700);
    await shot(wide, 'more');
  }
  const narrow = await openMenu(file, { width: 375, height: 667 });
  await narrow.click(await listButton(narrow));
  const inner = await firstWithRow(narrow, true);
  if (inner) await narrow.click(inner);
  await sleep(700);
  await shot(narrow, 'narrow');
  if (engine.name === 'chromium') {
    const phone = await openMenu(file, { phone: true });
    await phone.tap(await listButton(phone));
    await sleep(700);
    await shot(phone, 'phone');
  }
}

const pages = file === '--designers' ? DESIGNS.map((design) => [`${engine.name}-${design.name}`, designerPage(design).page])
  : [[engine.name, path.resolve(file)]];
try {
  for (const [name, page] of pages) {
    prefix = name;
    await pictures(page);
  }
} finally {
  await closeBrowsers();
  for (const [, page] of pages) rmSync(testCopy(page), { force: true });
}
