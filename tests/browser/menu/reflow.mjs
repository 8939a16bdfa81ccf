// Long captions and long lists: rows grow with their text, long captions wrap so that
// nothing scrolls sideways (reflow at 320 CSS px), and an open list or row never
// reaches past the viewport, also in a fixed header: it scrolls within itself.
import { describe, it } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync, writeFileSync } from 'node:fs';
import { openMenu } from '../lib/engines.mjs';
import { publishMenu } from '../lib/project.mjs';
import { targetPages, beside } from '../lib/menus.mjs';

const LONG = 'A caption of fifty-three characters that wraps on phones';
const LONGER = 'Section with a caption of two hundred and forty characters, which no phone shows on one line, nor a window on a desk: ' +
  'a row of sub items in the bar is never wider than the window, and its captions wrap within it instead of widening the page';

// Where the menu's items lie: their boxes, their text's box, and whether the page
// scrolls sideways.
const layout = (page) => page.eval(() => {
  const root = document.documentElement;
  return {
    sideways: root.scrollWidth > root.clientWidth,
    items: [...window.__menu().querySelectorAll('a, button, span')].filter((e) => e.checkVisibility()).map((e) => {
      const range = document.createRange();
      range.selectNodeContents(e);
      const box = e.getBoundingClientRect(), text = range.getBoundingClientRect();
      return { name: e.getAttribute('aria-label') ?? e.textContent, top: box.top, bottom: box.bottom, left: box.left, right: box.right,
        textInside: !e.textContent || (text.top >= box.top - 0.5 && text.bottom <= box.bottom + 0.5), textHeight: text.height,
        inWindow: box.left >= -0.5 && box.right <= root.clientWidth + 0.5 };
    }),
  };
});

describe('long captions', () => {
  const items = [
    { text: LONG, link: 'long.html', subs: [{ text: LONGER, link: 'longer.html' }, { text: 'Short', link: 'short.html' }] },
    { text: 'Home', link: 'home.html' },
  ];

  it('make their rows grow in the phone list, none over another, and a tap lands on the item under it', async () => {
    const file = publishMenu({ items, files: targetPages(items) });
    const page = await openMenu(file, { width: 375, height: 667, touch: true });
    await page.tap('Menu');
    await page.tap('More ' + LONG);
    const { items: drawn, sideways } = await layout(page);
    assert.equal(sideways, false);
    const list = drawn.filter((item) => item.name !== 'Menu').sort((a, b) => a.top - b.top || a.left - b.left);
    for (const item of list) assert.deepEqual([item.name, item.textInside, item.inWindow], [item.name, true, true]);
    // Items on the same line stand side by side; on the next line, below.
    for (let i = 1; i < list.length; i++) {
      const [above, below] = [list[i - 1], list[i]];
      assert.ok(below.top >= above.bottom - 0.5 || below.left >= above.right - 0.5, `${below.name} over ${above.name}`);
    }
    await page.tap('Home');
    await page.waitForUrl(beside(file, 'home.html'));
    await page.close();
  });

  for (const [where, size] of [['the phone list at 320 px', { width: 320, height: 640 }], ['a row in the bar at 1024 px', { width: 1024, height: 600 }]]) {
    it(`wrap in ${where}, and nothing scrolls sideways`, async () => {
      const page = await openMenu(publishMenu({ items, look: { flMenuMaxWidth: '900' } }), size);
      if (size.width < 640) await page.click('Menu');
      await page.click('More ' + LONG);
      const { items: drawn, sideways } = await layout(page);
      const [longer, short] = [LONGER, 'Short'].map((name) => drawn.find((item) => item.name === name));
      assert.deepEqual([sideways, longer.inWindow, longer.textInside, longer.textHeight > 1.5 * short.textHeight], [false, true, true, true]);
      assert.deepEqual(await page.problems(), []);
      await page.close();
    });
  }
});

describe('long lists in a fixed header', () => {
  // 300 main items, the first with 40 sub items, in a header fixed at the top of a long
  // page.
  const items = Array.from({ length: 300 }, (_, i) => ({
    text: `Item ${i + 1}`, link: `${i + 1}.html`,
    subs: i ? [] : Array.from({ length: 40 }, (__, j) => ({ text: `Sub ${j + 1}`, link: `s${j + 1}.html` })),
  }));
  const fixed = () => {
    const file = publishMenu({ items });
    const text = readFileSync(file, 'latin1')
      .replace('<!-- COPY START FROM HERE -->', '<div style="position:fixed;top:0;left:0;right:0;background:#fff">')
      .replace('<!-- END OF COPYING -->', '</div><div style="height:3000px"></div>');
    writeFileSync(file, text, 'latin1');
    return file;
  };

  // Opens BUTTON and then the row of Item 1 where it is in the list; returns where the
  // list ends, and whether LAST, scrolled into view within the list, is reached.
  async function scrollTo(page, buttons, last) {
    for (const button of buttons) await page.click(button);
    const list = await page.eval(() => {
      const list = window.__menu().getElementById('list').getBoundingClientRect();
      return { bottom: list.bottom, height: innerHeight };
    });
    await page.eval((name) => window.__named(name).scrollIntoView({ block: 'nearest' }), last);
    return { ...list, last: await page.reach(last) };
  }

  for (const [layout, size, buttons, last] of [
    ['the "More" list of 300 main items at 1280 px', { width: 1280, height: 600 }, ['More'], 'Item 300'],
    ['the "Menu" list with a row of 40 sub items open at 375 px', { width: 375, height: 667 }, ['Menu', 'More Item 1'], 'Sub 40'],
  ]) {
    it(`keep ${layout} within the viewport, scrolling within itself to its last item`, async () => {
      const page = await openMenu(fixed(), size);
      const seen = await scrollTo(page, buttons, last);
      assert.ok(seen.bottom <= seen.height + 0.5, JSON.stringify(seen));
      assert.deepEqual([seen.last.reached, seen.last.inView], [true, true]);
      assert.equal(await page.eval(() => scrollY), 0, 'the page itself did not scroll');
      assert.deepEqual(await page.problems(), []);
      await page.close();
    });
  }
});
