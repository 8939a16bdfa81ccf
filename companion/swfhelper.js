/*
 * swfhelper.js - draws the menu of a page published by Quillamere.
 *
 * This is the readable source. Visitors get swfhelper.min.js, made from it by
 * "node tests/browser/minify.mjs" and installed as swfhelper.js: run that after every
 * change (a test checks that the two agree). Every byte counts: the minified script
 * stays under 8 KB, and under 3.5 KB gzipped.
 *
 * The page carries the menu twice: the hidden link block (#buAj: one div per main
 * item, followed by a div.mkvosub with the links of its sub items) and the look, the
 * 17 values of "flashparams" in the FlashVars parameter of the movie object #bAAd,
 * each value ended by "#$@". window.BeAj x window.BfAj is the menu box.
 *
 * Browsers no longer run the movie, so this script takes its place: it removes the
 * object and draws, in a shadow root on the box, a navigation bar of plain links with
 * a second row for the sub items of one main item at a time. The shadow root keeps the
 * designer's style sheets out of the menu and the menu's out of the page; of what is
 * inherited, only the page's direction and visibility reach the menu. The keyboard
 * model is the "disclosure navigation menu with top-level links": main links stay
 * links, and a main item with sub items gets its own button that shows or hides the
 * row (aria-expanded, aria-controls); a main item without a link is that button
 * itself, or its caption alone. No network access, no framework.
 *
 * Every item stays within reach:
 * - main items that do not fit the box's width move into a last "More" item, a
 *   disclosure like the others that opens a list of them;
 * - on a screen narrower than NARROW (640 CSS px), or where the box has less room than
 *   its width, the bar is a single "Menu" button that opens the list of every main
 *   item, each with its sub items behind its own button (the usual phone navigation);
 * - rows and lists open inside the viewport and scroll within it; long captions wrap.
 * Heights are the look's at the browser's default text size and grow with the text
 * when the visitor's minimum font size or text zoom makes it larger; touch screens get
 * targets of at least 24 x 24 px. The menu's own words follow the page's language.
 *
 * Besides the browsers of today the script runs in the program's own preview, whose
 * engine is Chromium 102: nothing newer may be relied on (":dir()", for one, is not
 * there), and what is newer (@starting-style) must leave the menu working without it.
 */
