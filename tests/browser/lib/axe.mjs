// An axe-core scan of the page as it is on screen. Returns the violations as
// "rule: target" lines, so that a failing test names what is wrong and where. PAGE is
// a page of lib/engines.mjs or a Playwright page.
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';

const axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');

export async function axeViolations(page, { context = undefined, runOnly = undefined } = {}) {
  const run = page.eval ? (fn, arg) => page.eval(fn, arg) : (fn, arg) => page.evaluate(fn, arg);
  await run((source) => { if (!window.axe) (0, eval)(source); }, axeSource);
  return run(async ([ctx, only]) => {
    const results = await window.axe.run(ctx ?? document, only ? { runOnly: { type: 'tag', values: only } } : {});
    return results.violations.flatMap((v) => v.nodes.map((n) => `${v.id}: ${n.target.join(' ')}`));
  }, [context ?? null, runOnly ?? null]);
}

// The published page is the program's fixed page around the menu: it is held to the
// WCAG 2.1 rules; the menu itself to every rule axe runs by default, best practices
// included. WCAG 2.2's target size (24 px) depends on the item heights the designer
// chooses, and is checked with a look that allows it.
export const WCAG21 = ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa'];
export const WCAG22 = [...WCAG21, 'wcag22aa'];
