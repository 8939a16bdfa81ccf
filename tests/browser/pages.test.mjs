// The help pages and the samples as they lie beside the program: every page the
// window opens is there, every link leads to a file that exists, the samples are the
// published pages of their projects and work, and axe finds nothing wrong.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync, existsSync } from 'node:fs';
import path from 'node:path';
import { launch, openPage } from './lib/browser.mjs';
import { binDir } from './lib/project.mjs';
import { readMenu, rowSlidIn } from './lib/menus.mjs';
import { axeViolations, WCAG21 } from './lib/axe.mjs';

// The pages the help buttons open, by their tag.
const CONTEXT_PAGES = [
  'getting_started.htm', 'customizing_fl_flash_main_menu_items.htm', 'customizing_fl_flash_sub_menu_items.htm',
  'customizing_fl_ext_sound.htm', 'customizing_fl_ext_submenu.htm', 'customizing_fl_ext_menu_box.htm',
  'customizing_fl_item_item_text.htm', 'customizing_fl_item_item_link.htm', 'customizing_fl_path_path.htm',
  'faq_flash_local_security_warning_dialog.htm',
];
const HELP = ['index.html', ...CONTEXT_PAGES].map((name) => path.join(binDir, 'help', name));
const SAMPLES = ['classic', 'harbour', 'paper'];

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser?.close(); });

describe('help pages', () => {
  it('are all beside the program, and the index leads to each of them', () => {
    const index = readFileSync(HELP[0], 'utf8');
    for (const name of CONTEXT_PAGES) {
      assert.ok(existsSync(path.join(binDir, 'help', name)), name);
      assert.ok(index.includes(`href="${name}"`), `index links ${name}`);
    }
  });

  it('lead only to files that exist, and to no site on the network', async () => {
    for (const file of HELP) {
      const { page, problems, context } = await openPage(browser, file);
      const links = await page.evaluate(() => [...document.querySelectorAll('a[href], link[href]')].map((a) => a.href));
      for (const link of links) {
        assert.ok(link.startsWith('file://'), `${path.basename(file)}: ${link}`);
        assert.ok(existsSync(new URL(link.split('#')[0]).pathname), `${path.basename(file)}: ${link}`);
      }
      assert.equal(await page.evaluate(() => getComputedStyle(document.body).margin), '0px', 'the style sheet is found');
      assert.deepEqual(problems, []);
      await context.close();
    }
  });

  it('give every field its range and default as the program has them', () => {
    const text = (name) => readFileSync(path.join(binDir, 'help', name), 'utf8');
    const rows = {
      'customizing_fl_flash_main_menu_items.htm': ['<td>Ext. Width</td><td>1 to 9999 px</td><td>25</td>', '<td>Height</td><td>1 to 9999 px</td><td>20</td>',
        '<td>Size</td><td>1 to 100 px</td><td>11</td>', '<td>Text</td><td>a colour</td><td>FFFFFF</td>', '<td>Hover</td><td>a colour</td><td>92DDFA</td>'],
      'customizing_fl_flash_sub_menu_items.htm': ['<td>Height</td><td>-9999 to 9999 px</td><td>15</td>', '<td>Size</td><td>1 to 1000 px</td><td>9</td>',
        '<td>Text</td><td>a colour</td><td>000000</td>', '<td>Hover</td><td>a colour</td><td>9E9E9E</td>'],
      'customizing_fl_ext_submenu.htm': ['<td>1 to 9999 ms</td><td>100</td>', '<td>Slide Speed</td><td>1 to 9999</td><td>3</td>'],
      'customizing_fl_ext_menu_box.htm': ['<td>Menu Box Width</td><td>1 to 9999 px</td><td>600</td>', '<td>Menu Box Height</td><td>1 to 9999 px</td><td>40</td>',
        '<td>z-index</td><td>-99999 to 99999</td><td>1000</td>'],
    };
    for (const [name, expected] of Object.entries(rows))
      for (const row of expected) assert.ok(text(name).includes(row), `${name}: ${row}`);
  });

  it('pass an axe scan', async () => {
    for (const file of HELP) {
      const { page, context } = await openPage(browser, file, { viewport: { width: 1000, height: 700 } });
      assert.deepEqual(await axeViolations(page), [], path.basename(file));
      await context.close();
    }
  });
});

describe('samples', () => {
  const sample = (name, ext) => path.join(binDir, 'samples', name + ext);

  it('are published beside the index with the script and the movie', () => {
    for (const name of [...SAMPLES.map((s) => s + '.html'), ...SAMPLES.map((s) => s + '.zorbel'), 'swfhelper.js', 'zelvanbar.swf'])
      assert.ok(existsSync(path.join(binDir, 'samples', name)), name);
    assert.equal(readFileSync(path.join(binDir, 'samples', 'swfhelper.js'), 'utf8'), readFileSync(path.join(binDir, 'swfhelper.js'), 'utf8'));
  });

  it('show the items of their projects and open a row, without errors', async () => {
    for (const name of SAMPLES) {
      // The project's item lines: caption first, level 0 for a main item.
      const lines = readFileSync(sample(name, '.zorbel'), 'utf8').split('\r\n');
      const items = lines.slice(lines.indexOf('<Item_Parameters>') + 1, lines.indexOf('</Item_Parameters>'))
        .map((line) => line.split('#$@'));
      const mains = items.filter((f) => f[6] === '0').map((f) => f[0]);
      const { page, problems, context } = await openPage(browser, sample(name, '.html'));
      // The menu readers take a page that evaluates by `eval` and waits by `waitFor`.
      const menuPage = { eval: (fn, arg) => page.evaluate(fn, arg), waitFor: (fn, arg) => page.waitForFunction(fn, arg) };
      const menu = await readMenu(menuPage, { openRows: true });
      assert.deepEqual(menu.map((m) => m.text), mains, name);
      assert.equal(menu.flatMap((m) => m.subs).length, items.length - mains.length, name);
      const withRow = menu.findIndex((m) => m.subs.length);
      await page.getByRole('link', { name: menu[withRow].text, exact: true }).hover();
      await rowSlidIn(menuPage, withRow);
      assert.deepEqual(await axeViolations(page, { runOnly: WCAG21 }), [], name);
      assert.deepEqual(problems, [], name);
      await context.close();
    }
  });

  it('lie in frames of the index page, which passes an axe scan', async () => {
    const { page, problems, context } = await openPage(browser, path.join(binDir, 'samples', 'index.html'), { viewport: { width: 1000, height: 900 } });
    const frames = await page.evaluate(() => [...document.querySelectorAll('iframe')].map((f) => f.getAttribute('src')));
    assert.deepEqual(frames, SAMPLES.map((s) => s + '.html'));
    for (const frame of page.frames().slice(1)) await frame.waitForSelector('nav');
    assert.deepEqual(await axeViolations(page), []);
    assert.deepEqual(problems, []);
    await context.close();
  });
});
