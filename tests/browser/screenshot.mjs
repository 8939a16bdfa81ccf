// Takes pictures of a published menu for a person to look at (not a test):
//   node screenshot.mjs PAGE.html OUT-FOLDER
// writes closed.png, open.png (pointer over the first main item with sub items) and
// focus.png (keyboard focus on its disclosure button with the row open).
import path from 'node:path';
import { launch, openPage } from './lib/browser.mjs';

const [file, out] = process.argv.slice(2);
if (!file || !out) {
  console.error('usage: node screenshot.mjs PAGE.html OUT-FOLDER');
  process.exit(2);
}
const browser = await launch();
try {
  const { page, problems } = await openPage(browser, path.resolve(file), { viewport: { width: 720, height: 160 } });
  const shot = (name) => page.screenshot({ path: path.join(out, name) });
  await shot('closed.png');
  const item = page.locator('nav > ul > li:has(> button)').first();
  await item.locator('> a').hover();
  await page.waitForTimeout(1000);
  await shot('open.png');
  await page.mouse.move(700, 150);
  await page.waitForTimeout(1000);
  await item.locator('> button').focus();
  await page.keyboard.press('Enter');
  await page.keyboard.press('Tab');
  await page.waitForTimeout(1000);
  await shot('focus.png');
  if (problems.length) console.error(problems.join('\n'));
} finally {
  await browser.close();
}
