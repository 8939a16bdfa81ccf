// A click follows the link in its target: the same frame when the target is empty or
// "_self", a new window for "_blank", a named frame by its name.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync, writeFileSync } from 'node:fs';
import { launch, openPage, fileUrl } from './lib/browser.mjs';
import { publishMenu } from './lib/project.mjs';
import { SHOP_ITEMS, targetPages, menuLink } from './lib/menus.mjs';
import path from 'node:path';

let browser, file;
before(async () => {
  browser = await launch();
  file = publishMenu({ items: SHOP_ITEMS, files: targetPages() });
});
after(async () => { await browser?.close(); });

const target = (name) => fileUrl(path.join(path.dirname(file), name));

describe('a click follows the link in its target', () => {
  it('opens a main item with target _self in the same window', async () => {
    const { page, problems, context } = await openPage(browser, file);
    await Promise.all([page.waitForURL(target('home.html')), menuLink(page, 'Home').click()]);
    assert.equal(await page.title(), 'home.html');
    assert.deepEqual(problems, []);
    await context.close();
  });

  it('opens a main item with sub items on click, with the row already open from the hover', async () => {
    const { page, context } = await openPage(browser, file);
    await Promise.all([page.waitForURL(target('products.html')), menuLink(page, 'Products').click()]);
    await context.close();
  });

  it('opens a sub item with an empty target in the same window', async () => {
    const { page, problems, context } = await openPage(browser, file);
    await menuLink(page, 'Products').hover();
    await Promise.all([page.waitForURL(target('cafe.html')), menuLink(page, 'Café & Crème').click()]);
    assert.deepEqual(problems, []);
    await context.close();
  });

  it('opens a link with target _blank in a new window and leaves the menu page as it was', async () => {
    const { page, problems, context } = await openPage(browser, file);
    await menuLink(page, 'Products').hover();
    const [popup] = await Promise.all([context.waitForEvent('page'), menuLink(page, 'Product B').click()]);
    await popup.waitForLoadState();
    assert.deepEqual([popup.url(), page.url()], [target('b.html'), fileUrl(file)]);
    const [blog] = await Promise.all([context.waitForEvent('page'), menuLink(page, 'Blog').click()]);
    await blog.waitForLoadState();
    assert.equal(blog.url(), target('blog.html'));
    assert.deepEqual(problems, []);
    await context.close();
  });

  it('opens a link in the frame its target names', async () => {
    const items = [{ text: 'Into the frame', link: 'home.html', target: 'side' }];
    const framed = publishMenu({ items, files: targetPages([{ link: 'home.html' }]) });
    // The designer's page holds a frame named "side" below the menu.
    writeFileSync(framed, readFileSync(framed, 'utf8').replace('</body>', '<iframe name="side" title="side"></iframe>\r\n</body>'));
    const { page, problems, context } = await openPage(browser, framed);
    await menuLink(page, 'Into the frame').click();
    const frame = page.frame({ name: 'side' });
    await frame.waitForURL(fileUrl(path.join(path.dirname(framed), 'home.html')));
    assert.equal(page.url(), fileUrl(framed));
    assert.deepEqual(problems, []);
    await context.close();
  });
});
