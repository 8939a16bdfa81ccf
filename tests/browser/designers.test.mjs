// The menu pasted into designers' pages (lib/designers.mjs), in the engine
// QUILLAMERE_ENGINE names, at a phone's width and at 1280 px: every item is reached by
// mouse, touch and keyboard; the menu looks as on a page of its own, whatever the
// page's style sheet says; the page's own elements look as they would without the
// menu; axe finds nothing wrong. Run: run.mjs --engine NAME designers.test.mjs.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync, writeFileSync } from 'node:fs';
import { openMenu, closeBrowsers } from './lib/engines.mjs';
import { unreached, beside } from './lib/menus.mjs';
import { DESIGNS, designerPage } from './lib/designers.mjs';
import { axeViolations, WCAG21 } from './lib/axe.mjs';

after(closeBrowsers);

const SIZES = [['a phone', { width: 375, height: 667 }], ['a desk', { width: 1280, height: 720 }]];

// How each drawn part of the menu looks: its size as laid out (which a transform does
// not change) and the properties a page's style sheet would change. The nav is the
// box's own size, which the page decides.
const menuLook = (page) => page.eval(() => [...window.__menu().querySelectorAll('ul, li, a, button, span')]
  .filter((e) => e.checkVisibility()).map((e) => {
    const s = getComputedStyle(e);
    return [e.localName, e.getAttribute('aria-label') ?? (e.children.length ? '' : e.textContent), e.offsetWidth, e.offsetHeight,
      ...['color', 'background-color', 'font', 'letter-spacing', 'word-spacing', 'text-transform', 'text-indent', 'white-space',
        'border-top-width', 'margin-left', 'padding-top', 'float', 'list-style-type'].map((name) => s.getPropertyValue(name))].join(' | ');
  }));

// How the page's own elements look, outside the hidden link block and the box.
const pageLook = (page) => page.eval(() => [document.styleSheets.length, ...[...document.body.querySelectorAll('*')]
  .filter((e) => !e.closest('#buAj, #mkvo_menu_zelvan_outer_div') && !['SCRIPT', 'STYLE'].includes(e.tagName)).map((e) => {
    const s = getComputedStyle(e);
    return [e.tagName, e.offsetLeft, e.offsetTop, e.offsetWidth, e.offsetHeight, ...['display', 'position', 'float', 'margin', 'padding',
      'border-top-width', 'color', 'background-color', 'font', 'list-style-type', 'box-sizing', 'text-align'].map((name) => s.getPropertyValue(name))].join(' | ');
  })]);

// A copy of FILE with TEXT's edit.
function copyWith(file, name, edit) {
  const copy = file.replace(/[^/]*\.html$/, name);
  writeFileSync(copy, Buffer.from(edit(readFileSync(file, 'latin1')), 'latin1'));
  return copy;
}

for (const design of DESIGNS) {
  describe(`the designer's page "${design.name}"`, () => {
    let made, alone, bare;
    before(() => {
      made = designerPage(design);
      // The same menu on a page of its own, in the page's language and direction; and
      // the designer's page without the menu's script.
      alone = copyWith(made.published, 'alone.html', (html) => html.replace('<html lang="en">', `<html ${design.html}>`));
      bare = copyWith(made.page, 'bare.html', (html) => html.replace("<script src='swfhelper.js'></script>", ''));
    });

    for (const [device, size] of SIZES) {
      for (const how of ['mouse', 'touch', 'keyboard']) {
        it(`reaches every item by ${how} on ${device}`, async () => {
          const page = await openMenu(made.page, { ...size, touch: how === 'touch' });
          assert.deepEqual(await unreached(page, made.items, how), []);
          assert.deepEqual(await page.problems(), []);
          await page.close();
        });
      }

      it(`draws the menu on ${device} as on a page of its own, and leaves the page as it is without it`, async () => {
        const looks = {};
        for (const [name, file, read] of [['designer', made.page, menuLook], ['alone', alone, menuLook],
          ['page', made.page, pageLook], ['bare', bare, pageLook]]) {
          const page = await openMenu(file, size);
          looks[name] = await read(page);
          await page.close();
        }
        assert.deepEqual(looks.designer, looks.alone);
        assert.deepEqual(looks.page, looks.bare);
      });
    }

    it('passes an axe scan, the menu with every rule and the page with WCAG 2.1', async () => {
      const page = await openMenu(made.page, { width: 1280, height: 720 });
      assert.deepEqual([
        ...await axeViolations(page, { context: '#mkvo_menu_zelvan_outer_div' }),
        ...await axeViolations(page, { runOnly: WCAG21 }),
      ], []);
      await page.close();
    });

    if (design.charset) {
      it(`follows links beyond ASCII to their files, though the page is in ${design.charset}`, async () => {
        for (const [item, target] of [[['Café'], 'café/naïve ü.html'], [['Products', 'Crème brûlée'], 'crème brûlée.html']]) {
          const page = await openMenu(made.page, { width: 1280, height: 720 });
          for (const [i, name] of item.entries()) await (i < item.length - 1 ? page.hover(name) : page.click(name));
          await page.waitForUrl(beside(made.page, target));
          await page.close();
        }
      });
    }
  });
}
