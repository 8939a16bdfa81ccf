// The three browser engines the menu is tried in, each from Debian and each driven by
// its own client, behind one small page interface so that every behaviour is written
// once:
//   chromium  Debian's Chromium through playwright-core (lib/browser.mjs);
//   firefox   Debian's Firefox ESR over WebDriver BiDi through puppeteer-core;
//   webkit    WebKitGTK's MiniBrowser through WebKitWebDriver and selenium-webdriver,
//             on an Xvfb display of its own.
// QUILLAMERE_ENGINE names the engine of a test run (chromium when unset).
//
// A page is opened from a copy of the published page beside it ("NAME.t.html") whose
// head ends with one more script: it records uncaught errors and console errors, and can hold
// the page's timers until the test advances them. Everything else is the page as
// published.
import { spawn, spawnSync } from 'node:child_process';
import { existsSync, readFileSync, writeFileSync, mkdirSync } from 'node:fs';
import { createServer } from 'node:net';
import path from 'node:path';
import { launch as launchChromium, CHROMIUM, fileUrl } from './browser.mjs';
import { newFolder } from './project.mjs';

// The visitor setting "large text": a minimum font size of 18 px everywhere, and in
// Firefox a text-only zoom of 150 % on top.
// How long a test waits for what must happen (a row reached, input seen, a page shown)
// before it fails: every wait ends as soon as the thing happens, so this bounds only a
// failing run, and it is long enough for a machine busy with other work.
export const PATIENCE = 30000;

const MINIMUM_FONT = 18;

const KEYS = ['Tab', 'Shift+Tab', 'Enter', 'Space', 'Escape'];

// MiniBrowser lies in the multiarch folder of the machine's WebKitGTK.
const MINIBROWSER = ['x86_64-linux-gnu', 'aarch64-linux-gnu', 'i386-linux-gnu', 'arm-linux-gnueabihf']
  .map((triplet) => `/usr/lib/${triplet}/webkit2gtk-4.1/MiniBrowser`).find(existsSync) ?? '/usr/lib/webkit2gtk-4.1/MiniBrowser';

// What playwright's and puppeteer's pages offer alike, as the tests use it.
function pointerAndPage(page) {
  return {
    eval: (fn, arg) => page.evaluate(fn, arg),
    move: (x, y) => page.mouse.move(x, y),
    click: (x, y) => page.mouse.click(x, y),
    tap: (x, y) => page.touchscreen.tap(x, y),
    url: () => page.url(),
    shot: (file) => page.screenshot({ path: file }),
  };
}

const chromium = {
  name: 'chromium',
  needs: () => [CHROMIUM],
  touch: 'native',
  settings: ['largeText', 'reducedMotion', 'forcedColors'],
  async launch({ largeText = false, reducedMotion = false, forcedColors = false } = {}) {
    const media = { reducedMotion: reducedMotion ? 'reduce' : 'no-preference', forcedColors: forcedColors ? 'active' : 'none' };
    // Chromium reads the minimum font size only from the profile's preferences: large
    // text has a profile of its own, and its pages share its one context.
    let browser, shared;
    if (largeText) {
      const profile = newFolder('quillamere-chromium-');
      mkdirSync(path.join(profile, 'Default'));
      writeFileSync(path.join(profile, 'Default', 'Preferences'),
        JSON.stringify({ webkit: { webprefs: { minimum_font_size: MINIMUM_FONT } } }));
      browser = shared = await (await import('playwright-core')).chromium.launchPersistentContext(profile,
        { executablePath: CHROMIUM, args: ['--no-sandbox', '--disable-gpu'], ...media });
    } else {
      browser = await launchChromium();
    }
    return {
      async open(url, { width, height, touch, phone }) {
        const context = shared ?? await browser.newContext({ ...media, ...(phone
          ? { viewport: { width: 375, height: 667 }, deviceScaleFactor: 2, isMobile: true, hasTouch: true }
          : { viewport: { width, height }, hasTouch: touch }) });
        const page = await context.newPage();
        if (shared) await page.setViewportSize({ width, height });
        await page.goto(url);
        return {
          ...pointerAndPage(page),
          press: (key) => page.keyboard.press(key),
          resize: (w, h) => page.setViewportSize({ width: w, height: h }),
          windows: () => context.pages().map((p) => p.url()),
          close: () => (shared ? page.close() : context.close()),
        };
      },
      close: () => browser.close(),
    };
  },
};

