// Menus the tests publish, and readers of the drawn menu that work in every engine
// (they take a page of lib/engines.mjs).
import path from 'node:path';
import { fileUrl } from './browser.mjs';

// Four main items, two of them with sub items; captions that need decoding.
export const SHOP_ITEMS = [
  { text: 'Home', link: 'home.html' },
  {
    text: 'Products', link: 'products.html',
    subs: [
      { text: 'Product A', link: 'a.html' },
      { text: 'Product B', link: 'b.html', target: '_blank' },
      { text: 'Café & Crème', link: 'cafe.html', target: '' },
    ],
  },
  { text: 'About us', link: 'about.html', subs: [{ text: 'Team', link: 'team.html' }, { text: 'a-b.c_d~e', link: 'odd.html' }] },
  { text: 'Blog', link: 'blog.html', target: '_blank' },
];

// Twelve main items with long captions, most with sub items: far more than a 600 px
// box holds in one row.
export const LONG_ITEMS = Array.from({ length: 12 }, (_, i) => ({
  text: `Chapter ${i + 1}: ${['Über unsere Geschichte', 'Produkte & Dienstleistungen', 'Häufige Fragen'][i % 3]}`,
  link: `main${i + 1}.html`,
  subs: i % 4 === 3 ? [] : [
    { text: `Section ${i + 1}.1 with a rather long caption`, link: `sub${i + 1}-1.html` },
    { text: `Section ${i + 1}.2 — Ärger, Öl und Übermut`, link: `sub${i + 1}-2.html` },
  ],
}));

// A hand's path from FROM to TO, [x, y, ms after the previous point] a step: a whole
// pixel a step along the line, every eleventh step a pixel up and the next one back
// down, one step every 8, 10 or 12 ms in turn (as a real mouse reports its moves).
export function handPath(from, to) {
  const [dx, dy] = [to[0] - from[0], to[1] - from[1]];
  const steps = Math.round(Math.max(Math.abs(dx), Math.abs(dy)));
  return Array.from({ length: steps }, (_, i) => {
    const k = (i + 1) / steps;
    return [Math.round(from[0] + dx * k), Math.round(from[1] + dy * k) - (i % 11 === 5 ? 1 : 0), [8, 10, 12][i % 3]];
  });
}

// Target pages for the links of ITEMS, so that following a link lands somewhere. A
// target page tells the page that framed it where it is.
export function targetPages(items = SHOP_ITEMS) {
  const files = {};
  const add = (item) => {
    files[item.link] = `<!DOCTYPE html><html lang="en"><title>${item.link}</title><h1>${item.link}</h1>` +
      '<script>if (parent !== window) parent.postMessage(location.href, "*")</script></html>';
  };
  for (const item of items) { add(item); (item.subs ?? []).forEach(add); }
  return files;
}

// The URL of the page NAME beside the page FILE.
export const beside = (file, name) => fileUrl(path.join(path.dirname(file), name));

// The readers below run in the page, also in pages opened without lib/engines.mjs:
// they find the menu's shadow root themselves.

// Opens and closes the list of the last item, which gets the main items the bar does
// not show when it first opens, so that every main item is drawn.
export function fillList() {
  const more = document.getElementById('mkvo_menu_zelvan_outer_div').shadowRoot.querySelector('.more');
  if (getComputedStyle(more).display !== 'none') {
    more.firstChild.click();
    more.firstChild.click();
  }
}

// The menu as drawn: main items (in the bar or in the list of the last item) with
// their link, target, disclosure button and row. A row gets its sub items when it
// first opens: openRows opens and closes each row by its button first.
export function readMenu(page, { openRows = false } = {}) {
  return page.eval(([open, fill]) => {
    const menu = document.getElementById('mkvo_menu_zelvan_outer_div')?.shadowRoot;
    if (!menu) return null;
    new Function(`(${fill})()`)();
    if (open) {
      for (const button of menu.querySelectorAll('.main:not(.more) > button')) {
        button.click();
        button.click();
      }
    }
    const link = (a) => ({ text: a.textContent, href: a.getAttribute('href'), target: a.getAttribute('target') });
    return [...menu.querySelectorAll('.main:not(.more)')].map((li) => {
      const a = li.querySelector(':scope > a');
      const button = li.querySelector(':scope > button');
      const row = button && menu.getElementById(button.getAttribute('aria-controls'));
      return {
        ...link(a),
        button: button && { expanded: button.getAttribute('aria-expanded'), label: button.getAttribute('aria-label') },
        rowInside: row ? li.contains(row) : null,
        subs: row ? [...row.querySelectorAll('a')].map(link) : [],
      };
    });
  }, [openRows, fillList.toString()]);
}

