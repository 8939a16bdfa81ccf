// The look on screen is the look values: sizes, fonts and colours of the bar and the
// row, the menu box, and defaults for values that cannot be read.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync, writeFileSync } from 'node:fs';
import { openMenu } from '../lib/engines.mjs';
import { publishMenu } from '../lib/project.mjs';
import { SHOP_ITEMS } from '../lib/menus.mjs';

const rgb = (hex) => `rgb(${parseInt(hex.slice(0, 2), 16)}, ${parseInt(hex.slice(2, 4), 16)}, ${parseInt(hex.slice(4, 6), 16)})`;

// Computed style and size of the menu element NAME (or of the element SELECTOR finds),
// and the width of its own text.
function measure(page, name, selector) {
  return page.eval(([n, s]) => {
    const e = s ? window.__menu().querySelector(s) : window.__named(n);
    const style = getComputedStyle(e);
    const range = document.createRange();
    range.selectNodeContents(e);
    const box = e.getBoundingClientRect();
    return {
      color: style.color, background: style.backgroundColor, fontSize: style.fontSize,
      fontFamily: style.fontFamily.replace(/"/g, ''), width: box.width, height: box.height,
      textWidth: range.getBoundingClientRect().width,
    };
  }, [name, selector]);
}
const BAR = '.bar', ROW = '#row-1';

const LOOK = {
  mainItemExtWidth: '20', mainItemHeight: '30', mainItemFont: 'DejaVu Serif', mainItemFontSize: '14',
  mainItemTextColor: 'FFEECC', mainItemColor: '203040', mainItemHoverColor: 'FF8800',
  subItemHeight: '22', subItemFont: 'DejaVu Sans Mono', subItemFontSize: '12',
  subItemTextColor: '102030', subItemColor: 'AA0000', flMenuMaxWidth: '640', flMenuMaxHeight: '60',
};

describe('the bar and the row take the look values', () => {
  let page;
  before(async () => { page = await openMenu(publishMenu({ items: SHOP_ITEMS, look: LOOK })); });
  after(() => page.close());

  it('draws main items at the main height, font, size and colours, the font with its kind as fallback', async () => {
    const bar = await measure(page, null, BAR);
    assert.deepEqual([bar.height, bar.background], [30, rgb('203040')]);
    for (const name of ['Home', 'Products', 'About us', 'Blog']) {
      const item = await measure(page, name);
      assert.deepEqual([item.height, item.color, item.fontSize, item.fontFamily], [30, rgb('FFEECC'), '14px', 'DejaVu Serif, serif'], name);
    }
  });

  it('makes each main item as wide as its caption plus the extra width on either side', async () => {
    for (const name of ['Home', 'Blog']) {
      const item = await measure(page, name);
      assert.ok(Math.abs(item.width - (item.textWidth + 2 * 20)) < 0.5, `${name}: ${JSON.stringify(item)}`);
    }
    // With sub items, the disclosure button (24 px) stands in the right-hand extra
    // width, or widens the item where that is narrower.
    for (const name of ['Products', 'About us']) {
      const link = await measure(page, name);
      const button = await measure(page, 'More ' + name);
      assert.equal(button.width, 24);
      assert.ok(Math.abs(link.width + button.width - (link.textWidth + 20 + 24)) < 0.5, name);
    }
  });

  it('turns a main item to the hover colour under the pointer and under keyboard focus', async () => {
    await page.hover('Blog');
    assert.deepEqual([(await measure(page, 'Blog')).color, (await measure(page, 'Home')).color], [rgb('FF8800'), rgb('FFEECC')]);
    await page.move(700, 250);
    await page.focus('Home');
    assert.deepEqual([(await measure(page, 'Blog')).color, (await measure(page, 'Home')).color], [rgb('FFEECC'), rgb('FF8800')]);
  });

  it('draws the sub items under the bar at the sub height, font, size and text colour', async () => {
    await page.hover('Products');
    const row = await measure(page, null, ROW);
    const bar = await page.eval(() => window.__menu().querySelector('.bar').getBoundingClientRect().bottom);
    assert.deepEqual([row.height, await page.eval(() => window.__menu().getElementById('row-1').getBoundingClientRect().top)], [22, bar]);
    for (const name of ['Product A', 'Product B', 'Café & Crème']) {
      const item = await measure(page, name);
      assert.deepEqual([item.height, item.color, item.fontSize, item.fontFamily], [22, rgb('102030'), '12px', 'DejaVu Sans Mono, monospace'], name);
    }
  });

  it('turns a sub item to the sub hover colour under the pointer', async () => {
    await page.hover('Product B');
    assert.deepEqual([(await measure(page, 'Product B')).color, (await measure(page, 'Product A')).color], [rgb('AA0000'), rgb('102030')]);
    assert.deepEqual(await page.problems(), []);
  });

  it('frames a sub item under keyboard focus and keeps its text colour, which stays readable', async () => {
    await page.focus('Product A');
    const focused = await page.eval(() => {
      const e = window.__named('Product A');
      const s = getComputedStyle(e);
      return [e === window.__menu().activeElement, s.color, s.outlineStyle, s.outlineWidth];
    });
    assert.deepEqual(focused, [true, rgb('102030'), 'solid', '2px']);
  });

  it('lays the row on white under dark text and on the bar colour under light text', async () => {
    assert.equal((await measure(page, null, ROW)).background, rgb('FFFFFF'));
    const light = await openMenu(publishMenu({ items: SHOP_ITEMS, look: { ...LOOK, subItemTextColor: 'F0F0F0' } }));
    assert.equal((await measure(light, null, ROW)).background, rgb('203040'));
    await light.close();
  });
});

describe('the menu box', () => {
  it('is the menu box width and height, at the z-index of the page', async () => {
    const page = await openMenu(publishMenu({ items: SHOP_ITEMS, look: { flMenuMaxWidth: '512', flMenuMaxHeight: '77', mov_z_index: '42' } }));
    const box = await page.eval(() => {
      const nav = window.__menu().querySelector('nav');
      const box = nav.getBoundingClientRect();
      return { width: box.width, height: box.height, z: getComputedStyle(nav).zIndex };
    });
    assert.deepEqual(box, { width: 512, height: 77, z: '42' });
    assert.deepEqual(await page.problems(), []);
    await page.close();
  });

  it('moves a row that would stick out of the box back inside it', async () => {
    const items = [{ text: 'One', link: '1.html' }, { text: 'Two', link: '2.html' },
      { text: 'Last', link: 'l.html', subs: [{ text: 'A long first sub item', link: 's1.html' }, { text: 'Another long one', link: 's2.html' }] }];
    const page = await openMenu(publishMenu({ items, look: { flMenuMaxWidth: '330', flMenuMaxHeight: '38' } }));
    await page.hover('Last');
    const box = await page.eval(() => {
      const nav = window.__menu().querySelector('nav').getBoundingClientRect();
      const row = window.__menu().getElementById('row-2').getBoundingClientRect();
      const last = window.__named('Last').parentElement.getBoundingClientRect();
      return { left: row.left - nav.left, right: row.right - nav.left, width: nav.width, lastLeft: last.left - nav.left };
    });
    assert.ok(box.lastLeft + (box.right - box.left) > box.width, 'the row would stick out from under its item');
    assert.ok(Math.abs(box.right - box.width) < 0.01 && box.left >= 0, JSON.stringify(box));
    assert.deepEqual(await page.problems(), []);
    await page.close();
  });
});

describe('look values and fonts', () => {
  // The window always writes clean values; a page edited by hand may not.
  async function openWith(replace, look) {
    const file = publishMenu({ items: SHOP_ITEMS, look });
    writeFileSync(file, replace(readFileSync(file, 'latin1')), 'latin1');
    return openMenu(file);
  }
  const summary = async (page) => {
    const home = await measure(page, 'Home');
    return [home.height, home.fontSize, home.color, (await measure(page, null, BAR)).background, Math.round(home.width - home.textWidth)];
  };

  it('falls back to the defaults when the page has no FlashVars parameter', async () => {
    const page = await openWith((html) => html.replace(/<param name="FlashVars"[^\n]*\n/, ''));
    assert.deepEqual(await summary(page), [20, '11px', rgb('FFFFFF'), rgb('131313'), 50]);
    assert.deepEqual(await page.problems(), []);
    await page.close();
  });

  it('uses the default for each value that is not a number or colour, and reads short and transparent colours', async () => {
    const page = await openWith((html) => html.replace(/flashparams=[^"]*/,
      'flashparams=x#$@#$@arial#$@big#$@transparent#$@FF#$@92DDFA#$@15#$@arial#$@9#$@000000#$@9E9E9E#$@100#$@3#$@'));
    assert.deepEqual(await summary(page), [20, '11px', rgb('000000'), rgb('FF0000'), 50]);
    assert.deepEqual(await page.problems(), []);
    await page.close();
  });

  it('falls back to the generic family of the chosen font', async () => {
    const fonts = [['Georgia', 'Times New Roman', 'serif', 'serif'], ['Courier New', 'Verdana', 'monospace', 'sans-serif']];
    for (const [main, sub, mainKind, subKind] of fonts) {
      const page = await openWith((html) => html, { mainItemFont: main, subItemFont: sub });
      await page.click('More About us');
      assert.deepEqual([(await measure(page, 'Home')).fontFamily, (await measure(page, 'Team')).fontFamily],
        [`${main}, ${mainKind}`, `${sub}, ${subKind}`]);
      await page.close();
    }
  });
});