const firefox = {
  name: 'firefox',
  binary: '/usr/bin/firefox-esr',
  needs() { return [this.binary]; },
  touch: 'native',
  settings: ['largeText', 'reducedMotion', 'forcedColors'],
  async launch({ largeText = false, reducedMotion = false, forcedColors = false } = {}) {
    const puppeteer = (await import('puppeteer-core')).default;
    const browser = await puppeteer.launch({
      browser: 'firefox', executablePath: this.binary, headless: true,
      extraPrefsFirefox: {
        ...(largeText && {
          'font.minimum-size.x-western': MINIMUM_FONT,
          'ui.textScaleFactor': 150, 'browser.display.os-zoom-behavior': 2,
        }),
        ...(reducedMotion && { 'ui.prefersReducedMotion': 1 }),
        // The page's colours always overridden: the forced colours of Firefox.
        ...(forcedColors && { 'browser.display.document_color_use': 2 }),
      },
    });
    // One browsing context serves every page: a new one costs Firefox the better part
    // of a second. Each page has a tab of its own, which also gives the keyboard back to
    // the page after a Tab past the last link of the previous page took it to the
    // browser's own bar.
    const context = await browser.createBrowserContext();
    return {
      async open(url, { width, height }) {
        const old = await context.pages();
        const page = await context.newPage();
        for (const other of old) await other.close();
        await page.setViewport({ width, height });
        await page.goto(url);
        return {
          ...pointerAndPage(page),
          async press(key) {
            const [modifier, name] = key.includes('+') ? key.split('+') : [null, key];
            if (modifier) await page.keyboard.down(modifier);
            await page.keyboard.press(name === 'Space' ? ' ' : name);
            if (modifier) await page.keyboard.up(modifier);
          },
          resize: (w, h) => page.setViewport({ width: w, height: h }),
          windows: async () => (await context.pages()).map((p) => p.url()),
          close: async () => {},
        };
      },
      close: () => browser.close(),
    };
  },
};

// A free port on the loopback address.
function freePort() {
  return new Promise((resolve, reject) => {
    const server = createServer().listen(0, '127.0.0.1', () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    }).on('error', reject);
  });
}

// Starts Xvfb on the first free display; resolves to its process and display name.
function startXvfb() {
  return new Promise((resolve, reject) => {
    const xvfb = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '1600x1200x24', '-nolisten', 'tcp'],
      { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] });
    xvfb.on('error', reject);
    xvfb.stdio[3].once('data', (data) => resolve({ xvfb, display: ':' + data.toString().trim() }));
  });
}

