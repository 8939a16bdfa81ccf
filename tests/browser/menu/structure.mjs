// The items and their nesting: what the hidden link block holds is what the menu shows.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync, writeFileSync } from 'node:fs';
import path from 'node:path';
import { openMenu, testCopy } from '../lib/engines.mjs';
import { publishMenu } from '../lib/project.mjs';
import { SHOP_ITEMS, readMenu, rowShown } from '../lib/menus.mjs';

// Publishes ITEMS, lets EDIT change the page's text as a designer's hand might, and
// opens it.
async function openEdited(items, edit = (html) => html) {
  const file = publishMenu({ items });
  writeFileSync(file, edit(readFileSync(file, 'latin1')), 'latin1');
  return openMenu(file);
}

describe('items and nesting', () => {
  let page, file;
  before(async () => {
    file = publishMenu({ items: SHOP_ITEMS });
    page = await openMenu(file);
  });
  after(() => page.close());

  it('shows the main items in order, each with its link and target', async () => {
    const menu = await readMenu(page);
    assert.deepEqual(menu.map((m) => [m.text, m.href, m.target]), [
      ['Home', 'home.html', '_self'],
      ['Products', 'products.html', '_self'],
      ['About us', 'about.html', '_self'],
      ['Blog', 'blog.html', '_blank'],
    ]);
  });

  it('puts the sub items in the row of their own main item, decoded from UTF-8', async () => {
    const menu = await readMenu(page, { openRows: true });
    assert.deepEqual(menu.map((m) => m.subs.map((s) => [s.text, s.href, s.target])), [
      [],
      [['Product A', 'a.html', '_self'], ['Product B', 'b.html', '_blank'], ['Café & Crème', 'cafe.html', null]],
      [['Team', 'team.html', '_self'], ['a-b.c_d~e', 'odd.html', '_self']],
      [],
    ]);
  });

  it('gives only main items with sub items a collapsed disclosure button that controls their row', async () => {
    const menu = await readMenu(page);
    assert.deepEqual(menu.map((m) => m.button), [
      null,
      { expanded: 'false', label: 'More Products' },
      { expanded: 'false', label: 'More About us' },
      null,
    ]);
    assert.deepEqual(menu.map((m) => m.rowInside), [null, true, true, null]);
  });

  // The hidden link block takes no room at all: it is out of the page's layout.
  it('removes the movie object and its embed, and takes the hidden link block out of the layout', async () => {
    const state = await page.eval(() => {
      const block = document.getElementById('buAj');
      const box = block.getBoundingClientRect();
      return {
        object: document.querySelectorAll('object, embed').length,
        block: [getComputedStyle(block).visibility, box.width, box.height, getComputedStyle(block).display],
        navIn: window.__menu().querySelector('nav').getRootNode().host.id,
      };
    });
    assert.deepEqual(state, { object: 0, block: ['hidden', 0, 0, 'none'], navIn: 'mkvo_menu_zelvan_outer_div' });
    assert.deepEqual(await page.problems(), []);
  });

  it('marks no item as the page shown when no link leads to this page', async () => {
    assert.equal(await page.eval(() => window.__menu().querySelectorAll('[aria-current]').length), 0);
  });
});

describe('captions, links and targets as the editor stores them', () => {
  // Each case: the items, a change to the page by hand, and what the menu then shows
  // as [caption, link, target, sub captions] for each main item.
  const cases = [
    ['shows an escaped quote as a quote in captions and links',
      [{ text: "Don\\'t panic", link: "it\\'s.html?a=1&b=<2>", target: 'frame one' }], undefined,
      [["Don't panic", "it's.html?a=1&b=<2>", 'frame one', []]]],
    ['draws a menu without items as an empty bar', [], undefined, []],
    ['keeps only two rows when a project holds deeper levels',
      [{ text: 'Top', link: 't.html', subs: [{ text: 'Middle', link: 'm.html' }] }],
      // A third level, written by hand below "Middle", is nested one block deeper.
      (html) => html.replace(/(<div><a href='m.html'[^\n]*\n)/,
        "$1<div class='mkvosub'>\r\n<div><a href='deep.html' target=''>Deep</a></div>\r\n</div>\r\n"),
      [['Top', 't.html', '_self', ['Middle']]]],
    ['shows a caption that is not valid percent-encoding as written',
      [{ text: 'X', link: 'x.html' }], (html) => html.replace('>X</a>', '>100%+sure</a>'),
      [['100% sure', 'x.html', '_self', []]]],
    ['draws the menu only once when the script is included twice', [{ text: 'Once', link: 'o.html' }],
      (html) => html.replace("<script src='swfhelper.js'></script>", "<script src='swfhelper.js'></script><script src='swfhelper.js'></script>"),
      [['Once', 'o.html', '_self', []]]],
  ];
  for (const [name, items, edit, expected] of cases) {
    it(name, async () => {
      const page = await openEdited(items, edit);
      const menu = await readMenu(page, { openRows: true });
      assert.deepEqual(menu.map((m) => [m.text, m.href, m.target, m.subs.map((s) => s.text)]), expected);
      assert.deepEqual(await page.eval(() => window.__menu().querySelectorAll('nav').length + document.querySelectorAll('nav, object').length), 1);
      assert.deepEqual(await page.problems(), []);
      await page.close();
    });
  }
});

