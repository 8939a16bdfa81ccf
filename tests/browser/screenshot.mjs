// Takes pictures of a published menu for a person to look at (not a test), in the
// engine QUILLAMERE_ENGINE names (chromium when unset):
//   node screenshot.mjs PAGE.html OUT-FOLDER
// writes ENGINE-wide.png (1280 px, the pointer on the first main item with sub items),
// ENGINE-more.png (the "More" list open, when the box holds the items only in part,
// with the row of its first item with sub items open), ENGINE-narrow.png (375 px, the
// "Menu" list open with a row open) and, in Chromium, ENGINE-phone.png.
import { rmSync } from 'node:fs';
import path from 'node:path';
import { openMenu, closeBrowsers, engine, testCopy } from './lib/engines.mjs';

const [file, out] = process.argv.slice(2);
if (!file || !out) {
  console.error('usage: node screenshot.mjs PAGE.html OUT-FOLDER');
  process.exit(2);
}
const shot = (page, name) => page.shot(path.join(out, `${engine.name}-${name}.png`));
// The first main item with sub items in the list below BUTTON, or in the bar.
const firstWithRow = (page, inList) => page.eval((list) => {
  const menu = window.__menu();
  const button = menu.querySelector(list ? '#list button:empty' : '.bar > .main:not(.more) > button:empty');
  return button && (list ? button.getAttribute('aria-label') : button.previousElementSibling.textContent);
}, inList);
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

try {
  const wide = await openMenu(path.resolve(file), { width: 1280, height: 480 });
  const main = await firstWithRow(wide, false);
  if (main) await wide.hover(main);
  await sleep(700);
  await shot(wide, 'wide');
  if (await wide.where('More')) {
    await wide.click('More');
    const inner = await firstWithRow(wide, true);
    if (inner) await wide.click(inner);
    await sleep(700);
    await shot(wide, 'more');
  }
  const narrow = await openMenu(path.resolve(file), { width: 375, height: 667 });
  await narrow.click('Menu');
  const inner = await firstWithRow(narrow, true);
  if (inner) await narrow.click(inner);
  await sleep(700);
  await shot(narrow, 'narrow');
  if (engine.name === 'chromium') {
    const phone = await openMenu(path.resolve(file), { phone: true });
    await phone.tap('Menu');
    await sleep(700);
    await shot(phone, 'phone');
  }
} finally {
  await closeBrowsers();
  rmSync(testCopy(path.resolve(file)), { force: true });
}