const webkit = {
  name: 'webkit',
  binary: '/usr/bin/WebKitWebDriver',
  needs() { return [this.binary, MINIBROWSER, '/usr/bin/Xvfb', '/usr/bin/xdotool']; },
  // WebKitGTK's driver has no touch input: a tap is the events a touch screen sends
  // (pointerdown and pointerup of a touch pointer, then a click), dispatched by script.
  touch: 'dispatched',
  // Its driver returns before the page has seen the input it sent.
  lagging: true,
  // WebKitGTK has no forced colours.
  settings: ['largeText', 'reducedMotion'],
  async launch({ largeText = false, reducedMotion = false } = {}) {
    const { Builder, Key } = await import('selenium-webdriver');
    const { Origin } = (await import('selenium-webdriver/lib/input.js')).default;
    const { xvfb, display } = await startXvfb();
    const port = await freePort();
    const env = { ...process.env, DISPLAY: display };
    if (reducedMotion) {
      // WebKitGTK asks for less motion where GTK's animations are off.
      env.XDG_CONFIG_HOME = newFolder('quillamere-gtk-');
      mkdirSync(path.join(env.XDG_CONFIG_HOME, 'gtk-3.0'));
      writeFileSync(path.join(env.XDG_CONFIG_HOME, 'gtk-3.0', 'settings.ini'), '[Settings]\ngtk-enable-animations=0\n');
    }
    const driverProcess = spawn(this.binary, ['--port=' + port], { env, stdio: 'ignore' });
    const args = ['--automation'];
    if (largeText) {
      // MiniBrowser takes settings that have no switch of their own from a key file.
      const config = path.join(newFolder('quillamere-webkit-'), 'minibrowser.conf');
      writeFileSync(config, `[websettings]\nminimum-font-size=${MINIMUM_FONT}\n`);
      args.push('--config=' + config);
    }
    let driver;
    const end = Date.now() + PATIENCE;  // the driver takes a while to listen on a busy machine
    while (!driver) {
      try {
        driver = await new Builder().usingServer(`http://127.0.0.1:${port}`).withCapabilities({
          browserName: 'MiniBrowser',
          'webkitgtk:browserOptions': { binary: MINIBROWSER, args },
        }).build();
      } catch (error) {
        if (Date.now() > end) throw error;
        await new Promise((resolve) => setTimeout(resolve, 100));
      }
    }
    // Without a window manager no window has the keyboard focus, and WebKit then matches
    // no :focus: give it to the browser's window.
    const focusWindow = () => spawnSync('xdotool', ['search', '--sync', '--onlyvisible', '--class', 'MiniBrowser', 'windowfocus'],
      { env: { ...process.env, DISPLAY: display }, stdio: 'ignore', timeout: PATIENCE });
    focusWindow();
    const main = await driver.getWindowHandle();
    const size = { width: 0, height: 0 };
    // The window is the viewport plus the browser's own bars: size it until the
    // viewport is what the test asks for.
    async function resize(width, height) {
      for (let i = 0; i < 3 && (size.width !== width || size.height !== height); i++) {
        const rect = await driver.manage().window().getRect();
        const inner = await driver.executeScript('return [innerWidth, innerHeight]');
        await driver.manage().window().setRect({ width: rect.width + width - inner[0], height: rect.height + height - inner[1] });
        [size.width, size.height] = await driver.executeScript('return [innerWidth, innerHeight]');
      }
    }
    const actions = () => driver.actions({ async: true });
    const keys = { Tab: [Key.TAB], 'Shift+Tab': [Key.SHIFT, Key.TAB], Enter: [Key.ENTER], Space: [Key.SPACE], Escape: [Key.ESCAPE] };
    return {
      async open(url, { width, height }) {
        const handles = await driver.getAllWindowHandles();
        for (const handle of handles) {
          if (handle !== main) await driver.switchTo().window(handle).then(() => driver.close());
        }
        await driver.switchTo().window(main);
        if (handles.length > 1) focusWindow();
        await driver.get('about:blank');
        await resize(width, height);
        await actions().move({ x: 0, y: 0, duration: 0, origin: Origin.VIEWPORT }).perform();
        await driver.get(url);
        return {
          eval: (fn, arg) => driver.executeScript(fn, arg),
          move: (x, y) => actions().move({ x: Math.round(x), y: Math.round(y), duration: 0, origin: Origin.VIEWPORT }).perform(),
          click: (x, y) => actions().move({ x: Math.round(x), y: Math.round(y), duration: 0, origin: Origin.VIEWPORT }).click().perform(),
          tap: (x, y) => driver.executeScript((at) => {
            // The element a finger lands on, inside the shadow root that holds it.
            let target = document.elementFromPoint(at[0], at[1]);
            while (target.shadowRoot) target = target.shadowRoot.elementFromPoint(at[0], at[1]);
            for (const type of ['pointerdown', 'pointerup']) {
              target.dispatchEvent(new PointerEvent(type, {
                bubbles: true, cancelable: true, composed: true, pointerType: 'touch', isPrimary: true, clientX: at[0], clientY: at[1],
              }));
            }
            target.click();
          }, [x, y]),
          async press(key) {
            let sequence = actions();
            for (const k of keys[key]) sequence = sequence.keyDown(k);
            for (const k of keys[key].slice().reverse()) sequence = sequence.keyUp(k);
            await sequence.perform();
          },
          url: () => driver.getCurrentUrl(),
          shot: async (file) => writeFileSync(file, await driver.takeScreenshot(), 'base64'),
          resize,
          async windows() {
            const urls = [];
            for (const handle of await driver.getAllWindowHandles()) {
              await driver.switchTo().window(handle);
              urls.push(await driver.getCurrentUrl());
            }
            await driver.switchTo().window(main);
            return urls;
          },
          close: async () => {},
        };
      },
      async close() {
        await driver.quit().catch(() => {});
        driverProcess.kill();
        xvfb.kill();
      },
    };
  },
};

export const ENGINES = { chromium, firefox, webkit };
export const engine = ENGINES[process.env.QUILLAMERE_ENGINE || 'chromium'];
if (!engine) throw new Error(`QUILLAMERE_ENGINE must be one of ${Object.keys(ENGINES).join(', ')}`);

