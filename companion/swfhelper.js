/*
 * swfhelper.js - draws the menu of a page published by Quillamere.
 *
 * The page carries the menu twice: the hidden link block (#buAj: one div per main
 * item, followed by a div.mkvosub with the links of its sub items) and the look, the
 * 17 values of "flashparams" in the FlashVars parameter of the movie object #bAAd,
 * each value ended by "#$@". window.BeAj x window.BfAj is the menu box.
 *
 * Browsers no longer run the movie, so this script takes its place: it removes the
 * object (and the embed inside it) and builds, inside the box, a navigation bar of
 * plain links with a second row for the sub items of one main item at a time. The
 * keyboard model is the "disclosure navigation menu with top-level links": main links
 * stay links, and a main item with sub items gets its own button that shows or hides
 * the row (aria-expanded, aria-controls). No network access, no framework.
 *
 * Every item stays within reach:
 * - main items that do not fit the box's width move into a last "More" item, a
 *   disclosure like the others that opens a list of them;
 * - on a screen narrower than NARROW (640 CSS px), or one that cannot show the whole
 *   box, the bar is a single "Menu" button that opens the list of every main item,
 *   each with its sub items behind its own button (the usual phone navigation);
 * - rows and lists open inside the viewport.
 * Heights are the look's at the browser's default text size and grow with the text
 * when the visitor's minimum font size or text zoom makes it larger; touch screens get
 * targets of at least 24 x 24 px.
 */
