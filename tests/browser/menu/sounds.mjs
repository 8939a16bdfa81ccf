// The three sounds play from the page's folder when they are set. Before the visitor's
// first click or key press the browser would refuse them: nothing is tried then, and
// nothing goes wrong.
import { describe, it, before, after } from 'node:test';
import assert from 'node:assert/strict';
import path from 'node:path';
import { openMenu, PATIENCE } from '../lib/engines.mjs';
import { publishMenu } from '../lib/project.mjs';
import { rowSlidIn } from '../lib/menus.mjs';
import { fileUrl } from '../lib/browser.mjs';

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

// Records every sound the page asks to play, with how the browser answered.
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
const plays = (page) => page.eval(() => window.plays.map((p) => p.src));
// WebKit's media pipeline answers a play long after the click when the disk is busy
// (over 30 s beside the sanitizer build's crash tests, the same run otherwise green):
// the outcome is waited for with more patience than the page's other events.
const SOUND_PATIENCE = 8 * PATIENCE;
const outcomes = (page, enough = 0) => page.waitFor((least) => window.plays.length >= least &&
  window.plays.every((p) => p.outcome !== 'pending') && window.plays.map((p) => p.outcome), enough, SOUND_PATIENCE);
const settled = (page) => outcomes(page);

// Links to anchors keep the page in place while the click sound plays.
const ITEMS = [{ text: 'One', link: '#one', subs: [{ text: 'One A', link: '#one-a' }] }, { text: 'Two', link: '#two' }];
const SOUNDS = { mainItemHoverSound: 'main hover.wav', subItemHoverSound: 'sub.wav', itemActiveSound: 'click.wav' };

describe('the sounds', () => {
  let file, boxes;
  before(async () => {
    file = publishMenu({
      items: ITEMS, look: SOUNDS,
      files: { 'main hover.wav': silentWave(), 'sub.wav': silentWave(), 'click.wav': silentWave() },
    });
    // Where the items lie, learnt on a page of its own: on the page under test the
    // pointer must move before any script of the test runs there, since a test's own
    // script may count as a visitor's gesture.
    const probe = await openMenu(file);
    await probe.hover('One');
    await rowSlidIn(probe, 0);
    boxes = { one: await probe.centre('One'), oneA: await probe.centre('One A') };
    await probe.close();
  });
  const inFolder = (name) => fileUrl(path.join(path.dirname(file), name));

  it('tries no sound before the first click or key press, and raises no error', async () => {
    const page = await openMenu(file, { init: recordPlays });
    await page.move(...boxes.one);
    await new Promise((resolve) => setTimeout(resolve, 500));
    await page.move(...boxes.oneA);
    await page.move(700, 250);
    await page.move(...boxes.one);
    const state = await page.eval(() => ({ plays: window.plays, rowOpen: window.__menu().querySelector('button').getAttribute('aria-expanded') }));
    assert.deepEqual(state, { plays: [], rowOpen: 'true' });
    assert.deepEqual(await page.problems(), []);
    await page.close();
  });

  describe('after the first click', () => {
    let page;
    before(async () => { page = await openMenu(file, { init: recordPlays }); });
    after(() => page.close());
    const clearPlays = () => page.eval(() => { window.plays.length = 0; });

    it('plays the click sound from the page folder when an item is activated', async () => {
      await page.clickAt(700, 250);
      await page.hover('Two');
      await clearPlays();
      await page.click('Two');
      assert.deepEqual(await plays(page), [inFolder('click.wav')]);
      assert.deepEqual(await settled(page), ['played']);
    });

    it('plays the main and sub hover sounds from the page folder', async () => {
      await page.move(700, 250);
      await clearPlays();
      await page.hover('One');
      await rowSlidIn(page, 0);
      await page.hover('One A');
      assert.deepEqual(await plays(page), [inFolder('main hover.wav'), inFolder('sub.wav')]);
      assert.deepEqual(await settled(page), ['played', 'played']);
      assert.deepEqual(await page.problems(), []);
    });
  });
});

describe('without sounds', () => {
  it('plays nothing when no sound is set', async () => {
    const page = await openMenu(publishMenu({ items: ITEMS }), { init: recordPlays });
    await page.clickAt(700, 250);
    await page.click('Two');
    await page.hover('One');
    assert.deepEqual(await plays(page), []);
    assert.deepEqual(await page.problems(), []);
    await page.close();
  });

  it('raises no uncaught error when a sound file is missing', async () => {
    const page = await openMenu(publishMenu({ items: ITEMS, look: SOUNDS }), { init: recordPlays });
    await page.clickAt(700, 250);
    await page.click('Two');
    await page.hover('One');
    assert.deepEqual([...new Set(await outcomes(page, 2))], ['NotSupportedError']);
    assert.deepEqual(await page.problems(), []);
    await page.close();
  });
});
