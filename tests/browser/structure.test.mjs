// The items and their nesting: what the hidden link block holds is what the menu shows.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync, writeFileSync } from 'node:fs';
import { launch, openPage } from './lib/browser.mjs';
import { publishMenu } from './lib/project.mjs';
import { SHOP_ITEMS, readMenu } from './lib/menus.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser?.close(); });

describe('items and nesting', () => {
  let page, problems, file;
  before(async () => {
    file = publishMenu({ items: SHOP_ITEMS });
    ({ page, problems } = await openPage(browser, file));
  });

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
    const menu = await readMenu(page);
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

  it('removes the movie object and its embed, and leaves the hidden link block hidden', async () => {
    const state = await page.evaluate(() => ({
      object: document.querySelectorAll('object, embed').length,
      blockHidden: getComputedStyle(document.getElementById('buAj')).visibility,
      navParent: document.querySelector('nav').parentElement.id,
      visibleHiddenLinks: [...document.querySelectorAll('#buAj a')].filter((a) => a.checkVisibility({ visibilityProperty: true })).length,
    }));
    assert.deepEqual(state, { object: 0, blockHidden: 'hidden', navParent: 'bjAj', visibleHiddenLinks: 0 });
    assert.deepEqual(problems, []);
  });

  it('draws the menu only once when the script is included twice', async () => {
    const html = readFileSync(file, 'utf8').replace("<script src='swfhelper.js'></script>",
      "<script src='swfhelper.js'></script><script src='swfhelper.js'></script>");
    const twice = file.replace(/\.html$/, '-twice.html');
    writeFileSync(twice, html);
    const { page: other, problems: otherProblems, context } = await openPage(browser, twice);
    assert.equal(await other.locator('nav').count(), 1);
    assert.deepEqual(otherProblems, []);
    await context.close();
  });
});

describe('captions, links and targets as the editor stores them', () => {
  it('shows an escaped quote as a quote in captions and links', async () => {
    const file = publishMenu({
      items: [{ text: "Don\\'t panic", link: "it\\'s.html?a=1&b=<2>", target: 'frame one' }],
    });
    const { page, problems, context } = await openPage(browser, file);
    const [item] = await readMenu(page);
    assert.deepEqual([item.text, item.href, item.target], ["Don't panic", "it's.html?a=1&b=<2>", 'frame one']);
    assert.deepEqual(problems, []);
    await context.close();
  });

  it('draws a menu without items as an empty bar, without errors', async () => {
    const file = publishMenu({ items: [] });
    const { page, problems, context } = await openPage(browser, file);
    assert.deepEqual(await readMenu(page), []);
    assert.equal(await page.locator('object').count(), 0);
    assert.deepEqual(problems, []);
    await context.close();
  });

  it('keeps only two rows when a project holds deeper levels', async () => {
    const file = publishMenu({ items: [{ text: 'Top', link: 't.html', subs: [{ text: 'Middle', link: 'm.html' }] }] });
    // A third level, written by hand below "Middle", is nested one block deeper.
    const html = readFileSync(file, 'utf8').replace(
      /(<div><a href='m.html'[^\n]*\n)/, "$1<div class='mkvosub'>\r\n<div><a href='deep.html' target=''>Deep</a></div>\r\n</div>\r\n");
    assert.match(html, /Deep/);
    writeFileSync(file, html);
    const { page, problems, context } = await openPage(browser, file);
    const menu = await readMenu(page);
    assert.deepEqual(menu.map((m) => [m.text, m.subs.map((s) => s.text)]), [['Top', ['Middle']]]);
    assert.deepEqual(problems, []);
    await context.close();
  });

  it('shows a caption that is not valid percent-encoding as written', async () => {
    const file = publishMenu({ items: [{ text: 'X', link: 'x.html' }] });
    writeFileSync(file, readFileSync(file, 'utf8').replace(">X</a>", ">100%+sure</a>"));
    const { page, problems, context } = await openPage(browser, file);
    const [item] = await readMenu(page);
    assert.equal(item.text, '100% sure');
    assert.deepEqual(problems, []);
    await context.close();
  });
});
