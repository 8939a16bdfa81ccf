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
 */
(function () {
  'use strict';

  var doc = document;
  // The look values, in the order of "flashparams", as a new project has them.
  var DEFAULTS = ['25', '20', 'arial', '11', 'FFFFFF', '131313', '92DDFA', '15', 'arial', '9',
    '000000', '9E9E9E', '100', '3', '', '', ''];
  var SEPARATOR = '#$@';

  function whole(text, fallback, min, max) {
    var n = parseInt(text, 10);
    if (isNaN(n)) n = parseInt(fallback, 10);
    return Math.min(max, Math.max(min, n));
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

  // A font family as one quoted CSS name with a generic fallback.
  function family(text, fallback) {
    text = (text || '').replace(/["'\\;{}<>]/g, '').trim() || fallback;
    return '"' + text + '",sans-serif';
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

  function readLook(object) {
    var text = '', params = object ? object.getElementsByTagName('param') : [], i;
    for (i = 0; i < params.length; i++)
      if ((params[i].getAttribute('name') || '').toLowerCase() === 'flashvars')
        text = params[i].getAttribute('value') || '';
    var at = text.indexOf('flashparams=');
    var values = at < 0 ? [] : text.slice(at + 12).split(SEPARATOR);
    var look = [];
    // A value counts when its separator follows it.
    for (i = 0; i < DEFAULTS.length; i++) look.push(i < values.length - 1 ? values[i] : DEFAULTS[i]);
    return look;
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

  // Main items with their sub items. Deeper levels have no place in a two-row menu.
  function readItems(block) {
    var items = [], kids = block ? block.children : [], i, j, item, sub;
    for (i = 0; i < kids.length; i++) {
      if (kids[i].className === 'mkvosub') {
        for (j = 0; item && j < kids[i].children.length; j++)
          if (kids[i].children[j].className !== 'mkvosub' && (sub = readLink(kids[i].children[j])))
            item.subs.push(sub);
      } else if ((sub = readLink(kids[i]))) {
        items.push(item = sub);
      }
    }
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

  function build() {
    var box = doc.getElementById('mkvo_menu_zelvan_outer_div');
    if (!box || doc.getElementById('zv-menu')) return;
    var object = doc.getElementById('bAAd');
    var look = readLook(object);
    var items = readItems(doc.getElementById('buAj'));

    var width = whole(window.BeAj, 600, 1, 9999);
    var height = whole(window.BfAj, 40, 1, 9999);
    var ext = whole(look[0], 25, 0, 9999);
    var mainHeight = whole(look[1], 20, 1, 9999);
    var mainSize = whole(look[3], 11, 1, 1000);
    var mainText = colour(look[4], DEFAULTS[4]);
    var mainBack = colour(look[5], DEFAULTS[5]);
    var mainHover = colour(look[6], DEFAULTS[6]);
    var subHeight = whole(look[7], 15, 0, 9999);
    var subSize = whole(look[9], 9, 1, 1000);
    var subText = colour(look[10], DEFAULTS[10]);
    var subHover = colour(look[11], DEFAULTS[11]);
    var delay = whole(look[12], 100, 0, 99999);
    // The slide takes 600 ms divided by the slide speed: 200 ms at the default 3.
    var slide = Math.round(600 / whole(look[13], 3, 1, 99999));
    // The row lies on the page's white unless its text is light: then on the bar's colour.
    var rowBack = lightness(subText) > 0.5 ? mainBack : '#FFFFFF';
    // The disclosure button, 24 px wide so that it is easy to hit, takes its room from
    // the item's right-hand extra width.
    var button = 24;
    var subPad = Math.ceil(ext / 2);

    var css = element('style');
    css.textContent =
      '#zv-menu{position:relative;overflow:hidden;width:' + width + 'px;height:' + height +
      'px;text-align:left;line-height:normal}' +
      '#zv-menu ul{list-style:none;margin:0;padding:0;display:flex;white-space:nowrap}' +
      '.zv-bar{width:max-content;height:' + mainHeight + 'px;background:' + mainBack + '}' +
      '.zv-main{display:flex}' +
      '.zv-main>a,.zv-more{display:block;box-sizing:border-box;height:' + mainHeight + 'px;line-height:' +
      mainHeight + 'px;padding:0 ' + ext + 'px;margin:0;border:0;background:none;color:' + mainText +
      ';font:normal ' + mainSize + 'px/' + mainHeight + 'px ' + family(look[2], 'arial') +
      ';text-decoration:none;cursor:pointer}' +
      '.zv-main>a.zv-has{padding-right:' + Math.max(ext - button, 0) + 'px}' +
      '.zv-more{width:' + button + 'px;padding:0;position:relative}' +
      '.zv-more::after{content:"";position:absolute;left:50%;top:50%;margin:-2px 0 0 -4px;' +
      'border:4px solid transparent;border-bottom:0;border-top-color:currentColor}' +
      '.zv-main:hover>a,.zv-main:hover>.zv-more,.zv-main>a:focus,.zv-more:focus,.zv-open>a,.zv-open>.zv-more{color:' +
      mainHover + '}' +
      '#zv-menu .zv-row{position:absolute;left:0;top:' + mainHeight + 'px;height:' + subHeight + 'px;background:' +
      rowBack + ';visibility:hidden;clip-path:inset(0 0 100% 0)}' +
      '#zv-menu .zv-open>.zv-row{visibility:visible;clip-path:inset(0);transition:clip-path ' + slide + 'ms}' +
      '.zv-row a{display:block;padding:0 ' + subPad + 'px;height:' + subHeight + 'px;color:' + subText +
      ';font:normal ' + subSize + 'px/' + subHeight + 'px ' + family(look[8], 'arial') + ';text-decoration:none}' +
      '.zv-row a:hover{color:' + subHover + '}' +
      '#zv-menu a:focus-visible,#zv-menu button:focus-visible{outline:2px solid;outline-offset:-2px}';

    var nav = element('nav');
    nav.id = 'zv-menu';
    nav.setAttribute('aria-label', 'Site menu');
    var bar = element('ul', 'zv-bar', nav);
    var openItem = null, timer = 0, touched = false;

    function place(item) {
      var left = item.li.offsetLeft, rowWidth = item.row.getBoundingClientRect().width;
      if (left + rowWidth > width) left = Math.max(0, width - rowWidth);
      item.row.style.left = left + 'px';
    }

    function close(item) {
      if (!item || !item.row) return;
      item.li.classList.remove('zv-open');
      item.button.setAttribute('aria-expanded', 'false');
      if (openItem === item) openItem = null;
    }

    // Opening one row closes any other at once: only opening slides.
    function open(item) {
      clearTimeout(timer);
      if (openItem !== item) close(openItem);
      if (!item.row) return;
      place(item);
      item.li.classList.add('zv-open');
      item.button.setAttribute('aria-expanded', 'true');
      openItem = item;
    }

    function link(data, parent) {
      var a = element('a', '', parent);
      a.href = data.href;
      if (data.target) a.target = data.target;
      a.textContent = data.text;
      return a;
    }

    items.forEach(function (item, index) {
      var li = element('li', 'zv-main', bar);
      var a = link(item, li);
      item.li = li;
      if (item.subs.length) {
        var id = 'zv-row-' + index;
        a.className = 'zv-has';
        item.button = element('button', 'zv-more', li);
        item.button.type = 'button';
        item.button.setAttribute('aria-expanded', 'false');
        item.button.setAttribute('aria-controls', id);
        item.button.setAttribute('aria-label', 'More ' + item.text);
        item.row = element('ul', 'zv-row', li);
        item.row.id = id;
        item.subs.forEach(function (sub) {
          var subItem = element('li', '', item.row);
          link(sub, subItem).addEventListener('pointerenter', function () { play(look[15]); });
        });
        item.button.addEventListener('click', function () {
          if (openItem === item) close(item); else open(item);
        });
        // The first tap on a main item with sub items shows its row; the second
        // follows the link.
        a.addEventListener('click', function (e) {
          if (touched && openItem !== item) {
            e.preventDefault();
            open(item);
          }
        });
        li.addEventListener('keydown', function (e) {
          if (e.key === 'Escape' && openItem === item) {
            close(item);
            item.button.focus();
          }
        });
        li.addEventListener('focusout', function (e) {
          if (!li.contains(e.relatedTarget)) close(item);
        });
      }
      li.addEventListener('pointerenter', function (e) {
        if (e.pointerType === 'touch') return;
        open(item);
        play(look[14]);
      });
      li.addEventListener('pointerleave', function (e) {
        if (e.pointerType === 'touch' || openItem !== item) return;
        clearTimeout(timer);
        timer = setTimeout(function () { close(item); }, delay);
      });
    });

    nav.addEventListener('pointerdown', function (e) { touched = e.pointerType === 'touch'; });
    nav.addEventListener('keydown', function () { touched = false; });
    nav.addEventListener('click', function (e) {
      if (e.target.closest('a') && !e.defaultPrevented) play(look[16]);
    });
    // Focus may scroll a clipped item into view; leaving the menu puts it back.
    nav.addEventListener('focusout', function (e) {
      if (!nav.contains(e.relatedTarget)) nav.scrollLeft = nav.scrollTop = 0;
    });
    doc.addEventListener('pointerdown', function (e) {
      if (!nav.contains(e.target)) close(openItem);
    });

    var holder = (object && object.parentNode) || doc.getElementById('bjAj') || box;
    if (object) holder.replaceChild(nav, object); else holder.appendChild(nav);
    nav.parentNode.insertBefore(css, nav);
  }

  if (doc.getElementById('mkvo_menu_zelvan_outer_div')) build();
  else doc.addEventListener('DOMContentLoaded', build);
})();
