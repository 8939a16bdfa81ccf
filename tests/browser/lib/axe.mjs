// An axe-core scan of the page as it is on screen. Returns the violations as
// "rule: target" lines, so that a failing test names what is wrong and where.
import { createRequire } from 'node:module';

const axePath = createRequire(import.meta.url).resolve('axe-core/axe.min.js');

export async function axeViolations(page, { context = undefined, runOnly = undefined } = {}) {
  await page.addScriptTag({ path: axePath });
  const results = await page.evaluate(([ctx, only]) =>
    window.axe.run(ctx ?? document, only ? { runOnly: { type: 'tag', values: only } } : {}), [context, runOnly]);
  return results.violations.flatMap((v) => v.nodes.map((n) => `${v.id}: ${n.target.join(' ')}`));
}

// The published page is the program's fixed page around the menu: it is held to the
// WCAG 2.1 rules; the menu itself to every rule axe runs by default, best practices
// included. WCAG 2.2's target size (24 px) depends on the item heights the designer
// chooses, and is checked with a look that allows it.
export const WCAG21 = ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa'];
export const WCAG22 = [...WCAG21, 'wcag22aa'];
