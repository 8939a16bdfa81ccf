// The visitor's system settings: with less motion asked for, a row shows at once; in
// forced colours, where the look's colours give way to the system's, the arrow stays an
// arrow and the open row, its button and the item under the pointer are outlined.
import { describe, it } from 'node:test';
import assert from 'node:assert/strict';
import { openMenu, engine } from '../lib/engines.mjs';
import { publishMenu } from '../lib/project.mjs';
import { SHOP_ITEMS, rowShown } from '../lib/menus.mjs';

describe('less motion', () => {
  it('shows a row at once, where it otherwise slides in', async () => {
    const file = publishMenu({ items: SHOP_ITEMS });
    const slides = [];
    for (const reducedMotion of [false, true]) {
      const page = await openMenu(file, { reducedMotion });
      // Whether the row slid is heard from its transition starting, not seen while it
      // runs: on a busy machine a 0.2 s slide may be over before the test looks.
      await page.eval(() => {
        window.slid = false;
        window.__menu().addEventListener('transitionrun', (e) => { if (e.target.id === 'row-1') window.slid = true; });
      });
      await page.hover('Products');
      assert.equal(await rowShown(page, 1), true);
      // The event comes with the next frame, which a busy machine may draw late: with
      // motion it is waited for; without, two frames are, in which a slide begun when the
      // row showed would have been announced.
      if (reducedMotion) {
        await page.eval(() => { window.framesDrawn = 0; requestAnimationFrame(() => requestAnimationFrame(() => { window.framesDrawn = 2; })); });
        await page.waitFor(() => window.framesDrawn === 2);
      } else {
        await page.waitFor(() => window.slid).catch(() => {});
      }
      slides.push(await page.eval(() => [getComputedStyle(window.__menu().getElementById('row-1')).transitionDuration, window.slid]));
      await page.close();
    }
    assert.deepEqual(slides, [['0.2s', true], ['0s', false]]);
  });
});

describe('forced colours', { skip: !engine.settings.includes('forcedColors') && `${engine.name} has no forced colours` }, () => {
  it('keeps the arrow a character and outlines the open row, its button and the item under the pointer', async () => {
    const page = await openMenu(publishMenu({ items: SHOP_ITEMS }), { forcedColors: true });
    assert.equal(await page.eval(() => matchMedia('(forced-colors: active)').matches), true);
    await page.click('More About us');
    await page.hover('Team');
    const seen = await page.eval(() => {
      const outline = (e) => getComputedStyle(e).outlineStyle;
      const button = window.__named('More About us');
      return {
        arrow: getComputedStyle(button, '::after').content.includes('\u25BE'),
        open: outline(button), closed: outline(window.__named('More Products')),
        row: outline(window.__menu().getElementById('row-2')),
        hovered: outline(window.__named('Team')), other: outline(window.__named('Home')),
      };
    });
    assert.deepEqual(seen, { arrow: true, open: 'solid', closed: 'none', row: 'solid', hovered: 'solid', other: 'none' });
    assert.deepEqual(await page.problems(), []);
    await page.close();
  });
});
