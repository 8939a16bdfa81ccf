// Accessibility scans with axe-core in every layout of the menu: closed, a row opened
// by the pointer and from the keyboard, the "More" list and the "Menu" list with a row
// open in them, the phone, and items high enough for WCAG 2.2's target size.
import { describe, it } from 'node:test';
import assert from 'node:assert/strict';
import { openMenu, engine } from '../lib/engines.mjs';
import { publishMenu } from '../lib/project.mjs';
import { SHOP_ITEMS, LONG_ITEMS, rowSlidIn } from '../lib/menus.mjs';
import { axeViolations, WCAG21, WCAG22 } from '../lib/axe.mjs';

const scan = async (page, wcag = WCAG21) => [
  ...await axeViolations(page, { runOnly: wcag }),
  ...await axeViolations(page, { context: '#mkvo_menu_zelvan_outer_div' }),
];
const TALL = { mainItemHeight: '24', subItemHeight: '24', flMenuMaxHeight: '51' };

// Each case: the layout, the menu and how it is opened, and the rules.
const CASES = [
  ['the bar with the menu closed', { items: SHOP_ITEMS }, {}, async () => {}],
  ['a row opened by the pointer', { items: SHOP_ITEMS }, {}, async (page) => {
    await page.hover('Products');
    await rowSlidIn(page, 1);
  }],
  ['a row opened from the keyboard with the focus in it', { items: SHOP_ITEMS }, {}, async (page) => {
    await page.focus('More About us');
    await page.press('Enter');
    await rowSlidIn(page, 2);
    await page.press('Tab');
  }],
  ['the "More" list with a row open in it', { items: LONG_ITEMS }, { width: 1280, height: 720 }, async (page) => {
    await page.click('More');
    await page.click('More ' + LONG_ITEMS[4].text);
  }],
  ['the "Menu" list of a narrow screen with a row open in it', { items: LONG_ITEMS }, { width: 375, height: 667 }, async (page) => {
    await page.click('Menu');
    await page.click('More ' + LONG_ITEMS[0].text);
  }],
  // The phone's coarse pointer makes every target 24 px at least, whatever the look.
  ['the phone with the list open, target size included', { items: LONG_ITEMS }, { phone: true }, async (page) => {
    await page.tap('Menu');
    await page.tap('More ' + LONG_ITEMS[1].text);
  }, WCAG22],
  ['items 24 px high, target size included, closed and open', { items: SHOP_ITEMS, look: TALL }, {}, async (page) => {
    assert.deepEqual(await scan(page, WCAG22), []);
    await page.hover('Products');
    await rowSlidIn(page, 1);
  }, WCAG22],
];

describe('axe finds no violations', () => {
  for (const [layout, menu, size, use, wcag] of CASES) {
    const phoneElsewhere = size.phone && engine.name !== 'chromium' && 'phone emulation is Chromium\'s';
    it(`in ${layout}`, { skip: phoneElsewhere }, async () => {
      const page = await openMenu(publishMenu(menu), size);
      await use(page);
      assert.deepEqual(await scan(page, wcag), []);
      assert.deepEqual(await page.problems(), []);
      await page.close();
    });
  }
});
