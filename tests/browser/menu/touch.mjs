// Touch: the first tap on a main item with sub items opens its row, the second follows
// its link; other links follow at the first tap; targets are at least 24 x 24 px.
import { describe, it, before } from 'node:test';
import assert from 'node:assert/strict';
import { openMenu, engine } from '../lib/engines.mjs';
import { publishMenu } from '../lib/project.mjs';
import { SHOP_ITEMS, targetPages, rowShown, rowSlidIn, readMenu, beside } from '../lib/menus.mjs';

let file;
before(() => { file = publishMenu({ items: SHOP_ITEMS, files: targetPages() }); });
const openTouch = (page = file) => openMenu(page, { touch: true });

describe(`taps on a touch screen (${engine.touch} touch input)`, () => {
  it('opens the row at the first tap on a main item with sub items and follows its link at the second', async () => {
    const page = await openTouch();
    await page.tap('Products');
    assert.deepEqual([await rowShown(page, 1), await page.url(), (await readMenu(page))[1].button.expanded], [true, page.fileUrl, 'true']);
    await page.tap('Products');
    await page.waitForUrl(beside(file, 'products.html'));
    await page.close();
  });

  it('moves the open row to another main item at the first tap on it', async () => {
    const page = await openTouch();
    await page.tap('Products');
    await page.tap('About us');
    assert.deepEqual([await rowShown(page, 1), await rowShown(page, 2), await page.url()], [false, true, page.fileUrl]);
    await page.close();
  });

  it('follows a sub item at the first tap', async () => {
    const page = await openTouch();
    await page.tap('About us');
    await rowSlidIn(page, 2);
    await page.tap('Team');
    await page.waitForUrl(beside(file, 'team.html'));
    await page.close();
  });

  it('follows a main item without sub items at the first tap', async () => {
    const page = await openTouch();
    await page.tap('Home');
    await page.waitForUrl(beside(file, 'home.html'));
    await page.close();
  });

  it('closes the open row at a tap outside the menu', async () => {
    const page = await openTouch();
    await page.tap('Products');
    await page.tapAt(400, 250);
    assert.equal(await rowShown(page, 1), false);
    assert.deepEqual(await page.problems(), []);
    await page.close();
  });

  it('lets Enter follow a main link after a tap elsewhere in the menu', async () => {
    const page = await openTouch();
    await page.eval(() => window.__named('Home').addEventListener('click', (e) => e.preventDefault()));
    await page.tap('Home');
    await page.focus('Products');
    await page.press('Enter');
    await page.waitForUrl(beside(file, 'products.html'));
    await page.close();
  });

  it('gives every item a target of at least 24 x 24 px under a coarse pointer, whatever the look says', async (t) => {
    const small = publishMenu({ items: SHOP_ITEMS, look: { mainItemHeight: '12', subItemHeight: '10', mainItemExtWidth: '2' } });
    const page = await openTouch(small);
    if (!await page.eval(() => matchMedia('(pointer: coarse)').matches)) {
      await page.close();
      t.skip('this engine has no coarse pointer to offer');
      return;
    }
    await page.tap('About us');
    const sizes = await page.eval(() => [...window.__menu().querySelectorAll('a, button')]
      .filter((e) => e.checkVisibility({ visibilityProperty: true }))
      .map((e) => e.getBoundingClientRect()).map((r) => Math.min(r.width, r.height)));
    assert.deepEqual(sizes.filter((size) => size < 24), []);
    assert.equal(sizes.length, 8);
    await page.close();
  });
});
