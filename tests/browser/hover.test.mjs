// The pointer: hovering a main item opens its row, leaving closes it after the close
// delay, another main item closes it at once; the row slides in at the slide speed.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { launch, openPage } from './lib/browser.mjs';
import { publishMenu } from './lib/project.mjs';
import { SHOP_ITEMS, rowShown, rowSlidIn, menuLink, readMenu } from './lib/menus.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser?.close(); });

const away = (page) => page.mouse.move(780, 280);
const PRODUCTS = 1, ABOUT = 2;

describe('hover opens and the close delay closes', () => {
  let page, problems, context;
  before(async () => {
    // The row appears without a slide here, and the pointer moves without waiting for
    // animation frames: the page's clock only runs when the test advances it.
    const file = publishMenu({ items: SHOP_ITEMS, look: { submenuCloseDelay: '500', submenuSlideSpeed: '9999' } });
    ({ page, problems, context } = await openPage(browser, file, { clock: true }));
  });
  after(async () => { await context.close(); });

  it('opens the row of the hovered main item only', async () => {
    assert.deepEqual([await rowShown(page, PRODUCTS), await rowShown(page, ABOUT)], [false, false]);
    await menuLink(page, 'Products').hover({ force: true });
    assert.deepEqual([await rowShown(page, PRODUCTS), await rowShown(page, ABOUT)], [true, false]);
    assert.equal((await readMenu(page))[PRODUCTS].button.expanded, 'true');
  });

  it('keeps the row open while the pointer is in it', async () => {
    await menuLink(page, 'Product B').hover({ force: true });
    await page.clock.runFor(2000);
    assert.equal(await rowShown(page, PRODUCTS), true);
  });

  it('closes the row the close delay after the pointer left item and row, not before', async () => {
    await away(page);
    await page.clock.runFor(450);
    assert.equal(await rowShown(page, PRODUCTS), true);
    await page.clock.runFor(100);
    assert.equal(await rowShown(page, PRODUCTS), false);
    assert.equal((await readMenu(page))[PRODUCTS].button.expanded, 'false');
  });

  it('keeps the row when the pointer comes back within the delay', async () => {
    await menuLink(page, 'Products').hover({ force: true });
    await away(page);
    await page.clock.runFor(300);
    await menuLink(page, 'Product A').hover({ force: true });
    await page.clock.runFor(2000);
    assert.equal(await rowShown(page, PRODUCTS), true);
  });

  it('closes the previous row at once when another main item opens its row', async () => {
    await menuLink(page, 'About us').hover({ force: true });
    assert.deepEqual([await rowShown(page, PRODUCTS), await rowShown(page, ABOUT)], [false, true]);
  });

  it('closes the open row at once over a main item without sub items', async () => {
    await menuLink(page, 'Blog').hover({ force: true });
    assert.equal(await rowShown(page, ABOUT), false);
    assert.deepEqual(problems, []);
  });
});

describe('the row slides in at the slide speed', () => {
  // The slide takes 600 ms divided by the slide speed.
  for (const [speed, ms] of [['1', 600], ['3', 200], ['12', 50], ['9999', 0]]) {
    it(`slides in ${ms} ms at speed ${speed}`, async () => {
      const file = publishMenu({ items: SHOP_ITEMS, look: { submenuSlideSpeed: speed } });
      const { page, problems, context } = await openPage(browser, file);
      await menuLink(page, 'Products').hover();
      const slide = await page.evaluate(() => {
        const row = document.querySelector('nav li ul');
        return row.getAnimations().filter((a) => a.transitionProperty === 'clip-path')
          .map((a) => a.effect.getTiming().duration);
      });
      assert.deepEqual(slide, ms === 0 ? [] : [ms]);
      await rowSlidIn(page, PRODUCTS);
      assert.deepEqual(problems, []);
      await context.close();
    });
  }
});

describe('the row stays within the menu box', () => {
  it('moves a row that would stick out of the box back inside it', async () => {
    const items = [{ text: 'One', link: '1.html' }, { text: 'Two', link: '2.html' },
      { text: 'Last', link: 'l.html', subs: [{ text: 'A long first sub item', link: 's1.html' }, { text: 'Another long one', link: 's2.html' }] }];
    const file = publishMenu({ items, look: { flMenuMaxWidth: '330', flMenuMaxHeight: '38' } });
    const { page, problems, context } = await openPage(browser, file);
    await menuLink(page, 'Last').hover();
    const box = await page.evaluate(() => {
      const nav = document.querySelector('nav').getBoundingClientRect();
      const row = document.querySelector('nav li ul').getBoundingClientRect();
      const last = document.querySelector('nav > ul > li:last-child').getBoundingClientRect();
      return { left: row.left - nav.left, right: row.right - nav.left, width: nav.width, lastLeft: last.left - nav.left };
    });
    assert.ok(box.lastLeft + (box.right - box.left) > box.width, 'the row would stick out from under its item');
    assert.ok(box.left >= 0 && box.right <= box.width, JSON.stringify(box));
    assert.equal(box.right, box.width);
    assert.deepEqual(problems, []);
    await context.close();
  });
});
