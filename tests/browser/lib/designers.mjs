// Designers' pages: the part of a published page between "COPY START FROM HERE" and
// "END OF COPYING" pasted into pages with style sheets of their own, the way designers
// use it. Each design is a page around the menu that has hurt it before: ID-scoped and
// element rules, a CSS reset, box-sizing on everything, a fixed header, a transformed
// wrapper, a right-to-left page and a page in another encoding.
import { mkdirSync, readFileSync, writeFileSync } from 'node:fs';
import path from 'node:path';
import { publishMenu } from './project.mjs';

// Items for the designers' pages: a main item without a link, a caption that wraps on a
// phone, links with characters beyond ASCII, a link to a place on the page.
export const DESIGNER_ITEMS = [
  { text: 'Home', link: 'index.html' },
  {
    text: 'Products', link: 'products.html',
    subs: [
      { text: 'Product A', link: 'a.html' },
      { text: 'A rather long product name that wraps on a phone', link: 'long.html' },
      { text: 'Crème brûlée', link: 'crème brûlée.html' },
    ],
  },
  { text: 'Services', link: '', subs: [{ text: 'Consulting', link: 'consulting.html' }, { text: 'Training', link: 'training.html' }] },
  { text: 'Café', link: 'café/naïve ü.html' },
  { text: 'About us', link: 'about.html', subs: [{ text: 'Team', link: 'team.html' }, { text: 'Contact', link: '#contact' }] },
];

// The same in Arabic, for the right-to-left page.
export const ARABIC_ITEMS = [
  { text: 'الرئيسية', link: 'index.html' },
  { text: 'المنتجات', link: 'products.html', subs: [{ text: 'المنتج الأول', link: 'a.html' }, { text: 'المنتج الثاني', link: 'b.html' }] },
  { text: 'خدمات', link: '', subs: [{ text: 'استشارات', link: 'consulting.html' }] },
  { text: 'من نحن', link: 'about.html' },
];

// windows-1251, enough of it for Russian text.
function windows1251(text) {
  return Buffer.from([...text].map((c) => {
    const code = c.codePointAt(0);
    if (code < 0x80) return code;
    if (code >= 0x410 && code <= 0x44f) return code - 0x410 + 0xc0;
    if (c === 'Ё') return 0xa8;
    if (c === 'ё') return 0xb8;
    throw new Error(`no windows-1251 for ${c}`);
  }));
}

const TEXT = '<p>Our workshop makes furniture by hand from wood grown nearby. Every piece is signed.</p>';
const LONG_TEXT = Array.from({ length: 40 }, (_, i) => `<p id="${i === 20 ? 'contact' : 'p' + i}">${TEXT.slice(3, -4)} (${i + 1})</p>`).join('\n');

