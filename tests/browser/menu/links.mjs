// A click follows the link in its target: the same frame when the target is empty or
// "_self", a new window for "_blank", a named frame by its name.
import { describe, it, before } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync, writeFileSync } from 'node:fs';
import { openMenu, PATIENCE } from '../lib/engines.mjs';
import { publishMenu } from '../lib/project.mjs';
import { SHOP_ITEMS, targetPages, beside } from '../lib/menus.mjs';

let file;
before(() => { file = publishMenu({ items: SHOP_ITEMS, files: targetPages() }); });

describe('a click follows the link in its target', () => {
  // Each case: the items to click on the way, and the page that then shows.
  const cases = [
    ['opens a main item with target _self in the same window', ['Home'], 'home.html'],
    ['opens a main item with sub items on click, with the row already open from the hover', ['Products'], 'products.html'],
    ['opens a sub item with an empty target in the same window', ['Products', 'Café & Crème'], 'cafe.html'],
  ];
  for (const [name, clicks, target] of cases) {
    it(name, async () => {
      const page = await openMenu(file);
      for (const [i, item] of clicks.entries()) await (i < clicks.length - 1 ? page.hover(item) : page.click(item));
      await page.waitForUrl(beside(file, target));
      await page.close();
    });
  }

  it('opens a link with target _blank in a new window and leaves the menu page as it was', async () => {
    const page = await openMenu(file);
    await page.hover('Products');
    await page.click('Product B');
    // The windows open, in any order, once they have loaded what they show.
    const windows = async (expected) => {
      const end = Date.now() + PATIENCE;
      let urls;
      while ((urls = (await page.windows()).sort()).join() !== expected.sort().join() && Date.now() < end) {
        await new Promise((resolve) => setTimeout(resolve, 50));
      }
      return urls;
    };
    const expected = [page.fileUrl, beside(file, 'b.html')];
    assert.deepEqual(await windows(expected), expected.sort());
    await page.click('Blog');
    expected.push(beside(file, 'blog.html'));
    assert.deepEqual(await windows(expected), expected.sort());
    assert.equal(await page.url(), page.fileUrl);
    assert.deepEqual(await page.problems(), []);
    await page.close();
  });

  it('opens a link in the frame its target names', async () => {
    const items = [{ text: 'Into the frame', link: 'home.html', target: 'side' }];
    const framed = publishMenu({ items, files: targetPages([{ link: 'home.html' }]) });
    // The designer's page holds a frame named "side" below the menu.
    writeFileSync(framed, readFileSync(framed, 'latin1').replace('</body>', '<iframe name="side" title="side"></iframe>\r\n</body>'), 'latin1');
    const page = await openMenu(framed, { init: () => addEventListener('message', (e) => { window.framed = e.data; }) });
    await page.click('Into the frame');
    assert.equal(await page.waitFor(() => window.framed), beside(framed, 'home.html'));
    assert.equal(await page.url(), page.fileUrl);
    assert.deepEqual(await page.problems(), []);
    await page.close();
  });
});

describe('a link to a place on this page', () => {
  // The page stays, so the menu must close by itself.
  const items = [{ text: 'Guide', link: 'guide.html', subs: [{ text: 'Part two', link: '#part' }] }, { text: 'Top', link: '#top' }];
  const cases = [
    ['closes the phone list when tapped', { width: 375, height: 667, touch: true }, ['Menu', 'More Guide', 'Part two'], '#part'],
    ['closes the list when clicked', { width: 375, height: 667 }, ['Menu', 'Top'], '#top'],
    ['closes the row it is in when clicked', { width: 800, height: 300 }, ['More Guide', 'Part two'], '#part'],
  ];
  for (const [name, size, taps, hash] of cases) {
    it(name, async () => {
      const file = publishMenu({ items });
      writeFileSync(file, readFileSync(file, 'latin1').replace('</body>', '<div style="height:3000px"></div><h2 id="part">Part two</h2>\r\n</body>'), 'latin1');
      const page = await openMenu(file, size);
      for (const name of taps) await (size.touch ? page.tap(name) : page.click(name));
      await page.waitForUrl(page.fileUrl + hash);
      assert.deepEqual(await page.eval(() => [...window.__menu().querySelectorAll('[aria-expanded=true], .open')].length), 0);
      assert.deepEqual(await page.problems(), []);
      await page.close();
    });
  }
});