(function () {

  var doc = document, win = window, root = doc.documentElement;
  // The look values, in the order of "flashparams", as a new project has them.
  var DEFAULTS = '25,20,arial,11,FFFFFF,131313,92DDFA,15,arial,9,000000,9E9E9E,100,3,,,'.split(',');
  var SEPARATOR = '#$@';
  // Below this viewport width (CSS px) the bar becomes the "Menu" button.
  var NARROW = 640;
  // How long a pointer that crosses other main items on its way to the open row may
  // take before the item under it opens instead.
  var AIM = 300;

  function whole(text, fallback, low, high) {
    var n = parseInt(text, 10);
    if (isNaN(n)) n = parseInt(fallback, 10);
    return Math.min(high, Math.max(low, n));
  }

  // Six hexadecimal digits red first; fewer digits count as if zeros followed ("FF" is
  // red), "transparent" is black. Anything else falls back to the default colour.
  function colour(text, fallback) {
    text = (text || '').trim();
    if (/^transparent$/i.test(text)) return '#000000';
    if (!/^[0-9a-f]{1,6}/i.test(text)) text = fallback;
    return '#' + (text.slice(0, 6) + '00000').slice(0, 6).toUpperCase();
  }

  // A font family as one quoted CSS name with the generic family it belongs to, so
  // that a visitor without the font still gets its kind of letters.
  function family(text, fallback) {
    text = (text || '').replace(/["'\\;{}<>]/g, '').trim() || fallback;
    return '"' + text + '",' + (/mono|courier|consol/i.test(text) ? 'monospace'
      : /serif|georgia|times|garamond|palatino|book|cambria/i.test(text) && !/sans/i.test(text) ? 'serif'
        : 'sans-serif');
  }

  // The editor lets a quote in only behind a backslash; the visitor sees the quote.
  function unescapeQuotes(text) {
    return text.replace(/\\(['"])/g, '$1');
  }

  // Captions are written "+" for a space and %XX for every other byte of their UTF-8
  // form. Text that does not decode is shown as written.
  function caption(link) {
    var text = link.textContent.replace(/\+/g, ' ');
    try {
      text = decodeURIComponent(text);
    } catch (e) { /* shown as written */ }
    return unescapeQuotes(text);
  }

  function readLook() {
    var param = doc.querySelector('#bAAd param[name=flashvars i]');
    var text = param && param.getAttribute('value') || '', at = text.indexOf('flashparams=');
    var values = at < 0 ? [] : text.slice(at + 12).split(SEPARATOR);
    // A value counts when its separator follows it.
    return DEFAULTS.map(function (value, i) { return i < values.length - 1 ? values[i] : value; });
  }

  function readLink(a) {
    return {
      text: caption(a),
      href: unescapeQuotes(a.getAttribute('href') || ''),
      target: unescapeQuotes(a.getAttribute('target') || ''),
      subs: []
    };
  }

  // Main items with the links of their sub items, read in the block's order: a main
  // item's div, then the divs of its sub-item block. Deeper levels have no place in a
  // two-row menu. A sub item's link is read only when its row is first shown.
  function readItems() {
    var items = [], item;
    doc.querySelectorAll('#buAj>:not(.mkvosub),#buAj>.mkvosub>:not(.mkvosub)').forEach(function (div) {
      var a = div.getElementsByTagName('a')[0];
      if (a && div.parentNode.id === 'buAj') items.push(item = readLink(a));
      else if (a && item) item.subs.push(a);
    });
    return items;
  }

  var sounds = {};
  // The sounds lie beside this script: at the site's root, where a page in a sub folder
  // includes it from. "swfhelper.js/../" is the script's folder.
  var HERE = doc.currentScript.src + '/../';
  // Browsers refuse sound until the visitor has clicked or pressed a key; until then
  // nothing is tried, and a refusal after that is quietly dropped.
  function play(name) {
    var activation = navigator.userActivation;
    if (!name || (activation && !activation.hasBeenActive)) return;
    try {
      var audio = sounds[name] || (sounds[name] = new Audio(HERE + encodeURIComponent(name)));
      audio.currentTime = 0;
      var started = audio.play();
      if (started && started.catch) started.catch(function () {});
    } catch (e) { /* no sound */ }
  }

  function element(tag, className, parent) {
    var e = doc.createElement(tag);
    if (className) e.className = className;
    if (parent) parent.appendChild(e);
    return e;
  }

  function attr(e, name, value) {
    e.setAttribute(name, value);
  }

  function on(target, type, handler, capture) {
    target.addEventListener(type, handler, capture);
  }

  function rect(e) {
    return e.getBoundingClientRect();
  }

  function build() {
    var box = doc.getElementById('mkvo_menu_zelvan_outer_div');
    if (!box || doc.getElementById('zv-menu')) return;
    var object = doc.getElementById('bAAd');
    var block = doc.getElementById('buAj');
    var look = readLook();
    var mains = readItems();
    var number = function (i, low, high) { return whole(look[i], DEFAULTS[i], low, high); };
    var paint = function (i) { return colour(look[i], DEFAULTS[i]); };
    var font = function (size, name) {
      return ';font:normal ' + number(size, 1, 1000) + 'px ' + family(look[name], 'arial');
    };

    var width = whole(win.BeAj, 600, 1, 9999);
    var ext = number(0, 0, 9999);
    var mainBack = paint(5);
    var subText = paint(10);
    var delay = number(12, 0, 99999);
    // The row lies on the page's white unless its text is light: then on the bar's colour.
    var rgb = parseInt(subText.slice(1), 16);
    var rowBack = 0.299 * (rgb >> 16) + 0.587 * (rgb >> 8 & 255) + 0.114 * (rgb & 255) > 127 ? mainBack : '#FFFFFF';

    // The hidden link block takes no room: a 1 px box that hides what overflows it cannot
    // widen the page. Its links are not even laid out, which in a large menu would take
    // longer than drawing the menu.
    if (block) block.style.cssText += ';width:1px;height:1px;overflow:hidden;content-visibility:hidden';
    // The box never sticks out of a page narrower than itself.
    box.style.maxWidth = '100%';
    // A page that is nothing but the menu lays out at the phone's own width; a page of
    // the designer's keeps its own viewport choice. Which it is shows once the whole
    // body has been read.
    var phoneWidth = function () {
      if (!doc.querySelector('meta[name=viewport],body>:not(#buAj,#mkvo_menu_zelvan_outer_div,script,noscript,style)')) {
        var meta = element('meta', '', doc.head);
        meta.name = 'viewport';
        meta.content = 'width=device-width,initial-scale=1';
      }
    };
    if (doc.readyState === 'loading') on(doc, 'DOMContentLoaded', phoneWidth); else phoneWidth();

    // Items are flex boxes at least the look's height whose text keeps its own line
    // height, so that larger text makes them taller instead of being cut.
    var item = '{display:flex;align-items:center;margin:0;border:0;text-decoration:none;min-height:';
    var css = element('style');
    css.textContent =
      '#zv-menu{position:relative;width:' + width + 'px;max-width:100%;height:' + whole(win.BfAj, 40, 1, 9999) +
      'px;line-height:normal}' +
      '.zv-bar,.zv-drop{list-style:none;margin:0;padding:0;display:flex;white-space:nowrap}' +
      '.zv-bar{position:relative;width:max-content;background:' + mainBack + '}' +
      '.zv-main{display:flex}' +
      '.zv-main>a,.zv-btn' + item + number(1, 1, 9999) + 'px;padding:0 ' + ext + 'px;background:none;color:' +
      paint(4) + font(3, 2) + ';cursor:pointer}' +
      '.zv-main>.zv-has{padding-inline-end:' + Math.max(ext - 24, 0) + 'px}' +
      '.zv-btn{min-width:24px;padding:0;justify-content:center}' +
      '.zv-btn:after{content:"";border:4px solid transparent;border-bottom:0;border-top-color:currentColor;margin:2px 8px 0}' +
      '.zv-over>.zv-btn{padding:0 ' + Math.min(ext, 12) + 'px}' +
      '.zv-main:hover>*,.zv-main>:focus,.zv-open>*,.zv-open>a{color:' + paint(6) + '}' +
      // A closed row is not drawn at all, so that a large menu lays out no more than its
      // bar; an opening row slides in from its top edge, in 600 ms divided by the slide
      // speed: 200 ms at the default 3.
      '.zv-drop{position:absolute;top:100%;width:max-content;display:none}' +
      '.zv-open>.zv-drop{display:flex;clip-path:inset(0);transition:clip-path ' +
      Math.round(600 / number(13, 1, 99999)) + 'ms}' +
      '@starting-style{.zv-open>.zv-drop{clip-path:inset(0 0 100% 0)}}' +
      '.zv-row{flex-wrap:wrap;background:' + rowBack + '}' +
      '.zv-row a' + item + number(7, 0, 9999) + 'px;padding:0 ' + Math.ceil(ext / 2) + 'px;color:' + subText +
      font(9, 8) + '}' +
      '.zv-row a:hover{color:' + paint(11) + '}' +
      // The list of the "More" item or of the "Menu" button: a main item a line, its
      // sub items under it.
      '.zv-list{background:' + mainBack + ';white-space:normal}' +
      '.zv-list .zv-row{position:static;clip-path:none;grid-column:1/3;width:auto}' +
      '.zv-open>.zv-list,.zv-list .zv-open>ul{display:block}' +
      '.zv-list>li{display:grid;grid-template-columns:1fr auto}' +
      '.zv-list .zv-row a{padding-inline-start:' + (ext + 12) + 'px}' +
      '#zv-menu :focus-visible{outline:2px solid;outline-offset:-2px}' +
      '@media (pointer:coarse){.zv-bar a,.zv-bar button{min-height:24px;min-width:24px}}';

    var nav = element('nav');
    nav.id = 'zv-menu';
    attr(nav, 'aria-label', 'Site menu');
    var bar = element('ul', 'zv-bar', nav);
    // byHover: the open rows were opened by the pointer resting on them and close when
    // it leaves. pending: the main item that opens once the pointer stops heading for
    // the open row; last: where the pointer was before its latest move.
    var timer, touched, byHover, narrow, pending, last, fitted;

    function isOpen(item) {
      return item.li.classList.contains('zv-open');
    }

    function link(data, parent) {
      var a = element('a', '', parent), href = data.href;
      a.href = href;
      if (data.target) a.target = data.target;
      a.textContent = data.text;
      if (href && href[0] !== '#' && a.href.split('#')[0] === location.href.split('#')[0]) attr(a, 'aria-current', 'page');
      return a;
    }

    function show(item, shown) {
      if (!item.row) return;
      item.li.classList.toggle('zv-open', shown);
      attr(item.button, 'aria-expanded', shown);
      if (shown && item.li.parentNode === bar) place(item.li, item.row);
    }

    // A row opens under its item, moved back into the box and then into the viewport as
    // far as it would stick out.
    function place(li, row) {
      var viewport = root.clientWidth, area = rect(nav), at = rect(li);
      row.style.left = 0;
      row.style.maxWidth = viewport + 'px';
      // The list of the "Menu" button is at least as wide as the box.
      row.style.minWidth = narrow && li === more.li ? area.width + 'px' : 0;
      var rowWidth = rect(row).width;
      var left = getComputedStyle(nav).direction === 'rtl' ? at.right - rowWidth : at.left;
      left = Math.max(Math.min(left, area.right - rowWidth), area.left);
      row.style.left = Math.max(Math.min(left, viewport - rowWidth), 0) - rect(bar).left + 'px';
    }

    function closeAll() {
      nav.querySelectorAll('.zv-open').forEach(function (li) { show(li.item, false); });
    }

    // Opening a row in the bar closes any other at once; only opening slides. The rows
    // in the list open and close each by its own button, so that nothing moves under the
    // pointer of a visitor on the way to another one.
    function open(item, hover) {
      clearTimeout(timer);
      pending = 0;
      if (item.li.parentNode === bar) closeAll();
      // A row gets its sub items when it first opens: a large menu starts with its main
      // items only.
      if (item.subs) item.subs.forEach(function (a) { link(readLink(a), element('li', '', item.row)); });
      item.subs = 0;
      show(item, true);
      byHover = hover;
    }

    function disclosure(item, id, label) {
      var button = item.button = element('button', 'zv-btn', item.li);
      button.type = 'button';
      attr(button, 'aria-expanded', false);
      attr(button, 'aria-controls', id);
      if (label) attr(button, 'aria-label', label);
      item.row = element('ul', 'zv-row zv-drop', item.li);
      item.row.id = id;
    }

    // Whether the pointer, moving from its last place to e, heads for the open row in
    // the bar: whether e lies in the triangle between the last place and the row's top
    // edge.
    function aiming(e) {
      var row = nav.querySelector('.zv-bar>.zv-open>ul'), r = row && rect(row);
      if (!r || !last) return false;
      var t = (e.clientY - last[1]) / (r.top - last[1]);
      return t > 0 && t <= 1 && e.clientX >= last[0] + t * (r.left - last[0]) &&
        e.clientX <= last[0] + t * (r.right - last[0]);
    }

    // Pointer rules apply to the main items in the bar; items in the list open by click.
    function pointer(e, item) {
      return item && e.pointerType !== 'touch' && item.li.parentNode === bar && !(narrow && item === more);
    }

    var more = { li: element('li', 'zv-main zv-over', bar) };
    more.li.item = more;
    disclosure(more, 'zv-list');
    more.row.className = 'zv-list zv-drop';

    // The main items start in the list, which is not drawn while it is closed.
    mains.forEach(function (item, index) {
      var li = item.li = element('li', 'zv-main', more.row);
      var a = link(item, li);
      li.item = item;
      if (item.subs.length) {
        a.className = 'zv-has';
        disclosure(item, 'zv-row-' + index, 'More ' + item.text);
      }
    });

    // Moves main items FROM to TO (not included) into PARENT before NEXT.
    function move(from, to, parent, next) {
      mains.slice(from, to).forEach(function (item) { parent.insertBefore(item.li, next); });
    }

    // Puts the main items that fit in the bar and the rest in the list. The bar takes
    // the items in batches that double, each measured in one pass after it moved in,
    // until they fill it: a large menu lays out no more items than its bar shows, and
    // the page only a few times.
    function fit() {
      var shown = 0, used = 0, widths = [], room, area, viewport, end;
      closeAll();
      move(0, bar.children.length - 1, more.row, more.row.firstChild);
      more.li.style.display = '';
      // The "More" item is measured with its label, which on a narrow screen is "Menu".
      more.button.textContent = 'More';
      area = rect(box);
      viewport = fitted = root.clientWidth;
      narrow = viewport < NARROW || area.width < width || area.left < 0 || area.right > viewport;
      if (!narrow) {
        // Widths are fractions of a pixel, whose sums are not always exact.
        room = rect(nav).width + 0.01;
        while (used <= room && shown < mains.length) {
          move(shown, end = shown * 2 + 8, bar, more.li);
          for (; shown < end && mains[shown]; shown++) used += widths[shown] = rect(mains[shown].li).width;
        }
        // Not all of them fit: as many as fit beside the "More" item.
        if (used > room) {
          room -= rect(more.li).width;
          for (shown = used = 0; (used += widths[shown]) <= room;) shown++;
        }
      }
      move(shown, widths.length, more.row, more.row.firstChild);
      more.li.style.display = shown < mains.length ? '' : 'none';
      if (narrow) more.button.textContent = 'Menu';
    }

    // The menu's events are handled once, on the menu: a large menu adds no listeners
    // per item. Entering and leaving an item do not bubble; they are caught on their way
    // down.
    on(nav, 'pointerenter', function (e) {
      var item = e.target.item;
      if (e.target.matches('.zv-row a')) play(look[15]);
      if (!pointer(e, item)) return;
      clearTimeout(timer);
      if (item !== more) play(look[14]);
      if (isOpen(item)) return;
      if (aiming(e)) {
        pending = item;
        timer = setTimeout(function () { open(item, true); }, AIM);
      } else {
        open(item, true);
      }
    }, true);
    on(nav, 'pointerleave', function (e) {
      if (!pointer(e, e.target.item)) return;
      clearTimeout(timer);
      pending = 0;
      if (byHover) timer = setTimeout(closeAll, delay);
    }, true);
    on(nav, 'focusout', function (e) {
      var li = e.target.closest('.zv-bar>li');
      if (li && !li.contains(e.relatedTarget)) show(li.item, false);
    });
    on(nav, 'pointermove', function (e) {
      if (pending && !aiming(e)) open(pending, true);
      last = [e.clientX, e.clientY];
    });
    on(nav, 'pointerdown', function (e) { touched = e.pointerType === 'touch'; });
    on(nav, 'keydown', function () { touched = false; });
    on(nav, 'click', function (e) {
      // Items hold their text only: a click's target is the link or button itself.
      var target = e.target, item = target.parentNode.item;
      // A click pins a row that the pointer opened; only a pinned row closes by click.
      if (target.type === 'button') {
        if (isOpen(item) && !byHover) show(item, false); else open(item, false);
      } else if (target.className === 'zv-has' && touched && !isOpen(item) && item.li.parentNode === bar) {
        // The first tap on a main item with sub items in the bar shows its row; the
        // second follows the link.
        e.preventDefault();
        open(item, false);
      } else if (target.href && !e.defaultPrevented) {
        play(look[16]);
      }
    });
    on(doc, 'pointerdown', function (e) {
      if (!nav.contains(e.target)) closeAll();
    });
    // Escape closes the row that holds the focus and gives the focus to the row's
    // button, or closes every open row when the focus is elsewhere.
    on(doc, 'keydown', function (e) {
      if (e.key !== 'Escape') return;
      var li = (doc.activeElement || nav).closest('.zv-open');
      if (li && nav.contains(li)) {
        show(li.item, false);
        li.item.button.focus();
      } else {
        closeAll();
      }
    });
    // Only a change of width changes what fits. Phones also resize the window when their
    // toolbars come and go on scrolling, which must not close the list.
    on(win, 'resize', function () {
      if (fitted !== root.clientWidth) fit();
    });

    if (object) object.replaceWith(css, nav); else (doc.getElementById('bjAj') || box).append(css, nav);
    fit();
    // Web fonts of the page may change the captions' widths once they have loaded.
    if (doc.fonts && doc.fonts.size) doc.fonts.ready.then(fit);
  }

  // Once the box is there: at once when the script stands inside it, else when the page
  // is read (a second call finds the menu built and does nothing).
  build();
  on(doc, 'DOMContentLoaded', build);
})();