// Each design: its name, the attributes of its html element, its character set, its
// style sheet and its body around the menu (MENU stands for the pasted part).
export const DESIGNS = [
  {
    name: 'id-and-element-rules', html: 'lang="en"', css: `
      #header { background: #333; color: #eee; font: bold 18px/2.2 Georgia, serif; letter-spacing: .1em;
        text-transform: uppercase; text-align: center; white-space: pre; word-spacing: 1em; text-indent: 30px; cursor: crosshair; }
      #header a { display: block; float: left; padding: 12px 20px; background: #555; color: #fff; border: 1px solid #000; font-size: 22px; }
      #header ul { margin: 20px; padding: 10px 40px; list-style: square; background: yellow; }
      li { float: left; padding: 8px; margin: 0 4px; border: 1px dashed red; }
      button { background: red; color: #fff; padding: 20px; font-size: 30px; border-radius: 12px; }
      nav { background: pink; border: 5px solid green; padding: 20px; }
      ul { list-style: square; }
      main { clear: both; padding: 1em; }`,
    body: `<div id="header"><p style="overflow:hidden;margin:0"><a href="index.html">Workshop</a></p>MENU</div>
      <main><h1>Workshop</h1>${TEXT}<nav aria-label="Pages"><ul><li><a href="a.html">One</a></li><li><a href="b.html">Two</a></li></ul></nav>
      <button type="button">Order</button></main>`,
  },
  {
    name: 'css-reset', html: 'lang="en"', css: `
      html, body, div, span, h1, p, a, nav, ul, li, button, object, embed { margin: 0; padding: 0; border: 0; font-size: 100%;
        font: inherit; vertical-align: baseline; }
      ol, ul { list-style: none; }
      a { color: inherit; text-decoration: none; }
      button { all: unset; }
      nav { background: pink; }
      body { line-height: 1; font-family: system-ui, sans-serif; }`,
    body: `<header>MENU</header><main><h1>Workshop</h1>${TEXT}<nav aria-label="Pages"><ul><li><a href="a.html">One</a></li></ul></nav></main>`,
  },
  {
    name: 'box-sizing', html: 'lang="en"', css: `
      *, *::before, *::after { box-sizing: border-box; }
      body { margin: 0; font: 16px/1.5 sans-serif; }
      .wrap { max-width: 1100px; margin: 0 auto; padding: 0 16px; }
      ul, li, a, button { padding: 6px; border: 2px solid transparent; }`,
    body: `<div class="wrap"><header>MENU</header><main><h1>Workshop</h1>${TEXT}</main></div>`,
  },
  {
    name: 'fixed-header', html: 'lang="en"', css: `
      body { margin: 0; padding-top: 60px; font: 16px/1.5 sans-serif; }
      header { position: fixed; top: 0; left: 0; right: 0; z-index: 10; background: #fff; padding: 10px; }
      main { padding: 10px; }`,
    body: `<header>MENU</header><main><h1>Workshop</h1>${LONG_TEXT}</main>`,
  },
  {
    name: 'transformed-wrapper', html: 'lang="en"', css: `
      body { margin: 0; font: 16px/1.5 sans-serif; }
      .stage { transform: scale(0.8); transform-origin: 0 0; width: 125%; }`,
    body: `<div class="stage"><header>MENU</header><main><h1>Workshop</h1>${TEXT}</main></div>`,
  },
  {
    name: 'right-to-left', html: 'lang="ar" dir="rtl"', items: ARABIC_ITEMS, css: `
      body { font: 16px/1.6 sans-serif; }
      nav { background: pink; }`,
    body: '<header>MENU</header><main><h1>الورشة</h1><p>نصنع الأثاث يدويًا من الخشب المحلي.</p></main>',
  },
  {
    name: 'windows-1251', html: 'lang="ru"', charset: 'windows-1251', css: `
      body { font: 16px/1.5 serif; color: #222; }`,
    body: '<header>MENU</header><main><h1>Мастерская</h1><p>Мы делаем мебель вручную из местного дерева.</p></main>',
  },
];

// The target pages of ITEMS' links, in sub-folders where a link has them.
function writeTargets(folder, items) {
  for (const item of items.flatMap((m) => [m, ...(m.subs ?? [])])) {
    if (!item.link || item.link.startsWith('#')) continue;
    const file = path.join(folder, item.link);
    mkdirSync(path.dirname(file), { recursive: true });
    writeFileSync(file, `<!DOCTYPE html><html lang="en"><title>${item.link}</title><h1>${item.link}</h1></html>`);
  }
}

// Publishes the design's items and writes the designer's page DESIGN.name + ".html"
// beside the published page. Returns { page, published, items }.
export function designerPage(design) {
  const items = design.items ?? DESIGNER_ITEMS;
  const published = publishMenu({ items });
  const folder = path.dirname(published);
  writeTargets(folder, items);
  const text = readFileSync(published, 'latin1');
  const part = text.slice(text.indexOf('<!-- COPY START FROM HERE -->'), text.indexOf('<!-- END OF COPYING -->'));
  const charset = design.charset ?? 'utf-8';
  const html = `<!DOCTYPE html>\n<html ${design.html}>\n<head>\n<meta charset="${charset}">\n` +
    '<meta name="viewport" content="width=device-width, initial-scale=1">\n' +
    `<title>${design.name}</title>\n<style>${design.css}\n</style>\n</head>\n<body>\n` +
    design.body.replace('MENU', () => '\nPART\n') + '\n</body>\n</html>\n';
  const [before, after] = html.split('PART');
  const encode = charset === 'windows-1251' ? windows1251 : (s) => Buffer.from(s, 'utf8');
  const page = path.join(folder, design.name + '.html');
  // The pasted part is ASCII: captions and links are written percent-encoded.
  writeFileSync(page, Buffer.concat([encode(before), Buffer.from(part, 'latin1'), encode(after)]));
  return { page, published, items };
}
