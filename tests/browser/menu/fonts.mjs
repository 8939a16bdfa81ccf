// The visitor's text settings win: with a minimum font size of 18 px (in Firefox also
// a text-only zoom of 150 %) every item grows with its text and no caption is cut.
import { describe, it } from 'node:test';
import assert from 'node:assert/strict';
import { openMenu } from '../lib/engines.mjs';
import { publishMenu } from '../lib/project.mjs';
import { SHOP_ITEMS, rowSlidIn } from '../lib/menus.mjs';

describe('the visitor\'s large text', () => {
  it('makes the items taller than the look says, their text inside them, the row below the bar', async () => {
    const page = await openMenu(publishMenu({ items: SHOP_ITEMS }), { largeText: true });
    await page.hover('Products');
    await rowSlidIn(page, 1);
    const seen = await page.eval(() => {
      const bar = window.__menu().querySelector('.bar').getBoundingClientRect();
      const row = window.__menu().getElementById('row-1').getBoundingClientRect();
      return {
        rowBelowBar: row.top >= bar.bottom - 0.5,
        // Each item with its height in the look.
        items: [['Home', 20], ['Products', 20], ['Product A', 15], ['Café & Crème', 15]].map(([name, look]) => {
          const link = window.__named(name);
          const range = document.createRange();
          range.selectNodeContents(link);
          const box = link.getBoundingClientRect(), text = range.getBoundingClientRect();
          const hit = window.__menu().elementFromPoint(text.left + 1, text.bottom - 1);
          return {
            name, taller: box.height > look,
            inside: text.top >= box.top - 0.5 && text.bottom <= box.bottom + 0.5 && text.right <= box.right + 0.5,
            shown: hit === link,
          };
        }),
      };
    });
    assert.equal(seen.rowBelowBar, true);
    for (const item of seen.items) assert.deepEqual(item, { name: item.name, taller: true, inside: true, shown: true });
    assert.deepEqual(await page.problems(), []);
    await page.close();
  });
});