// The names of the main items in the bar, then of those in the list; and the name of
// the list's button.
export function readLayout(page) {
  return page.eval((fill) => {
    new Function(`(${fill})()`)();
    const menu = document.getElementById('mkvo_menu_zelvan_outer_div').shadowRoot;
    const names = (ul) => [...ul.querySelectorAll(':scope > .main:not(.more)')].map((li) => li.firstChild.textContent);
    const more = menu.querySelector('.more');
    return {
      bar: names(menu.querySelector('.bar')), list: names(menu.getElementById('list')),
      button: getComputedStyle(more).display === 'none' ? null : more.firstChild.textContent,
    };
  }, fillList.toString());
}

// Whether the row of main item INDEX (0-based, in the order of the items) is shown.
export function rowShown(page, index) {
  return page.eval((i) => {
    const row = document.getElementById('mkvo_menu_zelvan_outer_div').shadowRoot.getElementById('row-' + i);
    return !!row && getComputedStyle(row).visibility === 'visible' && getComputedStyle(row).display !== 'none';
  }, index);
}

// Waits until the row of main item INDEX has finished sliding in.
export function rowSlidIn(page, index) {
  return page.waitFor((i) => {
    const row = document.getElementById('mkvo_menu_zelvan_outer_div').shadowRoot.getElementById('row-' + i);
    return getComputedStyle(row).clipPath.replace(/ /g, '') === 'inset(0px)' && row.getAnimations().length === 0;
  }, index);
}

// Reaches every item of ITEMS the way a visitor does with HOW ('mouse', 'keyboard' or
// 'touch'): opens the list of the last item where the item is in it, opens the item's
// row, scrolls the page to it where it lies below the window, and looks whether the
// item shows in the viewport and is what a pointer finds there. Returns the names of
// the items not reached.
export async function unreached(page, items, how) {
  const missed = new Set([...items.flatMap((m) => [m.text, ...(m.subs ?? []).map((s) => s.text)])]);
  const check = async (name) => {
    // A visitor scrolls a long list, or the page, to the list's lower items.
    await page.eval((n) => {
      const e = window.__named(n), r = e.getBoundingClientRect();
      if (r.bottom > innerHeight || r.top < 0) e.scrollIntoView({ block: 'nearest' });
    }, name);
    const box = await page.reach(name);
    if (box?.reached && box.inView) missed.delete(name);
  };
  if (how === 'keyboard') {
    // Tab through the page's links before the menu, then through the menu, opening
    // every closed disclosure on the way with Enter.
    for (let i = 0, inside = false; i < 200; i++) {
      await page.press('Tab');
      const focus = await page.eval(() => {
        const e = document.getElementById('mkvo_menu_zelvan_outer_div').shadowRoot.activeElement;
        if (!e) return null;
        return { name: e.getAttribute('aria-label') ?? e.textContent, closed: e.getAttribute('aria-expanded') === 'false' };
      });
      if (!focus && inside) break;
      if (!focus) continue;
      inside = true;
      await check(focus.name);
      if (focus.closed) await page.press('Enter');
    }
    return [...missed];
  }
  const use = how === 'mouse' ? (name) => page.click(name) : (name) => page.tap(name);
  for (const item of items) {
    // An item the bar does not show is in the list, which gets it when it first opens.
    const place = await page.eval((name) => {
      const list = document.getElementById('mkvo_menu_zelvan_outer_div').shadowRoot.getElementById('list');
      const inList = !window.__named(name) || list.contains(window.__named(name));
      return { inList, listButton: inList && list.previousElementSibling.textContent,
        listOpen: inList && list.parentElement.classList.contains('open') };
    }, item.text);
    if (place.inList && !place.listOpen) await use(place.listButton);
    if (how === 'mouse' && !place.inList) await page.hover(item.text);
    await check(item.text);
    if (!item.subs?.length) continue;
    // In the bar the pointer opens a row by resting on its item and a finger by the
    // first tap; in the list both use the item's own button.
    if (place.inList) {
      await use(await page.eval((name) => {
        const button = window.__named(name).parentElement.querySelector(':scope > button');
        return button.getAttribute('aria-label') ?? button.textContent;
      }, item.text));
    }
    else if (how === 'touch') await page.tap(item.text);
    for (const sub of item.subs) {
      if (how === 'mouse') await page.hover(sub.text);
      await check(sub.text);
    }
  }
  return [...missed];
}