describe('the page around the menu', () => {
  it('marks the items whose link is the page shown with aria-current="page"', async () => {
    // The link to this very page is written the ways a designer might.
    const items = [{ text: 'Here', link: 'menu.t.html', subs: [{ text: 'Here too', link: './menu.t.html#part' }, { text: 'Anchor', link: '#top' }] },
      { text: 'Elsewhere', link: 'other.html' }];
    const file = publishMenu({ items });
    assert.equal(path.basename(testCopy(file)), 'menu.t.html');
    const page = await openMenu(file);
    await page.click('More Here');
    const current = await page.eval(() => [...window.__menu().querySelectorAll('a')].map((a) => a.getAttribute('aria-current')));
    assert.deepEqual(current, ['page', 'page', null, null]);
    await page.close();
  });

  it('gives a page that is nothing but the menu the phone\'s width, and leaves a designer\'s page its own', async () => {
    const viewports = [];
    for (const edit of [undefined, (html) => html.replace('</body>', '<p>The designer\'s own text</p>\r\n</body>')]) {
      const page = await openEdited(SHOP_ITEMS, edit);
      viewports.push(await page.eval(() => document.querySelector('meta[name=viewport]')?.content ?? null));
      await page.close();
    }
    assert.deepEqual(viewports, ['width=device-width,initial-scale=1', null]);
  });

  it('runs the bar from right to left on a right-to-left page, rows inside the viewport', async () => {
    const page = await openEdited(SHOP_ITEMS, (html) => html.replace('<html lang="en">', '<html lang="ar" dir="rtl">'));
    const boxes = {};
    for (const name of ['Home', 'Products', 'About us', 'Blog']) boxes[name] = await page.where(name);
    assert.ok(boxes.Home.left > boxes.Products.right - 1 && boxes.Products.left > boxes['About us'].right - 1 &&
      boxes['About us'].left > boxes.Blog.right - 1, JSON.stringify(boxes));
    await page.hover('About us');
    for (const name of ['Team', 'a-b.c_d~e']) {
      const box = await page.reach(name);
      assert.ok(box.reached && box.inView && box.right <= boxes['About us'].right + 0.5, `${name}: ${JSON.stringify(box)}`);
    }
    assert.deepEqual(await page.problems(), []);
    await page.close();
  });
});

describe('main items without a link', () => {
  // A main item without a link never leads to the page itself: with sub items it is
  // the button of its row, without them its caption alone; a link of blanks is none.
  const ITEMS = [
    { text: 'Shop', link: '', subs: [{ text: 'Tea', link: 'tea.html' }] },
    { text: 'Notice', link: '' },
    { text: 'Blank', link: '   ', subs: [{ text: 'Coffee', link: 'coffee.html' }] },
    { text: 'Home', link: 'home.html' },
  ];
  let page;
  before(async () => { page = await openMenu(publishMenu({ items: ITEMS }), { width: 1000 }); });
  after(() => page.close());
  const drawn = () => page.eval(() => [...window.__menu().querySelector('.bar').children].map((li) => [...li.children]
    .map((e) => [e.localName, e.textContent, e.getAttribute('aria-expanded'), e.getAttribute('aria-controls'), e.getAttribute('href')])));

  it('draws a button that opens the row, or the caption alone, and no link to nothing', async () => {
    assert.deepEqual((await drawn()).slice(0, 4), [
      [['button', 'Shop', 'false', 'row-0', null], ['ul', '', null, null, null]],
      [['span', 'Notice', null, null, null]],
      [['button', 'Blank', 'false', 'row-2', null], ['ul', '', null, null, null]],
      [['a', 'Home', null, null, 'home.html']],
    ]);
  });

  it('opens and closes the row by click and by key, and the page stays where it is', async () => {
    const url = await page.url();
    await page.click('Shop');
    assert.equal(await rowShown(page, 0), true);
    await page.focus('Blank');
    await page.press('Enter');
    assert.deepEqual([await rowShown(page, 0), await rowShown(page, 2)], [false, true]);
    await page.press('Space');
    assert.equal(await rowShown(page, 2), false);
    assert.equal(await page.url(), url);
  });

  it('leaves the caption alone out of the Tab order', async () => {
    await page.focus('Shop');
    await page.press('Tab');
    assert.equal(await page.eval(() => window.__menu().activeElement.textContent), 'Blank');
    assert.deepEqual(await page.problems(), []);
  });
});
