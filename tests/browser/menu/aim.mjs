// Menu aim with a real mouse: a pointer reports whole pixels every 8 to 12 ms, most
// steps level on a shallow slope, some a pixel up. On its way from a main item's button
// to a sub item under the next main item it keeps the open row; resting on the next
// item, moving along the bar or turning away from the row opens that item instead. The
// page's clock and timers are held, and move by each step's time.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { openMenu } from '../lib/engines.mjs';
import { publishMenu } from '../lib/project.mjs';
import { SHOP_ITEMS, rowShown, handPath } from '../lib/menus.mjs';

const PRODUCTS = 1, ABOUT = 2;
// How long a pointer heading for the open row may rest on another main item.
const AIM = 300;

describe('menu aim with a real mouse', () => {
  let page, button, about, target;
  const rows = async () => [await rowShown(page, PRODUCTS), await rowShown(page, ABOUT)];
  const inAbout = ([x, y]) => x > about.left && x < about.right && y > about.top && y < about.bottom;
  // The pointer at rest away from the menu, then on Products' button, which opens its row.
  async function onProductsButton() {
    await page.move(780, 280);
    await page.advance(1000);
    await page.move(button.x, button.y);
    await page.advance(200);
    assert.deepEqual(await rows(), [true, false]);
  }

  before(async () => {
    page = await openMenu(publishMenu({ items: SHOP_ITEMS, look: { submenuCloseDelay: '500', submenuSlideSpeed: '9999' } }),
      { timers: true });
    button = await page.where('More Products');
    // About us with its button.
    const [link, own] = [await page.where('About us'), await page.where('More About us')];
    about = { ...link, right: own.right, x: (link.left + own.right) / 2 };
    await onProductsButton();
    // The sub item of Products that lies under About us.
    for (const sub of SHOP_ITEMS[PRODUCTS].subs) {
      const box = await page.where(sub.text);
      if (box.x > about.left && box.x < about.right) target = { name: sub.text, ...box };
    }
    assert.ok(target, 'a sub item of Products lies under About us');
  });
  after(() => page.close());

  it('keeps the row while the pointer goes from Products\' button to the sub item under About us', async () => {
    await onProductsButton();
    const path = handPath([button.x, button.y], [target.x, target.y]);
    assert.ok(path.filter(inAbout).length > 20, 'the path crosses About us');
    await page.trace(path);
    assert.deepEqual(await rows(), [true, false]);
    assert.equal((await page.where(target.name)).reached, true);
    await page.advance(2000);
    assert.deepEqual(await rows(), [true, false]);
  });

  it('opens About us once the pointer, on its way to the row, rests on it', async () => {
    await onProductsButton();
    const path = handPath([button.x, button.y], [target.x, target.y]);
    await page.trace(path.slice(0, path.findLastIndex(inAbout) + 1));
    await page.advance(AIM - 50);
    assert.deepEqual(await rows(), [true, false]);
    await page.advance(100);
    assert.deepEqual(await rows(), [false, true]);
  });

  it('opens About us at once when the pointer moves along the bar', async () => {
    await onProductsButton();
    await page.trace(handPath([button.x, button.y], [about.x, button.y]));
    assert.deepEqual(await rows(), [false, true]);
  });

  it('opens About us at once when the pointer turns away from the row', async () => {
    await onProductsButton();
    const path = handPath([button.x, button.y], [target.x, target.y]);
    const turn = path[path.findLastIndex(inAbout)];
    await page.trace([...path.slice(0, path.indexOf(turn) + 1), ...handPath(turn, [turn[0] + 4, about.top + 2])]);
    assert.deepEqual(await rows(), [false, true]);
    assert.deepEqual(await page.problems(), []);
  });
});
