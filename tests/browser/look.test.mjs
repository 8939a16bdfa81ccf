// The look on screen is the look values: sizes, fonts and colours of the bar and the
// row, the menu box, clipping to the box, and defaults for values that cannot be read.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync, writeFileSync } from 'node:fs';
import { launch, openPage } from './lib/browser.mjs';
import { publishMenu } from './lib/project.mjs';
import { SHOP_ITEMS, menuLink, moreButton, rowSlidIn } from './lib/menus.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser?.close(); });

const rgb = (hex) => `rgb(${parseInt(hex.slice(0, 2), 16)}, ${parseInt(hex.slice(2, 4), 16)}, ${parseInt(hex.slice(4, 6), 16)})`;

// Computed style and size of an element, and the width of its own text.
function measure(locator) {
  return locator.evaluate((e) => {
    const s = getComputedStyle(e);
    const range = document.createRange();
    range.selectNodeContents(e);
    const box = e.getBoundingClientRect();
    return {
      color: s.color, background: s.backgroundColor, fontSize: s.fontSize, fontFamily: s.fontFamily,
      width: box.width, height: box.height, textWidth: range.getBoundingClientRect().width,
    };
  });
}

const LOOK = {
  mainItemExtWidth: '20', mainItemHeight: '30', mainItemFont: 'DejaVu Serif', mainItemFontSize: '14',
  mainItemTextColor: 'FFEECC', mainItemColor: '203040', mainItemHoverColor: 'FF8800',
  subItemHeight: '22', subItemFont: 'DejaVu Sans Mono', subItemFontSize: '12',
  subItemTextColor: '102030', subItemColor: 'AA0000', flMenuMaxWidth: '640', flMenuMaxHeight: '60',
};

describe('the bar and the row take the look values', () => {
  let page, problems, context;
  before(async () => {
    ({ page, problems, context } = await openPage(browser, publishMenu({ items: SHOP_ITEMS, look: LOOK })));
  });
  after(async () => { await context.close(); });

  it('draws main items at the main height, font, size and colours', async () => {
    const bar = await measure(page.locator('nav > ul'));
    assert.equal(bar.height, 30);
    assert.equal(bar.background, rgb('203040'));
    for (const name of ['Home', 'Products', 'About us', 'Blog']) {
      const item = await measure(menuLink(page, name));
      assert.deepEqual([item.height, item.color, item.fontSize, item.fontFamily],
        [30, rgb('FFEECC'), '14px', '"DejaVu Serif", sans-serif'], name);
    }
  });

  it('makes each main item as wide as its caption plus the extra width on either side', async () => {
    for (const name of ['Home', 'Blog']) {
      const item = await measure(menuLink(page, name));
      assert.ok(Math.abs(item.width - (item.textWidth + 2 * 20)) < 0.5, `${name}: ${JSON.stringify(item)}`);
    }
    // With sub items, the disclosure button (24 px) stands in the right-hand extra
    // width, or widens the item where that is narrower.
    for (const name of ['Products', 'About us']) {
      const link = await measure(menuLink(page, name));
      const button = await measure(moreButton(page, name));
      assert.equal(button.width, 24);
      assert.ok(Math.abs(link.width + button.width - (link.textWidth + 20 + 24)) < 0.5, name);
    }
  });

  it('turns a main item to the hover colour under the pointer and under keyboard focus', async () => {
    await menuLink(page, 'Blog').hover();
    assert.equal((await measure(menuLink(page, 'Blog'))).color, rgb('FF8800'));
    assert.equal((await measure(menuLink(page, 'Home'))).color, rgb('FFEECC'));
    await page.mouse.move(700, 250);
    await menuLink(page, 'Home').focus();
    assert.equal((await measure(menuLink(page, 'Home'))).color, rgb('FF8800'));
    assert.equal((await measure(menuLink(page, 'Blog'))).color, rgb('FFEECC'));
  });

  it('draws the sub items under the bar at the sub height, font, size and text colour', async () => {
    await menuLink(page, 'Products').hover();
    const row = await measure(page.locator('nav li ul').first());
    const bar = await page.locator('nav > ul').boundingBox();
    const rowBox = await page.locator('nav li ul').first().boundingBox();
    assert.equal(row.height, 22);
    assert.equal(rowBox.y, bar.y + 30);
    for (const name of ['Product A', 'Product B', 'Café & Crème']) {
      const item = await measure(menuLink(page, name));
      assert.deepEqual([item.height, item.color, item.fontSize, item.fontFamily],
        [22, rgb('102030'), '12px', '"DejaVu Sans Mono", sans-serif'], name);
    }
  });

  it('turns a sub item to the sub hover colour under the pointer', async () => {
    await menuLink(page, 'Product B').hover();
    assert.equal((await measure(menuLink(page, 'Product B'))).color, rgb('AA0000'));
    assert.equal((await measure(menuLink(page, 'Product A'))).color, rgb('102030'));
    assert.deepEqual(problems, []);
  });

  it('frames a sub item under keyboard focus and keeps its text colour, which stays readable', async () => {
    await menuLink(page, 'Product A').focus();
    const focused = await menuLink(page, 'Product A').evaluate((e) => {
      const s = getComputedStyle(e);
      return [e === document.activeElement, s.color, s.outlineStyle, s.outlineWidth];
    });
    assert.deepEqual(focused, [true, rgb('102030'), 'solid', '2px']);
  });

  it('lays the row on white under dark text and on the bar colour under light text', async () => {
    const dark = await measure(page.locator('nav li ul').first());
    assert.equal(dark.background, rgb('FFFFFF'));
    const light = await openPage(browser, publishMenu({ items: SHOP_ITEMS, look: { ...LOOK, subItemTextColor: 'F0F0F0' } }));
    const row = await measure(light.page.locator('nav li ul').first());
    assert.equal(row.background, rgb('203040'));
    await light.context.close();
  });
});

