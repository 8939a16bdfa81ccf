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
  'use strict';

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

  function lightness(hex) {
    var v = parseInt(hex.slice(1), 16);
    return (0.299 * (v >> 16) + 0.587 * (v >> 8 & 255) + 0.114 * (v & 255)) / 255;
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

  function readLink(div) {
    var a = div.getElementsByTagName('a')[0];
    return a && {
      text: caption(a),
      href: unescapeQuotes(a.getAttribute('href') || ''),
      target: unescapeQuotes(a.getAttribute('target') || ''),
      subs: []
    };
  }

  // Main items with their sub items, read in the block's order: a main item's div,
  // then the divs of its sub-item block. Deeper levels have no place in a two-row menu.
  function readItems() {
    var items = [], item;
    doc.querySelectorAll('#buAj>:not(.mkvosub),#buAj>.mkvosub>:not(.mkvosub)').forEach(function (div) {
      var data = readLink(div);
      if (data && div.parentNode.id === 'buAj') items.push(item = data);
      else if (data && item) item.subs.push(data);
    });
    return items;
  }

  var sounds = {};
  // Browsers refuse sound until the visitor has clicked or pressed a key; until then
  // nothing is tried, and a refusal after that is quietly dropped.
  function play(name) {
    var activation = navigator.userActivation;
    if (!name || (activation && !activation.hasBeenActive)) return;
    try {
      var audio = sounds[name] || (sounds[name] = new Audio(encodeURIComponent(name)));
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

  function on(target, type, handler) {
    target.addEventListener(type, handler);
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
    var items = readItems();
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

    // The hidden link block takes no room: a 1 px clipped box cannot widen the page.
    if (block) block.style.cssText += ';width:1px;height:1px;overflow:hidden;clip-path:inset(50%);white-space:nowrap';
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
      '.zv-drop{position:absolute;top:100%;width:max-content;visibility:hidden;clip-path:inset(0 0 100% 0)}' +
      // The slide takes 600 ms divided by the slide speed: 200 ms at the default 3.
      '.zv-open>.zv-drop{visibility:visible;clip-path:inset(0);transition:clip-path ' +
      Math.round(600 / number(13, 1, 99999)) + 'ms}' +
      '.zv-row{flex-wrap:wrap;background:' + rowBack + '}' +
      '.zv-row a' + item + number(7, 0, 9999) + 'px;padding:0 ' + Math.ceil(ext / 2) + 'px;color:' + subText +
      font(9, 8) + '}' +
      '.zv-row a:hover{color:' + paint(11) + '}' +
      // The list of the "More" item or of the "Menu" button: a main item a line, its
      // sub items under it.
      '.zv-list{display:block;background:' + mainBack + ';white-space:normal}' +
      '.zv-list .zv-row{position:static;display:none;clip-path:none;grid-column:1/3;width:auto}' +
      '.zv-list .zv-open>ul{display:block}' +
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
      show(item, true);
      byHover = hover;
    }

    function link(data, parent) {
      var a = element('a', '', parent), href = data.href;
      a.href = href;
      if (data.target) a.target = data.target;
      a.textContent = data.text;
      if (href && href[0] !== '#' && a.href.split('#')[0] === location.href.split('#')[0])
        attr(a, 'aria-current', 'page');
      return a;
    }

    function disclosure(item, id, label) {
      var button = item.button = element('button', 'zv-btn', item.li);
      button.type = 'button';
      attr(button, 'aria-expanded', false);
      attr(button, 'aria-controls', id);
      if (label) attr(button, 'aria-label', label);
      item.row = element('ul', 'zv-row zv-drop', item.li);
      item.row.id = id;
      // A click pins a row that the pointer opened; only a pinned row closes by click.
      on(button, 'click', function () {
        if (isOpen(item) && !byHover) show(item, false); else open(item, false);
      });
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
      return e.pointerType !== 'touch' && item.li.parentNode === bar && !(narrow && item === more);
    }

    var mains = items.map(function (data, index) {
      var li = element('li', 'zv-main', bar);
      var item = li.item = { li: li };
      var a = link(data, li);
      if (data.subs.length) {
        a.className = 'zv-has';
        disclosure(item, 'zv-row-' + index, 'More ' + data.text);
        data.subs.forEach(function (sub) {
          on(link(sub, element('li', '', item.row)), 'pointerenter', function () { play(look[15]); });
        });
        // The first tap on a main item with sub items in the bar shows its row; the
        // second follows the link.
        on(a, 'click', function (e) {
          if (touched && !isOpen(item) && li.parentNode === bar) {
            e.preventDefault();
            open(item, false);
          }
        });
      }
      return item;
    });

    var more = { li: element('li', 'zv-main zv-over', bar) };
    more.li.item = more;
    disclosure(more, 'zv-list');
    more.row.className = 'zv-list zv-drop';

    mains.concat(more).forEach(function (item) {
      var li = item.li;
      on(li, 'pointerenter', function (e) {
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
      });
      on(li, 'pointerleave', function (e) {
        if (!pointer(e, item)) return;
        clearTimeout(timer);
        pending = 0;
        if (byHover) timer = setTimeout(closeAll, delay);
      });
      on(li, 'focusout', function (e) {
        if (!li.contains(e.relatedTarget) && li.parentNode === bar) show(item, false);
      });
    });

    // Puts the main items that fit in the bar and the rest in the list.
    function fit() {
      var area = rect(box), viewport = fitted = root.clientWidth, shown = 0, room, used = 0;
      closeAll();
      narrow = viewport < NARROW || area.width < width || area.left < 0 || area.right > viewport;
      mains.forEach(function (item) { bar.insertBefore(item.li, more.li); });
      more.li.style.display = 'none';
      if (!narrow) {
        room = rect(nav).width;
        if (rect(bar).width <= room) shown = mains.length;
        else {
          more.li.style.display = '';
          room -= rect(more.li).width;
          while (shown < mains.length && (used += rect(mains[shown].li).width) <= room) shown++;
        }
      }
      mains.slice(shown).forEach(function (item) { more.row.appendChild(item.li); });
      more.li.style.display = shown < mains.length ? '' : 'none';
      more.button.textContent = narrow ? 'Menu' : 'More';
    }

    on(nav, 'pointermove', function (e) {
      if (pending && !aiming(e)) open(pending, true);
      last = [e.clientX, e.clientY];
    });
    on(nav, 'pointerdown', function (e) { touched = e.pointerType === 'touch'; });
    on(nav, 'keydown', function () { touched = false; });
    on(nav, 'click', function (e) {
      if (e.target.closest('a') && !e.defaultPrevented) play(look[16]);
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

  if (doc.getElementById('mkvo_menu_zelvan_outer_div')) build(); else on(doc, 'DOMContentLoaded', build);
})();
