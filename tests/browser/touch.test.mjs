// Touch: the first tap on a main item with sub items opens its row, the second follows
// its link; other links follow at the first tap.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import path from 'node:path';
import { launch, openPage, fileUrl } from './lib/browser.mjs';
import { publishMenu } from './lib/project.mjs';
import { SHOP_ITEMS, targetPages, rowShown, rowSlidIn, menuLink, readMenu } from './lib/menus.mjs';

let browser, file;
before(async () => {
  browser = await launch();
  file = publishMenu({ items: SHOP_ITEMS, files: targetPages() });
});
after(async () => { await browser?.close(); });

const target = (name) => fileUrl(path.join(path.dirname(file), name));

describe('taps on a touch screen', () => {
  it('opens the row at the first tap on a main item with sub items and follows its link at the second', async () => {
    const { page, problems, context } = await openPage(browser, file, { touch: true });
    await menuLink(page, 'Products').tap();
    assert.equal(await rowShown(page, 1), true);
    assert.equal(page.url(), fileUrl(file));
    assert.equal((await readMenu(page))[1].button.expanded, 'true');
    await Promise.all([page.waitForURL(target('products.html')), menuLink(page, 'Products').tap()]);
    assert.deepEqual(problems, []);
    await context.close();
  });

  it('moves the open row to another main item at the first tap on it', async () => {
    const { page, context } = await openPage(browser, file, { touch: true });
    await menuLink(page, 'Products').tap();
    await menuLink(page, 'About us').tap();
    assert.deepEqual([await rowShown(page, 1), await rowShown(page, 2), page.url()], [false, true, fileUrl(file)]);
    await context.close();
  });

  it('follows a sub item at the first tap', async () => {
    const { page, context } = await openPage(browser, file, { touch: true });
    await menuLink(page, 'About us').tap();
    await rowSlidIn(page, 2);
    await Promise.all([page.waitForURL(target('team.html')), menuLink(page, 'Team').tap()]);
    await context.close();
  });

  it('follows a main item without sub items at the first tap', async () => {
    const { page, context } = await openPage(browser, file, { touch: true });
    await Promise.all([page.waitForURL(target('home.html')), menuLink(page, 'Home').tap()]);
    await context.close();
  });

  it('closes the open row at a tap outside the menu', async () => {
    const { page, problems, context } = await openPage(browser, file, { touch: true });
    await menuLink(page, 'Products').tap();
    await page.touchscreen.tap(400, 250);
    assert.equal(await rowShown(page, 1), false);
    assert.deepEqual(problems, []);
    await context.close();
  });

  it('lets Enter follow a main link after a tap elsewhere in the menu', async () => {
    const { page, context } = await openPage(browser, file, { touch: true });
    await menuLink(page, 'Home').evaluate((a) => a.addEventListener('click', (e) => e.preventDefault()));
    await menuLink(page, 'Home').tap();
    await menuLink(page, 'Products').focus();
    await Promise.all([page.waitForURL(target('products.html')), page.keyboard.press('Enter')]);
    await context.close();
  });
});
