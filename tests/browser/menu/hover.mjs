// The pointer: hovering a main item opens its row, leaving closes it after the close
// delay, another main item closes it at once, a pointer on its way to the open row
// crosses other items without opening them; the row slides in at the slide speed.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { openMenu } from '../lib/engines.mjs';
import { publishMenu } from '../lib/project.mjs';
import { SHOP_ITEMS, rowShown, rowSlidIn, readMenu } from '../lib/menus.mjs';

const PRODUCTS = 1, ABOUT = 2;
const rows = async (page) => [await rowShown(page, PRODUCTS), await rowShown(page, ABOUT)];
const expanded = async (page) => (await readMenu(page)).map((m) => m.button?.expanded ?? null);

// The page's timers run only when the test advances them, and the row appears without
// a slide.
const openHeld = () => openMenu(publishMenu({ items: SHOP_ITEMS, look: { submenuCloseDelay: '500', submenuSlideSpeed: '9999' } }), { timers: true });

describe('hover opens and the close delay closes', () => {
  let page;
  before(async () => { page = await openHeld(); });
  after(() => page.close());
  const away = () => page.move(780, 280);

  it('opens the row of the hovered main item only', async () => {
    assert.deepEqual(await rows(page), [false, false]);
    await page.hover('Products');
    assert.deepEqual(await rows(page), [true, false]);
    assert.deepEqual(await expanded(page), [null, 'true', 'false', null]);
  });

  it('keeps the row open while the pointer is in it', async () => {
    await page.hover('Product B');
    await page.advance(2000);
    assert.deepEqual(await rows(page), [true, false]);
  });

  it('closes the row the close delay after the pointer left item and row, not before', async () => {
    await away();
    await page.advance(450);
    assert.deepEqual(await rows(page), [true, false]);
    await page.advance(100);
    assert.deepEqual(await rows(page), [false, false]);
    assert.deepEqual(await expanded(page), [null, 'false', 'false', null]);
  });

  it('keeps the row when the pointer comes back within the delay', async () => {
    await page.hover('Products');
    await away();
    await page.advance(300);
    await page.hover('Product A');
    await page.advance(2000);
    assert.deepEqual(await rows(page), [true, false]);
  });

  it('closes the previous row at once when another main item opens its row', async () => {
    await page.hover('About us');
    assert.deepEqual(await rows(page), [false, true]);
  });

  it('closes the open row at once over a main item without sub items', async () => {
    await page.hover('Blog');
    assert.deepEqual(await rows(page), [false, false]);
    assert.deepEqual(await page.problems(), []);
  });
});

describe('hover that forgives', () => {
  let page, products, about;
  before(async () => {
    page = await openHeld();
    products = await page.where('Products');
    about = await page.where('About us');
  });
  after(() => page.close());

  // From the lower half of "Products" down and to the right across "About us", whose
  // own row would cover the row of "Products" that the pointer heads for.
  async function crossToward() {
    await page.move(780, 280);
    await page.advance(1000);
    await page.move(products.x + 10, products.top + 6);
    assert.deepEqual(await rows(page), [true, false]);
    await page.move(about.left + 20, about.bottom - 6);
    await page.move(about.left + 30, about.bottom - 2);
  }

  it('keeps the open row while the pointer crosses another main item toward it', async () => {
    await crossToward();
    assert.deepEqual(await rows(page), [true, false]);
    await page.move(about.left + 40, about.bottom + 6);
    await page.advance(2000);
    assert.deepEqual(await rows(page), [true, false]);
  });

  it('opens the crossed item when the pointer stops on it', async () => {
    await crossToward();
    await page.advance(200);
    assert.deepEqual(await rows(page), [true, false]);
    await page.advance(150);
    assert.deepEqual(await rows(page), [false, true]);
  });

  it('opens the next item at once when the pointer moves along the bar', async () => {
    await page.move(780, 280);
    await page.advance(1000);
    await page.move(products.x, products.y);
    await page.move(about.x, about.y, 3);
    assert.deepEqual(await rows(page), [false, true]);
  });

  it('keeps a row open that a click on its button follows a hover on, until a second click', async () => {
    await page.move(780, 280);
    await page.advance(1000);
    await page.click('More About us');
    assert.deepEqual(await expanded(page), [null, 'false', 'true', null]);
    await page.move(780, 280);
    await page.advance(2000);
    assert.deepEqual(await expanded(page), [null, 'false', 'true', null]);
    await page.click('More About us');
    assert.deepEqual(await expanded(page), [null, 'false', 'false', null]);
  });

  it('closes a row that the pointer opened with Escape', async () => {
    await page.hover('Products');
    assert.deepEqual(await rows(page), [true, false]);
    await page.press('Escape');
    assert.deepEqual(await rows(page), [false, false]);
    assert.deepEqual(await page.problems(), []);
  });
});

describe('the row slides in at the slide speed', () => {
  // The slide takes 600 ms divided by the slide speed.
  for (const [speed, ms] of [['1', 600], ['3', 200], ['12', 50], ['9999', 0]]) {
    it(`slides in ${ms} ms at speed ${speed}`, async () => {
      const page = await openMenu(publishMenu({ items: SHOP_ITEMS, look: { submenuSlideSpeed: speed } }));
      await page.hover('Products');
      const slide = await page.eval(() => {
        const style = getComputedStyle(window.__menu().getElementById('row-1'));
        return [style.transitionProperty, Math.round(parseFloat(style.transitionDuration) * 1000)];
      });
      assert.deepEqual(slide, ['clip-path', ms]);
      await rowSlidIn(page, PRODUCTS);
      assert.deepEqual(await page.problems(), []);
      await page.close();
    });
  }
});