describe('the menu box', () => {
  it('is the menu box width and height, at the z-index of the page', async () => {
    const { page, problems, context } = await openPage(browser,
      publishMenu({ items: SHOP_ITEMS, look: { flMenuMaxWidth: '512', flMenuMaxHeight: '77', mov_z_index: '42' } }));
    const box = await page.evaluate(() => {
      const nav = document.querySelector('nav').getBoundingClientRect();
      return { width: nav.width, height: nav.height, z: getComputedStyle(document.getElementById('bjAj')).zIndex };
    });
    assert.deepEqual(box, { width: 512, height: 77, z: '42' });
    assert.deepEqual(problems, []);
    await context.close();
  });

  it('clips a menu that is too big for its box instead of breaking the page', async () => {
    const { page, problems, context } = await openPage(browser,
      publishMenu({ items: SHOP_ITEMS, look: { flMenuMaxWidth: '150', flMenuMaxHeight: '25' } }));
    // The pointer goes where a visitor sees "Products" (a locator's hover would first
    // scroll the clipped item into view).
    const products = await menuLink(page, 'Products').boundingBox();
    await page.mouse.move(products.x + 5, products.y + 5);
    await rowSlidIn(page, 1);
    const state = await page.evaluate(() => {
      const nav = document.querySelector('nav');
      const box = nav.getBoundingClientRect();
      const blog = [...nav.querySelectorAll('a')].find((a) => a.textContent === 'Blog').getBoundingClientRect();
      const row = nav.querySelector('li ul').getBoundingClientRect();
      const hit = (x, y) => nav.contains(document.elementFromPoint(x, y));
      return {
        box: [box.width, box.height],
        blogOutside: blog.left >= box.right,
        blogHidden: !hit(blog.left + 2, blog.top + 5),
        rowCut: row.bottom > box.bottom && !hit(row.left + 2, box.bottom + 2),
        rowShowsInside: hit(row.left + 2, box.bottom - 2),
        pageWidth: document.documentElement.scrollWidth <= innerWidth,
        scrolled: nav.scrollLeft + nav.scrollTop,
      };
    });
    assert.deepEqual(state, { box: [150, 25], blogOutside: true, blogHidden: true, rowCut: true, rowShowsInside: true, pageWidth: true, scrolled: 0 });
    assert.deepEqual(problems, []);
    await context.close();
  });

  it('brings a clipped item into view while it has the focus and puts the bar back after', async () => {
    const { page, problems, context } = await openPage(browser,
      publishMenu({ items: SHOP_ITEMS, look: { flMenuMaxWidth: '150', flMenuMaxHeight: '25' } }));
    await menuLink(page, 'Blog').focus();
    const focused = await page.evaluate(() => {
      const nav = document.querySelector('nav');
      const a = document.activeElement.getBoundingClientRect();
      return nav.contains(document.elementFromPoint(a.left + a.width / 2, a.top + a.height / 2));
    });
    assert.equal(focused, true);
    await page.keyboard.press('Tab');
    assert.deepEqual(await page.evaluate(() => [document.querySelector('nav').scrollLeft, document.querySelector('nav').scrollTop]), [0, 0]);
    assert.deepEqual(problems, []);
    await context.close();
  });
});

describe('look values that cannot be read', () => {
  // The window always writes clean values; a page edited by hand may not.
  async function pageWithParameters(replace) {
    const file = publishMenu({ items: SHOP_ITEMS });
    writeFileSync(file, replace(readFileSync(file, 'utf8')));
    return openPage(browser, file);
  }

  it('falls back to the defaults when the page has no FlashVars parameter', async () => {
    const { page, problems, context } = await pageWithParameters((html) => html.replace(/<param name="FlashVars"[^\n]*\n/, ''));
    const home = await measure(menuLink(page, 'Home'));
    const bar = await measure(page.locator('nav > ul'));
    assert.deepEqual([home.height, home.color, home.fontSize, bar.background, Math.round(home.width - home.textWidth)],
      [20, rgb('FFFFFF'), '11px', rgb('131313'), 50]);
    assert.deepEqual(problems, []);
    await context.close();
  });

  it('uses the default for each value that is not a number or colour, and reads short and transparent colours', async () => {
    const { page, problems, context } = await pageWithParameters((html) =>
      html.replace(/flashparams=[^"]*/, 'flashparams=x#$@#$@arial#$@big#$@transparent#$@FF#$@92DDFA#$@15#$@arial#$@9#$@000000#$@9E9E9E#$@100#$@3#$@'));
    const home = await measure(menuLink(page, 'Home'));
    const bar = await measure(page.locator('nav > ul'));
    assert.deepEqual([home.height, home.fontSize, home.color, bar.background, Math.round(home.width - home.textWidth)],
      [20, '11px', rgb('000000'), rgb('FF0000'), 50]);
    assert.deepEqual(problems, []);
    await context.close();
  });
});
