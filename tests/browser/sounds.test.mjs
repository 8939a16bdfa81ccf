// The three sounds play from the page's folder when they are set. Before the visitor's
// first click or key press the browser would refuse them: nothing is tried then, and
// nothing goes wrong.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import path from 'node:path';
import { launch, openPage, fileUrl } from './lib/browser.mjs';
import { publishMenu } from './lib/project.mjs';
import { SHOP_ITEMS, menuLink, rowSlidIn } from './lib/menus.mjs';

// A short silent sound: 8-bit mono PCM at 8 kHz, 50 ms.
function silentWave() {
  const samples = 400;
  const wave = Buffer.alloc(44 + samples, 0x80);
  wave.write('RIFF', 0); wave.writeUInt32LE(36 + samples, 4); wave.write('WAVEfmt ', 8);
  wave.writeUInt32LE(16, 16); wave.writeUInt16LE(1, 20); wave.writeUInt16LE(1, 22);
  wave.writeUInt32LE(8000, 24); wave.writeUInt32LE(8000, 28); wave.writeUInt16LE(1, 32); wave.writeUInt16LE(8, 34);
  wave.write('data', 36); wave.writeUInt32LE(samples, 40);
  return wave;
}

// Records every sound the page starts: its address, and whether the browser played it.
const recordPlays = () => {
  window.plays = [];
  const play = HTMLMediaElement.prototype.play;
  HTMLMediaElement.prototype.play = function () {
    const entry = { src: this.src, outcome: 'pending' };
    window.plays.push(entry);
    const started = play.call(this);
    started.then(() => { entry.outcome = 'played'; }, (e) => { entry.outcome = e.name; });
    return started;
  };
};
const plays = (page) => page.evaluate(() => window.plays.map((p) => p.src));

// Links to anchors keep the page in place while the click sound plays.
const ITEMS = [{ text: 'One', link: '#one', subs: [{ text: 'One A', link: '#one-a' }] }, { text: 'Two', link: '#two' }];
const SOUNDS = { mainItemHoverSound: 'main hover.wav', subItemHoverSound: 'sub.wav', itemActiveSound: 'click.wav' };

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser?.close(); });

describe('the sounds', () => {
  let file, folder, boxes;
  before(async () => {
    file = publishMenu({
      items: ITEMS, look: SOUNDS,
      files: { 'main hover.wav': silentWave(), 'sub.wav': silentWave(), 'click.wav': silentWave() },
    });
    folder = path.dirname(file);
    // Where the items lie, learnt on a page of its own: on the page under test the
    // pointer must move before any script of the test runs there, since the test's
    // own scripts count as a visitor's gesture.
    const probe = await openPage(browser, file);
    await menuLink(probe.page, 'One').hover();
    await rowSlidIn(probe.page, 0);
    boxes = { one: await menuLink(probe.page, 'One').boundingBox(), oneA: await menuLink(probe.page, 'One A').boundingBox() };
    await probe.context.close();
  });
  const inFolder = (name) => fileUrl(path.join(folder, name));
  const centre = (box) => [box.x + box.width / 2, box.y + box.height / 2];

  it('tries no sound before the first click or key press, and raises no error', async () => {
    const { page, problems, context } = await openPage(browser, file, { init: recordPlays });
    await page.mouse.move(...centre(boxes.one));
    await page.waitForTimeout(500);
    await page.mouse.move(...centre(boxes.oneA));
    await page.mouse.move(700, 250);
    await page.mouse.move(...centre(boxes.one));
    const state = await page.evaluate(() => ({ plays: window.plays, rowOpen: document.querySelector('nav button').getAttribute('aria-expanded') }));
    assert.deepEqual(state, { plays: [], rowOpen: 'true' });
    assert.deepEqual(problems, []);
    await context.close();
  });

  describe('after the first click', () => {
    let page, problems, context;
    before(async () => { ({ page, problems, context } = await openPage(browser, file, { init: recordPlays })); });
    after(async () => { await context.close(); });
    const clearPlays = () => page.evaluate(() => { window.plays.length = 0; });
    const outcomes = async () => {
      await page.waitForFunction(() => window.plays.every((p) => p.outcome !== 'pending'));
      return page.evaluate(() => window.plays.map((p) => p.outcome));
    };

    it('plays the click sound from the page folder when an item is activated', async () => {
      await page.mouse.click(700, 250);
      await menuLink(page, 'Two').hover();
      await clearPlays();
      await menuLink(page, 'Two').click();
      assert.deepEqual(await plays(page), [inFolder('click.wav')]);
      assert.deepEqual(await outcomes(), ['played']);
    });

    it('plays the main and sub hover sounds from the page folder', async () => {
      await page.mouse.move(700, 250);
      await clearPlays();
      await menuLink(page, 'One').hover();
      await rowSlidIn(page, 0);
      await menuLink(page, 'One A').hover();
      assert.deepEqual(await plays(page), [inFolder('main hover.wav'), inFolder('sub.wav')]);
      assert.deepEqual(await outcomes(), ['played', 'played']);
      assert.deepEqual(problems, []);
    });
  });
});

describe('without sounds', () => {
  it('plays nothing when no sound is set', async () => {
    const { page, problems, context } = await openPage(browser, publishMenu({ items: ITEMS }), { init: recordPlays });
    await page.mouse.click(700, 250);
    await menuLink(page, 'Two').click();
    await menuLink(page, 'One').hover();
    assert.deepEqual(await plays(page), []);
    assert.deepEqual(problems, []);
    await context.close();
  });

  it('raises no uncaught error when a sound file is missing', async () => {
    const { page, problems, context } = await openPage(browser, publishMenu({ items: ITEMS, look: SOUNDS }), { init: recordPlays });
    await page.mouse.click(700, 250);
    await menuLink(page, 'Two').click();
    await menuLink(page, 'One').hover();
    await page.waitForFunction(() => window.plays.length >= 2 && window.plays.every((p) => p.outcome !== 'pending'));
    const outcomes = await page.evaluate(() => [...new Set(window.plays.map((p) => p.outcome))]);
    assert.deepEqual(outcomes, ['NotSupportedError']);
    // The browser reports the missing files themselves; the script adds nothing.
    assert.deepEqual(problems.filter((p) => !p.includes('net::ERR_FILE_NOT_FOUND')), []);
    await context.close();
  });
});
