// Menus the tests publish, and a reader of the drawn menu.

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

// Target pages for the links above, so that following a link lands somewhere.
export function targetPages(items = SHOP_ITEMS) {
  const files = {};
  const add = (item) => { files[item.link] = `<!DOCTYPE html><html lang="en"><title>${item.link}</title><h1>${item.link}</h1></html>`; };
  for (const item of items) { add(item); (item.subs ?? []).forEach(add); }
  return files;
}

// The menu as drawn: main items with their link, target, disclosure button and row.
export function readMenu(page) {
  return page.evaluate(() => {
    const nav = document.querySelector('#mkvo_menu_zelvan_outer_div nav');
    if (!nav) return null;
    const link = (a) => ({ text: a.textContent, href: a.getAttribute('href'), target: a.getAttribute('target') });
    return [...nav.querySelectorAll(':scope > ul > li')].map((li) => {
      const a = li.querySelector(':scope > a');
      const button = li.querySelector(':scope > button');
      const row = button && document.getElementById(button.getAttribute('aria-controls'));
      return {
        ...link(a),
        button: button && { expanded: button.getAttribute('aria-expanded'), label: button.getAttribute('aria-label') },
        rowInside: row ? li.contains(row) : null,
        subs: row ? [...row.querySelectorAll('a')].map(link) : [],
      };
    });
  });
}

// Whether the row of main item `index` (0-based) is shown.
export function rowShown(page, index) {
  return page.evaluate((i) => {
    const li = document.querySelectorAll('#mkvo_menu_zelvan_outer_div nav > ul > li')[i];
    const row = li && li.querySelector('ul');
    return !!row && getComputedStyle(row).visibility === 'visible';
  }, index);
}

export const menu = (page) => page.getByRole('navigation', { name: 'Site menu' });
export const menuLink = (page, name) => menu(page).getByRole('link', { name, exact: true });
export const moreButton = (page, name) => menu(page).getByRole('button', { name: 'More ' + name, exact: true });

// Waits until the row of main item `index` has finished sliding in.
export function rowSlidIn(page, index) {
  return page.waitForFunction((i) => {
    const row = document.querySelectorAll('#mkvo_menu_zelvan_outer_div nav > ul > li')[i].querySelector('ul');
    return getComputedStyle(row).clipPath === 'inset(0px)' && row.getAnimations().length === 0;
  }, index);
}
