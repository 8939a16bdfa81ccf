// Stored text never leaves its attribute: hostile links, targets, fonts and sound
// names are published and the page is read back through the browser's own HTML
// parser, first with scripts off (the page as written), then with them on (nothing
// runs that the designer did not write).
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { launch, fileUrl } from './lib/browser.mjs';
import { publishMenu } from './lib/project.mjs';

const HOSTILE = [
  { text: 'Quote\'s "caption" <b>bold</b>', link: "x' onmouseover='alert(1)", target: "_self'><script>alert(2)</script>" },
  {
    text: 'Back\\slash', link: 'a\\\'b&amp;c"d<e>', target: '_blank" onclick="alert(3)',
    subs: [{ text: 'Sub', link: 'javascript&colon;alert(4)', target: '</div><img src=x onerror=alert(5)>' }],
  },
];
const LOOK = {
  mainItemFont: 'arial" onload="alert(6)',
  subItemFont: "verdana'><script>alert(7)</script>",
  mainItemHoverSound: 'a"><script>alert(8)</script>.mp3',
  subItemHoverSound: "b'.mp3",
  itemActiveSound: 'c&amp;.mp3',
};
const EXPECTED_LINKS = [
  { href: HOSTILE[0].link, target: HOSTILE[0].target },
  { href: HOSTILE[1].link, target: HOSTILE[1].target },
  { href: HOSTILE[1].subs[0].link, target: HOSTILE[1].subs[0].target },
];

let browser, file;
before(async () => {
  browser = await launch();
  file = publishMenu({ look: LOOK, items: HOSTILE });
});
after(async () => { await browser?.close(); });

describe('hostile stored text', () => {
  it('reads back exactly as stored, attribute by attribute, with no element added', async () => {
    const context = await browser.newContext({ javaScriptEnabled: false });
    const page = await context.newPage();
    await page.goto(fileUrl(file));
    const seen = await page.evaluate(() => {
      const block = document.getElementById('buAj');
      return {
        links: [...block.querySelectorAll('a')].map((a) => ({ href: a.getAttribute('href'), target: a.getAttribute('target') })),
        blockElements: [...block.querySelectorAll('*')].map((e) => e.tagName).join(' '),
        attributesOnLinks: [...block.querySelectorAll('a')].map((a) => a.getAttributeNames().join(',')),
        flashVars: document.querySelector('param[name="FlashVars"]').getAttribute('value'),
        scripts: document.querySelectorAll('script').length,
        handlers: [...document.querySelectorAll('*')].filter((e) => e.getAttributeNames().some((n) => n.startsWith('on'))).length,
        images: document.querySelectorAll('img').length,
      };
    });
    assert.deepEqual(seen.links, EXPECTED_LINKS);
    assert.equal(seen.blockElements, 'DIV A DIV A DIV DIV A');
    assert.deepEqual(seen.attributesOnLinks, ['href,target', 'href,target', 'href,target']);
    const values = seen.flashVars.replace(/^flashparams=/, '').split('#$@');
    assert.equal(values.length, 18, 'seventeen values, each followed by the separator');
    assert.equal(values[2], LOOK.mainItemFont);
    assert.equal(values[8], LOOK.subItemFont);
    assert.deepEqual(values.slice(14, 17), [LOOK.mainItemHoverSound, LOOK.subItemHoverSound, LOOK.itemActiveSound]);
    assert.equal(seen.scripts, 2, 'only the box size and the script include');
    assert.equal(seen.handlers, 0);
    assert.equal(seen.images, 0);
    await context.close();
  });

  it('runs nothing the designer did not write when the menu is drawn and used', async () => {
    const context = await browser.newContext();
    const page = await context.newPage();
    const dialogs = [];
    page.on('dialog', (dialog) => { dialogs.push(dialog.message()); dialog.dismiss(); });
    await page.goto(fileUrl(file));
    const nav = page.getByRole('navigation', { name: 'Site menu' });
    await nav.waitFor();
    for (const link of await nav.getByRole('link').all()) await link.hover().catch(() => {});
    assert.deepEqual(dialogs, []);
    await context.close();
  });
});
