// The keyboard: Tab follows the items in order, Enter or Space on a disclosure button
// toggles its row, Escape closes it and gives the focus back to the button; the focus
// is always visible.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { openMenu } from '../lib/engines.mjs';
import { publishMenu } from '../lib/project.mjs';
import { SHOP_ITEMS, targetPages, readMenu, rowShown, rowSlidIn, beside } from '../lib/menus.mjs';

let file;
before(() => { file = publishMenu({ items: SHOP_ITEMS, files: targetPages() }); });

// The focused element as "link Name" or "button Name", with whether its focus shows:
// an outline at least 2 px wide, where a pointer finds the element.
function focused(page) {
  return page.eval(() => {
    const e = window.__menu().activeElement ?? document.activeElement;
    if (e.getRootNode() === document) return { name: e.tagName.toLowerCase() };
    const s = getComputedStyle(e);
    const r = e.getBoundingClientRect();
    const hit = window.__menu().elementFromPoint(r.left + r.width / 2, r.top + r.height / 2);
    return {
      name: (e.tagName === 'A' ? 'link ' + e.textContent : 'button ' + e.getAttribute('aria-label')),
      visible: s.outlineStyle !== 'none' && parseFloat(s.outlineWidth) >= 2 && (hit === e || e.contains(hit)),
    };
  });
}

async function tabThrough(page, count) {
  const seen = [];
  for (let i = 0; i < count; i++) {
    await page.press('Tab');
    seen.push(await focused(page));
  }
  return seen;
}

const shown = (name) => ({ name, visible: true });
const expanded = async (page) => (await readMenu(page)).map((m) => m.button?.expanded ?? null);

describe('Tab order and visible focus', () => {
  it('visits main links and disclosure buttons in order, skipping closed rows', async () => {
    const page = await openMenu(file);
    const seen = await tabThrough(page, 7);
    assert.deepEqual(seen.slice(0, 6), [
      shown('link Home'), shown('link Products'), shown('button More Products'),
      shown('link About us'), shown('button More About us'), shown('link Blog'),
    ]);
    // Past the last item the focus leaves the page, or where the browser has no bar of
    // its own to go to, comes round to the first item.
    assert.ok(['body', 'link Home'].includes(seen[6].name), seen[6].name);
    assert.deepEqual(await page.problems(), []);
    await page.close();
  });

  it('goes through the sub items of an open row before the next main item, and closes the row behind it', async () => {
    const page = await openMenu(file);
    await tabThrough(page, 3);
    await page.press('Enter');
    await rowSlidIn(page, 1);
    assert.deepEqual(await tabThrough(page, 4), [
      shown('link Product A'), shown('link Product B'), shown('link Café & Crème'), shown('link About us'),
    ]);
    assert.equal(await rowShown(page, 1), false);
    assert.deepEqual(await expanded(page), [null, 'false', 'false', null]);
    await page.close();
  });

  it('goes back with Shift+Tab from a sub item to its button', async () => {
    const page = await openMenu(file);
    await page.focus('More About us');
    await page.press('Space');
    await rowSlidIn(page, 2);
    await page.press('Tab');
    await page.press('Shift+Tab');
    assert.deepEqual(await focused(page), shown('button More About us'));
    assert.equal(await rowShown(page, 2), true);
    await page.close();
  });
});

describe('the disclosure button', () => {
  let page;
  before(async () => { page = await openMenu(file); });
  after(() => page.close());

  it('opens and closes the row with Enter', async () => {
    await page.focus('More Products');
    await page.press('Enter');
    assert.deepEqual([await expanded(page), await rowShown(page, 1)], [[null, 'true', 'false', null], true]);
    await page.press('Enter');
    assert.deepEqual([await expanded(page), await rowShown(page, 1)], [[null, 'false', 'false', null], false]);
  });

  it('opens and closes the row with Space, and opening one row closes the other', async () => {
    await page.press('Space');
    assert.deepEqual(await expanded(page), [null, 'true', 'false', null]);
    await page.focus('More About us');
    await page.press('Space');
    assert.deepEqual(await expanded(page), [null, 'false', 'true', null]);
    await page.press('Space');
    assert.deepEqual(await expanded(page), [null, 'false', 'false', null]);
  });

  it('closes the row with Escape from a sub item and gives the focus back to the button', async () => {
    await page.focus('More Products');
    await page.press('Enter');
    await rowSlidIn(page, 1);
    await page.press('Tab');
    await page.press('Tab');
    assert.deepEqual(await focused(page), shown('link Product B'));
    await page.press('Escape');
    assert.deepEqual(await focused(page), shown('button More Products'));
    assert.deepEqual(await expanded(page), [null, 'false', 'false', null]);
  });

  it('closes a row that the pointer opened with Escape on its button', async () => {
    await page.hover('About us');
    await page.focus('More About us');
    await page.press('Escape');
    assert.deepEqual(await expanded(page), [null, 'false', 'false', null]);
    assert.deepEqual(await page.problems(), []);
  });
});

describe('Enter on a link', () => {
  it('follows a main link, also one with sub items', async () => {
    const page = await openMenu(file);
    await page.focus('Products');
    await page.press('Enter');
    await page.waitForUrl(beside(file, 'products.html'));
    await page.close();
  });

  it('follows a sub link', async () => {
    const page = await openMenu(file);
    await page.focus('More About us');
    await page.press('Enter');
    await rowSlidIn(page, 2);
    await page.press('Tab');
    await page.press('Enter');
    await page.waitForUrl(beside(file, 'team.html'));
    await page.close();
  });
});
