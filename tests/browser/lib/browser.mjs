// Debian's Chromium driven by playwright-core; pages are opened from disk (file://),
// as preview opens them. Every page records its console errors and uncaught errors.
import { chromium } from 'playwright-core';
import { pathToFileURL } from 'node:url';

export const CHROMIUM = '/usr/bin/chromium';

export function launch() {
  return chromium.launch({
    executablePath: CHROMIUM,
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
      '--disable-sync', '--no-first-run', '--disable-quic'],
  });
}

// Opens a page file in a new context; `problems` collects console errors, warnings
// about the page's own code and uncaught exceptions.
// `clock`: the page's timers run only when the test advances them (page.clock.runFor).
export async function openPage(browser, file, { touch = false, viewport = { width: 800, height: 300 }, init, clock = false } = {}) {
  const context = await browser.newContext({ viewport, hasTouch: touch, isMobile: false });
  const page = await context.newPage();
  const problems = [];
  page.on('console', (message) => {
    if (message.type() === 'error') problems.push(`console: ${message.text()}`);
  });
  page.on('pageerror', (error) => problems.push(`exception: ${error.message}`));
  if (init) await page.addInitScript(init);
  if (clock) await page.clock.install();
  await page.goto(pathToFileURL(file).href);
  return { context, page, problems };
}

export const fileUrl = (file) => pathToFileURL(file).href;
