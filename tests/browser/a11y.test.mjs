// Accessibility scans with axe-core: the published page with the menu closed, with a
// row open, with a row opened from the keyboard, and the look of a new project.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { launch, openPage } from './lib/browser.mjs';
import { publishMenu } from './lib/project.mjs';
import { SHOP_ITEMS, menuLink, moreButton, rowSlidIn } from './lib/menus.mjs';
import { axeViolations, WCAG21, WCAG22 } from './lib/axe.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser?.close(); });

async function scan(page, wcag = WCAG21) {
  return [
    ...await axeViolations(page, { runOnly: wcag }),
    ...await axeViolations(page, { context: '#mkvo_menu_zelvan_outer_div' }),
  ];
}

describe('axe finds no violations with the look of a new project', () => {
  let page, problems, context;
  before(async () => { ({ page, problems, context } = await openPage(browser, publishMenu({ items: SHOP_ITEMS }))); });
  after(async () => { await context.close(); });

  it('in the published page with the menu closed', async () => {
    assert.deepEqual(await scan(page), []);
  });

  it('with a row opened by the pointer', async () => {
    await menuLink(page, 'Products').hover();
    await rowSlidIn(page, 1);
    assert.deepEqual(await scan(page), []);
  });

  it('with a row opened from the keyboard and the focus in it', async () => {
    await page.mouse.move(700, 250);
    await moreButton(page, 'About us').focus();
    await page.keyboard.press('Enter');
    await rowSlidIn(page, 2);
    await page.keyboard.press('Tab');
    assert.deepEqual(await scan(page), []);
    assert.deepEqual(problems, []);
  });
});

describe('axe finds no violations, target size included, with items 24 px high', () => {
  it('with the menu closed and with a row open', async () => {
    const look = { mainItemHeight: '24', subItemHeight: '24', flMenuMaxHeight: '51' };
    const { page, problems, context } = await openPage(browser, publishMenu({ items: SHOP_ITEMS, look }));
    assert.deepEqual(await scan(page, WCAG22), []);
    await menuLink(page, 'Products').hover();
    await rowSlidIn(page, 1);
    assert.deepEqual(await scan(page, WCAG22), []);
    assert.deepEqual(problems, []);
    await context.close();
  });
});
