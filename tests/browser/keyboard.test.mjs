// The keyboard: Tab follows the items in order, Enter or Space on a disclosure button
// toggles its row, Escape closes it and gives the focus back to the button; the focus
// is always visible.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import path from 'node:path';
import { launch, openPage, fileUrl } from './lib/browser.mjs';
import { publishMenu } from './lib/project.mjs';
import { SHOP_ITEMS, targetPages, readMenu, rowShown, rowSlidIn, moreButton, menuLink } from './lib/menus.mjs';

let browser, file;
before(async () => {
  browser = await launch();
  file = publishMenu({ items: SHOP_ITEMS, files: targetPages() });
});
after(async () => { await browser?.close(); });

// The focused element as "link Name" or "button Name", with whether its focus shows:
// an outline at least 2 px wide, inside the menu box where it can be seen.
function focused(page) {
  return page.evaluate(() => {
    const e = document.activeElement;
    const nav = document.querySelector('nav');
    if (!nav.contains(e)) return { name: e.tagName.toLowerCase() };
    const s = getComputedStyle(e);
    const r = e.getBoundingClientRect();
    const hit = document.elementFromPoint(r.left + r.width / 2, r.top + r.height / 2);
    return {
      name: (e.tagName === 'A' ? 'link ' + e.textContent : 'button ' + e.getAttribute('aria-label')),
      visible: s.outlineStyle !== 'none' && parseFloat(s.outlineWidth) >= 2 && (hit === e || e.contains(hit)),
    };
  });
}

async function tabThrough(page, count) {
  const seen = [];
  for (let i = 0; i < count; i++) {
    await page.keyboard.press('Tab');
    seen.push(await focused(page));
  }
  return seen;
}

const shown = (name) => ({ name, visible: true });

describe('Tab order and visible focus', () => {
  it('visits main links and disclosure buttons in order, skipping closed rows', async () => {
    const { page, problems, context } = await openPage(browser, file);
    assert.deepEqual(await tabThrough(page, 7), [
      shown('link Home'), shown('link Products'), shown('button More Products'),
      shown('link About us'), shown('button More About us'), shown('link Blog'), { name: 'body' },
    ]);
    assert.deepEqual(problems, []);
    await context.close();
  });

  it('goes through the sub items of an open row before the next main item, and closes the row behind it', async () => {
    const { page, problems, context } = await openPage(browser, file);
    await tabThrough(page, 3);
    await page.keyboard.press('Enter');
    await rowSlidIn(page, 1);
    assert.deepEqual(await tabThrough(page, 4), [
      shown('link Product A'), shown('link Product B'), shown('link Café & Crème'), shown('link About us'),
    ]);
    assert.equal(await rowShown(page, 1), false);
    assert.equal((await readMenu(page))[1].button.expanded, 'false');
    assert.deepEqual(problems, []);
    await context.close();
  });

  it('goes back with Shift+Tab from a sub item to its button', async () => {
    const { page, context } = await openPage(browser, file);
    await moreButton(page, 'About us').focus();
    await page.keyboard.press('Space');
    await rowSlidIn(page, 2);
    await page.keyboard.press('Tab');
    await page.keyboard.press('Shift+Tab');
    assert.deepEqual(await focused(page), shown('button More About us'));
    assert.equal(await rowShown(page, 2), true);
    await context.close();
  });
});

describe('the disclosure button', () => {
  let page, problems, context;
  before(async () => { ({ page, problems, context } = await openPage(browser, file)); });
  after(async () => { await context.close(); });

  const expanded = async () => (await readMenu(page)).map((m) => m.button?.expanded ?? null);

  it('opens and closes the row with Enter', async () => {
    await moreButton(page, 'Products').focus();
    await page.keyboard.press('Enter');
    assert.deepEqual(await expanded(), [null, 'true', 'false', null]);
    assert.equal(await rowShown(page, 1), true);
    await page.keyboard.press('Enter');
    assert.deepEqual(await expanded(), [null, 'false', 'false', null]);
    assert.equal(await rowShown(page, 1), false);
  });

  it('opens and closes the row with Space, and opening one row closes the other', async () => {
    await page.keyboard.press('Space');
    assert.deepEqual(await expanded(), [null, 'true', 'false', null]);
    await moreButton(page, 'About us').focus();
    await page.keyboard.press('Space');
    assert.deepEqual(await expanded(), [null, 'false', 'true', null]);
    await page.keyboard.press('Space');
    assert.deepEqual(await expanded(), [null, 'false', 'false', null]);
  });

  it('closes the row with Escape from a sub item and gives the focus back to the button', async () => {
    await moreButton(page, 'Products').focus();
    await page.keyboard.press('Enter');
    await rowSlidIn(page, 1);
    await page.keyboard.press('Tab');
    await page.keyboard.press('Tab');
    assert.deepEqual(await focused(page), shown('link Product B'));
    await page.keyboard.press('Escape');
    assert.deepEqual(await focused(page), shown('button More Products'));
    assert.deepEqual(await expanded(), [null, 'false', 'false', null]);
  });

  it('closes a row that the pointer opened with Escape on its button', async () => {
    await menuLink(page, 'About us').hover();
    await moreButton(page, 'About us').focus();
    await page.keyboard.press('Escape');
    assert.deepEqual(await expanded(), [null, 'false', 'false', null]);
    assert.deepEqual(problems, []);
  });
});

describe('Enter on a link', () => {
  it('follows a main link, also one with sub items', async () => {
    const { page, problems, context } = await openPage(browser, file);
    await menuLink(page, 'Products').focus();
    await Promise.all([page.waitForURL(fileUrl(path.join(path.dirname(file), 'products.html'))), page.keyboard.press('Enter')]);
    assert.deepEqual(problems, []);
    await context.close();
  });

  it('follows a sub link', async () => {
    const { page, context } = await openPage(browser, file);
    await moreButton(page, 'About us').focus();
    await page.keyboard.press('Enter');
    await rowSlidIn(page, 2);
    await page.keyboard.press('Tab');
    await Promise.all([page.waitForURL(fileUrl(path.join(path.dirname(file), 'team.html'))), page.keyboard.press('Enter')]);
    await context.close();
  });
});