(() => {
  const doc = document, win = window, root = doc.documentElement;
  // The look values in the order of "flashparams", then the box width, as a new project
  // has them. The build puts LOOK before the script, made from the program's own table
  // of look fields; FIELD.name, a field's place in that order, is set in as the script
  // is minified. The page holds them within the ranges of the window's controls: the
  // program pulls every value into its range before it writes a page.
  const DEFAULTS = LOOK.split(',');
  // Below this viewport width (CSS px) the bar becomes the "Menu" button.
  const NARROW = 640;
  // The aim of a pointer on its way to the open row is judged over its path of this
  // long (ms): a mouse reports a whole pixel every 8 to 12 ms, most of them level on a
  // shallow way down and some a pixel up, and only its path over a while shows where it
  // heads.
  const AGO = 150;
  // How long a pointer that heads for the open row may rest on another main item
  // before that item opens instead (ms).
  const AIM = 300;
  // The menu's own words, "More" and "Menu" (which in these languages also names the
  // menu), by the primary language of the page; English, and the name "Site menu", for
  // any other. "Menu" where none is given.
  const WORDS = {
    de: 'Mehr|Menü',
    fr: 'Plus',
    es: 'Más|Menú',
    it: 'Altro',
    pt: 'Mais',
    nl: 'Meer',
    pl: 'Więcej',
    ru: 'Ещё|Меню',
    zh: '更多|菜单',
    ja: 'その他|メニュー',
    ko: '더보기|메뉴',
    ar: 'المزيد|القائمة',
    hi: 'और|मेनू',
  };

  // Look field I's whole number in TEXT; text that is none counts as its default.
  function whole(text, i) {
    const n = parseInt(text);
    return isNaN(n) ? DEFAULTS[i] : n;
  }

  // The editor lets a quote in only behind a backslash; the visitor sees the quote.
  const unescape = (text) => (text || '').replace(/\\(['"])/g, '$1');

  // The sounds lie beside this script: at the site's root, where a page in a sub folder
  // includes it from. "swfhelper.js/../" is the script's folder.
  const HERE = doc.currentScript.src + '/../';
  // Browsers refuse sound until the visitor has clicked or pressed a key; until then
  // nothing is tried, and a refusal after that is quietly dropped.
  function play(name) {
    if (name && navigator.userActivation.hasBeenActive) new Audio(HERE + encodeURIComponent(name)).play().catch(() => {});
  }

  function element(tag, className, parent) {
    const e = doc.createElement(tag);
    e.className = className;
    parent?.append(e);
    return e;
  }

  const on = (target, type, handler, capture) => target.addEventListener(type, handler, capture);
  const rect = (e) => e.getBoundingClientRect();

  function build() {
    const box = doc.getElementById('mkvo_menu_zelvan_outer_div');
    if (!box || box.shadowRoot) return;
    const shadow = box.attachShadow({ mode: 'open' });
    const block = doc.getElementById('buAj');
    const movie = doc.getElementById('bAAd');
    const values = ((movie?.querySelector('param[name=flashvars i]')?.getAttribute('value') || '')
      .split('flashparams=')[1] || '').split('#$@');
    // A value counts when its separator follows it.
    const look = DEFAULTS.map((value, i) => (i < values.length - 1 ? values[i] : value));
    const number = (i) => whole(look[i], i);
    // Six hexadecimal digits red first; fewer digits count as if zeros followed ("FF" is
    // red), "transparent" is black. Anything else is the default colour.
    const paint = (i) => {
      const text = look[i].trim();
      return '#' + (/^transparent$/i.test(text) ? '0' : (text.match(/^[0-9a-f]{1,6}/i) || [DEFAULTS[i]])[0]).padEnd(6, 0);
    };
    // A font as one quoted CSS name with the generic family it belongs to, so that a
    // visitor without the font still gets its kind of letters.
    const font = (size, name) => {
      const text = look[name].replace(/["'\\;{}<>]/g, '').trim() || DEFAULTS[name];
      return 'font:' + number(size) + 'px "' + text + '",' + (/mono|courier|consol/i.test(text) ? 'monospace'
        : /serif|georgia|times|garamond|palatino/i.test(text) && !/sans/i.test(text) ? 'serif' : 'sans-serif');
    };
    // Primary subtags are written in lower case.
    const words = WORDS[(box.closest('[lang]') || root).lang.split('-')[0]];
    const [more, menu = 'Menu'] = (words || 'More').split('|');
    const width = whole(win.BeAj, FIELD.flMenuMaxWidth);
    const ext = number(FIELD.mainItemExtWidth);
    // A touch screen's targets are 24 px high at least.
    const coarse = matchMedia('(pointer:coarse)').matches && 24;
    const mainBack = paint(FIELD.mainItemColor);
    // The row lies on the page's white unless its text is light: then on the bar's colour.
    const rgb = parseInt(paint(FIELD.subItemTextColor).slice(1), 16);
    const rowBack = 0.299 * (rgb >> 16) + 0.587 * (rgb >> 8 & 255) + 0.114 * (rgb & 255) > 127 ? mainBack : '#fff';
    // The main items' links in the block's order. A main item's sub-item block follows
    // its div; deeper blocks inside it, for which a two-row menu has no place, are
    // passed over.
    const links = (parent) => parent?.querySelectorAll(':scope>div>a') || [];
    const mains = links(block);
    // The main items as drawn, by their place in MAINS; each carries its button, row and
    // sub items, and whether its row is open.
    const items = [];

    // The hidden link block leaves the page's layout: it can no longer widen the page,
    // and its links are not laid out, which in a large menu would take longer than
    // drawing the menu (in Firefox, anything short of taking the block out of the
    // layout costs as much).
    if (block) block.style.display = 'none';

    // Main items are the look's height at least and grow with their text; the row's
    // items the same at the sub height. Text wraps in a list or a row, never in the bar,
    // and a word longer than the window breaks where it must. A closed row or list is
    // not drawn at all, so that a large menu lays out no more than its bar.
    const css = element('style', '');
    css.textContent =
      // The box never sticks out of a page narrower than itself. The page's inherited
      // properties stop at the menu, bar its direction and visibility.
      ':host{max-width:100%}nav{all:initial;visibility:inherit;display:block;position:relative;z-index:' +
      (doc.getElementById('bjAj')?.style.zIndex || 'auto') + ';height:100%}' +
      'ul{all:unset;display:flex;background:' + mainBack + '}' +
      'li{display:flex}' +
      '.bar{position:relative;width:max-content;white-space:nowrap;color:' + paint(FIELD.mainItemTextColor) + ';' +
        font(FIELD.mainItemFontSize, FIELD.mainItemFont) + '}' +
      'a,span,button{all:unset;display:flex;align-items:center;cursor:pointer;min-width:24px;padding:0 ' + ext +
      'px;min-height:' + Math.max(number(FIELD.mainItemHeight), coarse) + 'px}' +
      // A link with a row has its button where its extra width would end.
      '.has{padding-inline-end:0}' +
      'button:empty{padding:0}' +
      // A disclosure's arrow is a character, drawn in the text's colour whatever colours
      // the system forces. The "More" item, and the "Menu" button (alone in the bar),
      // show their icon before their word instead.
      'button:after{content:"\\25BE"/"";margin:0 6px}' +
      '.more>button:after{content:"\\22EF"/"";order:-1}' +
      '.more:only-child>button:after{content:"\\2630"/""}' +
      '.main:hover>:not(ul),.main>:focus,.open>:not(ul){color:' + paint(FIELD.mainItemHoverColor) + '}' +
      'li>ul{position:absolute;top:100%;width:max-content;display:none;overflow:auto;white-space:normal}' +
      // An opening row slides in from its top edge, in 600 ms divided by the slide speed
      // (200 ms at the default 3), unless the visitor asks for less motion.
      '.open>ul{display:flex;clip-path:inset(0)}' +
      '@media(prefers-reduced-motion:no-preference){.open>ul{transition:clip-path ' +
      600 / number(FIELD.submenuSlideSpeed) + 'ms}@starting-style{.open>ul{clip-path:inset(0 0 100%)}}}' +
      '.row{flex-wrap:wrap;background:' + rowBack + ';' + font(FIELD.subItemFontSize, FIELD.subItemFont) +
      '}.row>li{color:' + paint(FIELD.subItemTextColor) + '}' +
      '.row>li>*{min-height:' + Math.max(number(FIELD.subItemHeight), coarse) + 'px;padding:0 ' + ext / 2 + 'px}' +
      '.row a:hover{color:' + paint(FIELD.subItemColor) + '}' +
      // The list of the "More" item or of the "Menu" button: a main item a line, its
      // sub items under it.
      '.more ul{flex-direction:column}.more li{flex-wrap:wrap}' +
      '.more .row{position:static;width:100%;padding-inline-start:24px}' +
      ':focus-visible{outline:2px solid;outline-offset:-2px}' +
      // Forced colours draw none of the look's: states show in the system's own.
      '@media(forced-colors:active){li>ul,.open>button,a:hover,button:hover{outline:1px solid}}';

    const nav = element('nav', '');
    nav.ariaLabel = words ? menu : 'Site menu';
    const bar = element('ul', 'bar', nav);
    // byHover: the open rows were opened by the pointer resting on them and close when
    // it leaves. pending: the main item that opens once the pointer stops heading for
    // the open row. inBar: how many main items the bar shows; filled: whether the list
    // holds the others.
    let timer, touched, byHover, narrow, pending, fitted, inBar, filled;
    // Stops the timer and forgets the pending item (clearTimeout returns nothing).
    const stop = () => pending = clearTimeout(timer);

    // Copies the link A of the hidden link block into PARENT. Captions are written "+"
    // for a space and %XX for every other byte of their UTF-8 form; text that does not
    // decode is shown as written. Where there is no link, the caption stands alone: a
    // link to nothing would only reload the page.
    function link(a, parent) {
      const href = unescape(a.getAttribute('href')), target = unescape(a.getAttribute('target'));
      let text = a.textContent.replace(/\+/g, ' ');
      try {
        text = decodeURIComponent(text);
      } catch (e) { /* shown as written */ }
      a = element(href.trim() ? 'a' : 'span', '', parent);
      a.textContent = unescape(text);
      if (href.trim()) {
        a.href = href;
        if (target) a.target = target;
        if (href[0] != '#' && a.href.split('#')[0] == location.href.split('#')[0]) a.ariaCurrent = 'page';
      }
      return a;
    }

    // A row opens under its item, moved back into the box and then into the viewport as
    // far as it would stick out, and no taller than the viewport below it. A list is
    // placed anew whenever a row opens in it, which makes it wider.
    function show(item, shown) {
      if (!item.row) return;
      item.classList.toggle('open', item.on = shown);
      item.button.ariaExpanded = shown;
      const top = item.closest('.bar>li'), row = top.row, style = row.style;
      if (shown) {
        const viewport = root.clientWidth, area = rect(nav), at = rect(top);
        style.maxWidth = viewport + 'px';
        // The list of the "Menu" button is at least as wide as the box.
        style.minWidth = narrow ? nav.offsetWidth + 'px' : 0;
        const size = rect(row);
        // On a right-to-left page (its dir, as designers write it) the row ends where its
        // item ends.
        let left = box.closest('[dir]')?.dir == 'rtl' ? at.right - size.width : at.left;
        left = Math.max(Math.min(Math.max(Math.min(left, area.right - size.width), area.left), viewport - size.width), 0);
        style.left = left - rect(bar).left + 'px';
        style.maxHeight = innerHeight - size.top + 'px';
      }
    }

    const closeAll = () => nav.querySelectorAll('.open').forEach((item) => show(item, false));

    // Opening a row in the bar closes any other at once; only opening slides. The rows
    // in the list open and close each by its own button, so that nothing moves under the
    // pointer of a visitor on the way to another one.
    function open(item, hover) {
      stop();
      if (item.parentNode == bar) closeAll();
      // The list gets the main items the bar does not show, and a row its sub items, when
      // they are first shown: a large menu starts with the bar's items only.
      if (item == list && !filled) {
        for (let i = inBar; i < mains.length; i++) list.row.append(make(i));
        filled = 1;
      }
      item.subs?.forEach((a) => link(a, element('li', '', item.row)));
      item.subs = [];
      show(item, true);
      byHover = hover;
    }

    function disclosure(item, id, label, text) {
      const button = item.button = element('button', '', item);
      button.textContent = text;
      button.ariaExpanded = false;
      button.setAttribute('aria-controls', id);
      if (label) button.ariaLabel = label;
      (item.row = element('ul', id.split('-')[0], item)).id = id;
    }

    // Main item I in the bar or the list, made when it is first shown.
    function make(i) {
      let item = items[i];
      if (!item) {
        const next = mains[i].parentNode.nextElementSibling, a = link(mains[i], item = items[i] = element('li', 'main'));
        const subs = item.subs = next?.className == 'mkvosub' ? links(next) : [];
        if (subs[0]) {
          if (a.href) a.className = 'has'; else a.remove();
          disclosure(item, 'row-' + i, a.href && more + ' ' + a.textContent, a.href ? '' : a.textContent);
        }
      }
      return item;
    }

    // Where the pointer has been over the last AGO ms, [x, y, time] oldest first, and at
    // least the place it came from.
    const path = [];
    const forget = () => {
      while (path[1] && path[0][2] < performance.now() - AGO) path.shift();
    };

    // The main item ITEM opens at once, unless the pointer at e heads for the open row:
    // unless e lies in the triangle between a place of its recent path and the row's top
    // edge (the line from there through e meets the edge, beyond e). Then it opens once
    // the pointer has rested AIM ms, or moves elsewhere.
    function enter(item, e) {
      const row = nav.querySelector('.bar>.open>ul'), r = row && rect(row);
      forget();
      stop();
      if (r && path.some(([x, y]) => {
        const t = (e.clientY - y) / (r.top - y), at = x + (e.clientX - x) / t;
        return t > 0 && t <= 1 && at >= r.left && at <= r.right;
      })) {
        pending = item;
        timer = setTimeout(() => open(item, true), AIM);
      } else {
        open(item, true);
      }
    }

    // Pointer rules apply to the main items in the bar; items in the list open by click.
    // On a narrow screen the bar holds the "Menu" button alone.
    const pointer = (e) => e.pointerType != 'touch' && !narrow && e.target.parentNode == bar;

    // The "More" item, or on a narrow screen the "Menu" button, and its list.
    const list = element('li', 'main more', bar);
    disclosure(list, 'list');

    // Puts the main items that fit in the bar; the list gets the rest when it opens. The
    // bar takes the items in batches that double, each measured in one pass after it
    // moved in, until they fill it: a large menu lays out no more items than its bar
    // shows, and the page only a few times.
    function fit() {
      const widths = [], area = rect(nav), viewport = fitted = root.clientWidth;
      let used = 0, made = 0;
      closeAll();
      filled = inBar = 0;
      bar.replaceChildren(list);
      // The box's room is its width as laid out, which a transform on the page does not
      // change; whether it shows whole is seen on screen.
      narrow = viewport < NARROW || nav.offsetWidth < width || area.left < 0 || area.right > viewport + 0.5;
      // The "More" item is measured with its label, alone in the bar.
      list.button.textContent = narrow ? menu : more;
      list.style.display = '';
      // Widths are fractions of a pixel, whose sums are not always exact.
      const room = area.width + 0.01, beside = room - rect(list).width;
      while (!narrow && used <= room && made < mains.length) {
        for (const end = made * 2 + 8; made < end && mains[made]; made++) bar.insertBefore(make(made), list);
        for (; inBar < made; inBar++) used += widths[inBar] = rect(items[inBar]).width;
      }
      // Not all of them fit: as many as fit beside the "More" item.
      if (used > room) for (inBar = used = 0; (used += widths[inBar]) <= beside;) inBar++;
      while (made > inBar) items[--made].remove();
      list.style.display = inBar < mains.length ? '' : 'none';
    }

    // The menu's events are handled once, on the menu: a large menu adds no listeners
    // per item. Entering and leaving an item do not bubble; they are caught on their way
    // down.
    on(nav, 'pointerenter', (e) => {
      const item = e.target;
      if (item.matches('.row a')) play(look[FIELD.subItemHoverSound]);
      if (pointer(e)) {
        stop();
        play(look[FIELD.mainItemHoverSound]);
        if (!item.on) enter(item, e);
      }
    }, true);
    on(nav, 'pointerleave', (e) => {
      if (pointer(e)) {
        stop();
        if (byHover) timer = setTimeout(closeAll, number(FIELD.submenuCloseDelay));
      }
    }, true);
    on(nav, 'focusout', (e) => {
      const li = e.target.closest('.bar>li');
      if (li && !li.contains(e.relatedTarget)) show(li, false);
    });
    // The path is followed over the whole page: the pointer may come from anywhere.
    on(doc, 'pointermove', (e) => {
      if (pending) enter(pending, e);
      forget();
      path.push([e.clientX, e.clientY, performance.now()]);
    });
    on(nav, 'click', (e) => {
      // Items hold their text only: a click's target is the link or button itself.
      const target = e.target, item = target.parentNode;
      // A click pins a row that the pointer opened; only a pinned row closes by click.
      if (target.type) {
        if (item.on && !byHover) show(item, false); else open(item, false);
      } else if (target.className == 'has' && touched && !item.on && item.parentNode == bar) {
        // The first tap on a main item with sub items in the bar shows its row; the
        // second follows the link.
        e.preventDefault();
        open(item, false);
      } else if (target.href && !e.defaultPrevented) {
        // A followed link closes rows and lists: a link to a place on this page leaves
        // the visitor there.
        play(look[FIELD.itemActiveSound]);
        closeAll();
      }
    });
    // The page sees the box as the target of whatever happens inside the menu.
    on(doc, 'pointerdown', (e) => {
      touched = e.pointerType == 'touch';
      if (e.target != box) closeAll();
    });
    // Escape closes the row that holds the focus and gives the focus to the row's
    // button, or closes every open row when the focus is elsewhere.
    on(doc, 'keydown', (e) => {
      const li = shadow.activeElement?.closest('.open');
      touched = 0;
      if (e.key == 'Escape') {
        if (li) {
          show(li, false);
          li.button.focus();
        } else {
          closeAll();
        }
      }
    });
    // Only a change of width changes what fits. Phones also resize the window when their
    // toolbars come and go on scrolling, which must not close the list.
    on(win, 'resize', () => {
      if (fitted != root.clientWidth) fit();
    });

    movie?.remove();
    shadow.append(css, nav);
    fit();
    // Web fonts of the page may change the captions' widths once they have loaded.
    if (doc.fonts.size) doc.fonts.ready.then(fit);
  }

  // The menu is drawn as soon as the box is there: at once, or where the script stands
  // before the box, once the page has been read. A page that is nothing but the menu
  // (the hidden link block and the box) lays out at the phone's own width; a page of the
  // designer's keeps its own viewport choice. Which it is shows once the whole body has
  // been read.
  build();
  on(doc, 'DOMContentLoaded', () => {
    build();
    if (!doc.querySelector('meta[name=viewport]') && doc.body.children.length < 3) {
      doc.head.append(Object.assign(doc.createElement('meta'), { name: 'viewport', content: 'width=device-width,initial-scale=1' }));
    }
  });
})();