// One browser for the run, and one more for each of the visitor's settings a test asks
// for: largeText, reducedMotion, forcedColors (engine.settings lists those the engine
// offers).
const browsers = {};
function browserFor(settings) {
  const key = Object.keys(settings).filter((name) => settings[name]).sort().join() || 'plain';
  return (browsers[key] ??= engine.launch(settings));
}

export async function closeBrowsers() {
  for (const browser of Object.values(browsers)) await (await browser).close();
}

// Held timers: setTimeout and clearTimeout of the page run, and its clock
// (performance.now) moves, when the test says (page.advance), not by the wall clock.
function holdTimers() {
  let now = 0, next = 1;
  const timers = new Map();
  window.setTimeout = (fn, ms = 0) => { timers.set(next, { fn, at: now + ms }); return next++; };
  window.clearTimeout = (id) => timers.delete(id);
  performance.now = () => now;
  window.__advance = (ms) => {
    const end = now + ms;
    for (;;) {
      const due = [...timers].filter(([, t]) => t.at <= end).sort((a, b) => a[1].at - b[1].at)[0];
      if (!due) break;
      timers.delete(due[0]);
      now = due[1].at;
      due[1].fn();
    }
    now = end;
  };
}

// Records errors, and names the menu's elements for the test: a link or a caption by
// its text, a button by its label or text. __menu() is the shadow root the menu is
// drawn in.
function recordProblems() {
  window.__menu = () => document.getElementById('mkvo_menu_zelvan_outer_div')?.shadowRoot;
  window.__named = (name) => [...window.__menu()?.querySelectorAll('a, button, span') ?? []]
    .find((e) => (e.getAttribute('aria-label') ?? e.textContent) === name);
  window.__problems = [];
  // What the page has seen of the test's input: where the pointer is, how many
  // pointer buttons and keys went up.
  window.__input = { at: [], ups: 0, keys: 0 };
  addEventListener('pointermove', (e) => { window.__input.at = [e.clientX, e.clientY]; }, true);
  addEventListener('pointerup', () => { window.__input.ups++; }, true);
  addEventListener('keyup', () => { window.__input.keys++; }, true);
  addEventListener('error', (e) => window.__problems.push(`exception: ${e.message}`));
  addEventListener('unhandledrejection', (e) => window.__problems.push(`rejection: ${e.reason}`));
  const error = console.error;
  console.error = (...args) => { window.__problems.push(`console: ${args.join(' ')}`); error.apply(console, args); };
}

// The name of the copy of page FILE that tests open.
export const testCopy = (file) => file.replace(/\.html$/, '.t.html');

// Opens the published page FILE: { width, height } of the viewport (800 x 300), touch
// (a touch screen beside the mouse, where the engine has one), phone (Chromium's
// phone: 375 x 667, touch, device scale 2), largeText (the visitor's text settings
// above), reducedMotion and forcedColors (the visitor's system settings), timers (held
// timers), init (a function run before the page's scripts).
export async function openMenu(file, { width = 800, height = 300, touch = false, phone = false, largeText = false,
  reducedMotion = false, forcedColors = false, timers = false, init } = {}) {
  const scripts = [recordProblems, timers && holdTimers, init].filter(Boolean).map((fn) => `(${fn})();`).join('\n');
  const copy = testCopy(file);
  // At the end of the head, so that a page's own character set still stands in its first
  // kilobyte.
  writeFileSync(copy, readFileSync(file, 'latin1').replace('</head>', `<script>${scripts}</script>\r\n</head>`), 'latin1');
  const browser = await browserFor({ largeText, reducedMotion, forcedColors });
  const raw = await browser.open(fileUrl(copy), { width, height, touch, phone });
  return new MenuPage(raw, copy);
}

class MenuPage {
  constructor(raw, file) {
    this.raw = raw;
    this.file = file;
    this.fileUrl = fileUrl(file);
    this.pointer = [0, 0];
  }

  eval(fn, arg) { return this.raw.eval(fn, arg); }
  url() { return this.raw.url(); }
  windows() { return this.raw.windows(); }
  shot(file) { return this.raw.shot(file); }
  resize(width, height) { return this.raw.resize(width, height); }
  close() { return this.raw.close(); }
  problems() { return this.eval(() => window.__problems); }
  advance(ms) { return this.eval((t) => window.__advance(t), ms); }

  async press(key) {
    if (!KEYS.includes(key)) throw new Error(`no key ${key}`);
    this.keys = (this.keys ?? 0) + (key.includes('+') ? 2 : 1);
    await this.raw.press(key);
    await this.seen((input, keys) => input.keys >= keys, this.keys);
  }

