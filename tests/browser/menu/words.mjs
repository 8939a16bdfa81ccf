// The menu's own words, "More" (which with a caption names each row's button) and
// "Menu" (which also names the menu), come from the language of the page where the box
// stands: the lang of the box's nearest ancestor, by its primary language; English, and
// the name "Site menu", for any language the menu has no words for.
import { describe, it, before } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync, writeFileSync } from 'node:fs';
import { openMenu } from '../lib/engines.mjs';
import { publishMenu } from '../lib/project.mjs';
import { LONG_ITEMS, readLayout } from '../lib/menus.mjs';

let published;
before(() => { published = readFileSync(publishMenu({ items: LONG_ITEMS }), 'latin1'); });

// Each case: the page's language as written, the words the menu then shows, and the
// menu's name.
const CASES = [
  ['<html lang="de">', 'Mehr', 'Menü', 'Menü'],
  ['<html lang="zh-CN">', '更多', '菜单', '菜单'],
  ['<html lang="ar" dir="rtl">', 'المزيد', 'القائمة', 'القائمة'],
  ['<html lang="hi">', 'और', 'मेनू', 'मेनू'],
  ['<html lang="fr-CA">', 'Plus', 'Menu', 'Menu'],
  ['<html lang="fi">', 'More', 'Menu', 'Site menu'],
  ['<html>', 'More', 'Menu', 'Site menu'],
  ['<html lang="en"> with the box in <div lang="ja">', 'その他', 'メニュー', 'メニュー'],
];

describe('the menu\'s words in the page\'s language', () => {
  for (const [html, more, menu, name] of CASES) {
    it(`are "${more}" and "${menu}" for ${html}`, async () => {
      const file = publishMenu({ items: [] }).replace(/menu\.html$/, 'words.html');
      const [tag, inner] = html.split(' with the box in ');
      let text = published.replace('<html lang="en">', tag);
      if (inner) text = text.replace('<!-- COPY START FROM HERE -->', inner).replace('<!-- END OF COPYING -->', '</div>');
      writeFileSync(file, Buffer.from(text, 'latin1'));
      const page = await openMenu(file, { width: 1280, height: 600 });
      const names = () => page.eval(() => {
        const menu = window.__menu();
        return [menu.querySelector('nav').getAttribute('aria-label'), menu.querySelector('.bar button:empty').getAttribute('aria-label')];
      });
      assert.equal((await readLayout(page)).button, more);
      assert.deepEqual(await names(), [name, `${more} ${LONG_ITEMS[0].text}`]);
      assert.deepEqual(await page.problems(), []);
      await page.close();
      const narrow = await openMenu(file, { width: 375, height: 600 });
      assert.equal((await readLayout(narrow)).button, menu);
      await narrow.close();
    });
  }
});
