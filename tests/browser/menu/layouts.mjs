// Nothing is ever out of reach: main items that do not fit the box go into a last
// "More" item; on a narrow screen, or one narrower than the box, the bar is one "Menu"
// button with a list of every main item. Every item is reached by mouse, keyboard and
// touch in each layout, and nothing widens the page.
import { describe, it, before } from 'node:test';
import assert from 'node:assert/strict';
import { openMenu, engine } from '../lib/engines.mjs';
import { publishMenu } from '../lib/project.mjs';
import { LONG_ITEMS, SHOP_ITEMS, targetPages, readLayout, readMenu, unreached, beside } from '../lib/menus.mjs';

const NAMES = LONG_ITEMS.map((item) => item.text);
const LAST = LONG_ITEMS.at(-2).subs.at(-1);
let file;
before(() => { file = publishMenu({ items: LONG_ITEMS, files: targetPages(LONG_ITEMS) }); });

// Whether anything sticks out of the window's width, and how far the box reaches.
const overflow = (page) => page.eval(() => ({
  page: document.documentElement.scrollWidth > document.documentElement.clientWidth,
  box: window.__menu().querySelector('nav').getBoundingClientRect().right <= document.documentElement.clientWidth,
}));

// Each layout: its window, how the bar and the list then share the main items, and
// what the button of the list says.
const LAYOUTS = [
  ['a 600 px box at 1280 px, items that do not fit in a last "More" item', { width: 1280, height: 720 }, 'More'],
  // WebKitGTK's window is no narrower than its toolbar (447 px): still a narrow screen.
  ['a narrow screen of 375 px, every item in the list of a "Menu" button', { width: 375, height: 667 }, 'Menu'],
];

for (const [layout, size, button] of LAYOUTS) {
  describe(layout, () => {
    it('shows the main items in order, those in the bar fully inside the box', async (t) => {
      const page = await openMenu(file, size);
      const width = await page.eval(() => innerWidth);
      t.diagnostic(`window ${width} px wide`);
      assert.equal(width < 640, size.width < 640);
      const { bar, list, button: label } = await readLayout(page);
      assert.deepEqual([[...bar, ...list], label], [NAMES, button]);
      assert.equal(button === 'Menu' ? bar.length === 0 : bar.length > 0 && list.length > 0, true, JSON.stringify(bar));
      for (const name of [...bar, button]) assert.equal((await page.where(name)).reached, true, name);
      assert.deepEqual((await readMenu(page)).map((m) => m.button?.expanded ?? 'none'), LONG_ITEMS.map((m) => (m.subs.length ? 'false' : 'none')));
      assert.deepEqual(await overflow(page), { page: false, box: true });
      await page.close();
    });

    for (const how of ['mouse', 'keyboard', 'touch']) {
      it(`reaches every main and sub item by ${how}`, async () => {
        const page = await openMenu(file, { ...size, touch: how === 'touch' });
        assert.deepEqual(await unreached(page, LONG_ITEMS, how), []);
        assert.deepEqual(await overflow(page), { page: false, box: true });
        if (how !== 'keyboard') {
          await (how === 'mouse' ? page.click(LAST.text) : page.tap(LAST.text));
          await page.waitForUrl(beside(file, LAST.link));
        }
        await page.close();
      });
    }
  });
}

describe('a wide box with many short items', () => {
  it('fills the bar as far as it goes and lists the rest under "More"', async () => {
    const items = Array.from({ length: 60 }, (_, i) => ({ text: String(i + 10), link: `${i}.html` }));
    const page = await openMenu(publishMenu({ items, look: { mainItemExtWidth: '6', flMenuMaxWidth: '1200' } }), { width: 1280, height: 400 });
    const { bar, list, button } = await readLayout(page);
    assert.deepEqual([[...bar, ...list], button], [items.map((item) => item.text), 'More']);
    // The items are equally wide: the room left beside "More" is less than one of them.
    const room = await page.eval(() => {
      const menu = window.__menu(), nav = menu.querySelector('nav').getBoundingClientRect();
      const more = menu.querySelector('.more').getBoundingClientRect();
      return { left: nav.right - more.right, item: menu.querySelector('.main').getBoundingClientRect().width };
    });
    assert.ok(bar.length > 24 && room.left >= 0 && room.left < room.item, JSON.stringify({ bar: bar.length, ...room }));
    assert.deepEqual(await overflow(page), { page: false, box: true });
    assert.deepEqual(await page.problems(), []);
    await page.close();
  });
});

describe('the hidden link block', () => {
  it('widens nothing at 1024 px, though it holds long captions that are all non-ASCII', async () => {
    const caption = (i) => `${i}. Überblick über Ökologie, Ästhetik und Übersetzungen — 日本語の長い見出し`;
    const items = [1, 2, 3].map((i) => ({ text: caption(i), link: `${i}.html`, subs: [{ text: caption(i * 10), link: `${i}0.html` }] }));
    const page = await openMenu(publishMenu({ items }), { width: 1024, height: 600 });
    const seen = [await overflow(page)];
    await page.hover(caption(1));
    seen.push(await overflow(page));
    await page.click('More');
    await page.click('More ' + caption(3));
    seen.push(await overflow(page));
    assert.deepEqual(seen, Array(3).fill({ page: false, box: true }));
    assert.deepEqual(await page.problems(), []);
    await page.close();
  });
});

describe('changes of the window', () => {
  it('becomes the "Menu" button when the window is narrower than the box, and the bar again when it grows', async () => {
    const page = await openMenu(publishMenu({ items: SHOP_ITEMS, look: { flMenuMaxWidth: '800' } }), { width: 700, height: 400 });
    const names = SHOP_ITEMS.map((item) => item.text);
    const narrow = { bar: [], list: names, button: 'Menu' }, wide = { bar: names, list: [], button: null };
    const layouts = [await readLayout(page)];
    for (const [width, expected] of [[1000, wide], [500, narrow]]) {
      await page.resize(width, 400);
      await page.waitFor((button) => {
        const more = window.__menu().querySelector('.more');
        return (getComputedStyle(more).display === 'none' ? null : more.firstChild.textContent) === button;
      }, expected.button);
      layouts.push(await readLayout(page));
    }
    assert.deepEqual(layouts, [narrow, wide, narrow]);
    assert.deepEqual(await page.problems(), []);
    await page.close();
  });
});

describe('the phone', { skip: engine.name !== 'chromium' && 'phone emulation is Chromium\'s' }, () => {
  it('lays the page out at the phone\'s width, and every item is reached by a tap', async () => {
    const page = await openMenu(file, { phone: true });
    // The page takes the phone's width once it has been read, and the menu is fitted to
    // it by the resize event of the next frame: between the two, a script sees the new
    // width and the wide bar.
    await page.waitFor(() => innerWidth === 375);
    const menu = await page.reach('Menu');
    assert.ok(menu?.height >= 24 && menu.right <= 375, JSON.stringify(menu));
    assert.deepEqual(await unreached(page, LONG_ITEMS, 'touch'), []);
    assert.deepEqual(await overflow(page), { page: false, box: true });
    await page.close();
  });
});
