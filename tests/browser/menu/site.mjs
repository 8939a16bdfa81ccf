// The menu published into a site's pages (quillamere-cli site): opened at every depth
// of the fixture site, every item of the menu leads to a page that exists.
import { describe, it, before } from 'node:test';
import assert from 'node:assert/strict';
import { cpSync, existsSync, rmSync, writeFileSync } from 'node:fs';
import { execFileSync } from 'node:child_process';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { openMenu } from '../lib/engines.mjs';
import { cli, newFolder, projectText } from '../lib/project.mjs';

const fixture = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../fixtures/site/input/site');

// The menu's links are read from the site's root, as the designer writes them.
const ITEMS = [
  { text: 'Home', link: 'index.html' },
  { text: 'About', link: 'about.html', subs: [{ text: 'Team', link: 'about.html#team' }] },
  {
    text: 'Products', link: 'products/index.html',
    subs: [
      { text: 'Boats', link: 'products/boats.html' },
      { text: 'Sails', link: 'products/sails/index.html' },
      { text: 'Knots', link: 'products/sails/rigging/knots.html' },
    ],
  },
  { text: 'Contact', link: 'contact.htm' },
];
const PAGES = ['index.html', 'products/boats.html', 'products/sails/index.html', 'products/sails/rigging/knots.html'];

let site;
before(() => {
  site = path.join(newFolder(), 'site');
  cpSync(fixture, site, { recursive: true, verbatimSymlinks: true });
  // The UTF-16 page is refused, which makes the command's exit status 1.
  rmSync(path.join(site, 'notes.html'));
  const project = path.join(path.dirname(site), 'menu.zorbel');
  writeFileSync(project, projectText({ mainItemHoverSound: 'hover.wav' }, ITEMS));
  writeFileSync(path.join(path.dirname(site), 'hover.wav'), 'RIFF');
  // The pages' earlier versions go to a data folder of the test's own.
  execFileSync(cli, ['site', project, '--site', site], {
    stdio: ['ignore', 'pipe', 'pipe'], env: { ...process.env, XDG_DATA_HOME: newFolder() },
  });
});

describe('the menu on every page of a site', () => {
  it('plays its sounds from the site\'s root on a page three folders down', async () => {
    const menu = await openMenu(path.join(site, 'products/sails/rigging/knots.html'), {
      init: () => {
        window.plays = [];
        HTMLMediaElement.prototype.play = function () { window.plays.push(this.src); return Promise.resolve(); };
      },
    });
    await menu.clickAt(700, 250);  // sound waits for the visitor's first gesture
    await menu.hover('About');
    assert.deepEqual(await menu.eval(() => window.plays), [pathToFileURL(path.join(site, 'hover.wav')).href]);
    await menu.close();
  });

  for (const page of PAGES) {
    for (const main of ITEMS) {
      for (const item of [main, ...(main.subs ?? [])]) {
        it(`on ${page} (depth ${page.split('/').length - 1}), "${item.text}" leads to ${item.link}`, async () => {
          const target = path.join(site, item.link.split('#')[0]);
          assert.ok(existsSync(target), `${target} exists`);
          const menu = await openMenu(path.join(site, page));
          if (item !== main) await menu.hover(main.text);
          await menu.click(item.text);
          const hash = item.link.includes('#') ? '#' + item.link.split('#')[1] : '';
          await menu.waitForUrl(pathToFileURL(target).href + hash);
          await menu.close();
        });
      }
    }
  }
});