  // Where the element named NAME shows: its box, whether its centre lies in the
  // viewport, and whether the element itself is what a pointer finds there.
  where(name) {
    return this.eval((n) => {
      const e = window.__named(n);
      if (!e) return null;
      const r = e.getBoundingClientRect();
      const x = r.left + r.width / 2, y = r.top + r.height / 2;
      const hit = window.__menu().elementFromPoint(x, y);
      return {
        x, y, left: r.left, top: r.top, right: r.right, bottom: r.bottom, width: r.width, height: r.height,
        inView: x >= 0 && y >= 0 && x < innerWidth && y < innerHeight,
        reached: !!hit && (hit === e || e.contains(hit)),
        still: window.__menu().getAnimations().length === 0,
      };
    }, name);
  }

  // Where NAME shows once it has been reached and nothing moves on the page any more,
  // or after TIMEOUT ms where it then is: a row that has just opened may still be
  // sliding in.
  async reach(name, timeout = PATIENCE) {
    const end = Date.now() + timeout;
    for (;;) {
      const box = await this.where(name);
      if ((box?.reached && box.inView && box.still) || Date.now() > end) return box;
      await new Promise((resolve) => setTimeout(resolve, 50));
    }
  }

  // The centre of NAME, once a pointer can find it there (as a hand waits for a row to
  // slide in before it points into it).
  async centre(name) {
    const box = await this.reach(name);
    if (!box) throw new Error(`no menu element "${name}"`);
    return [box.x, box.y];
  }

  // Where the engine hands input on before the page has seen it, waits until the page
  // shows SEEN(its input record, ARG), or has gone (a link was followed), or PATIENCE
  // ms have passed.
  async seen(seen, arg) {
    if (!engine.lagging) return;
    const end = Date.now() + PATIENCE;
    while (Date.now() < end) {
      const state = await this.eval(([source, a]) => {
        const input = window.__input;
        return !input || new Function(`return (${source})`)()(input, a);
      }, [seen.toString(), arg]).catch(() => true);
      if (state) return;
      await new Promise((resolve) => setTimeout(resolve, 20));
    }
  }

  // Moves the pointer in STEPS even steps from where it is, as a hand would.
  async move(x, y, steps = 1) {
    const [fromX, fromY] = this.pointer;
    for (let i = 1; i <= steps; i++) {
      const to = [fromX + (x - fromX) * i / steps, fromY + (y - fromY) * i / steps];
      await this.raw.move(...to);
      await this.seen((input, [tx, ty]) => Math.abs(input.at[0] - tx) <= 1 && Math.abs(input.at[1] - ty) <= 1, to);
    }
    this.pointer = [x, y];
  }

  // Moves the pointer along POINTS, [x, y, ms after the previous point] each, the page's
  // held clock advanced by each step's time before the pointer moves.
  async trace(points) {
    for (const [x, y, ms] of points) {
      await this.advance(ms);
      await this.move(x, y);
    }
  }

  async hover(name, steps) { await this.move(...await this.centre(name), steps); }
  async click(name) { await this.clickAt(...await this.centre(name)); }
  async clickAt(x, y) {
    this.pointer = [x, y];
    this.ups = (this.ups ?? 0) + 1;
    await this.raw.click(x, y);
    await this.seen((input, ups) => input.ups >= ups, this.ups);
  }
  async tap(name) { await this.tapAt(...await this.centre(name)); }
  tapAt(x, y) { return this.raw.tap(x, y); }
  focus(name) {
    return this.eval((n) => window.__named(n).focus(), name);
  }

  // Waits until FN(ARG), run in the page, returns something true; fails after TIMEOUT ms.
  async waitFor(fn, arg, timeout = PATIENCE) {
    const end = Date.now() + timeout;
    for (;;) {
      const value = await this.eval(fn, arg).catch(() => false);
      if (value) return value;
      if (Date.now() > end) throw new Error(`timed out waiting for ${fn}`);
      await new Promise((resolve) => setTimeout(resolve, 50));
    }
  }

  // Waits until the page shows URL (after a link was followed).
  async waitForUrl(url, timeout = PATIENCE) {
    const end = Date.now() + timeout;
    while ((await this.url()) !== url) {
      if (Date.now() > end) throw new Error(`still at ${await this.url()}, not ${url}`);
      await new Promise((resolve) => setTimeout(resolve, 50));
    }
  }
}
