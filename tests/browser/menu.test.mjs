// Every behaviour of the published menu, in the engine QUILLAMERE_ENGINE names
// (chromium, firefox or webkit): run.mjs --engine NAME menu.test.mjs.
import { after } from 'node:test';
import { closeBrowsers } from './lib/engines.mjs';
import './menu/structure.mjs';
import './menu/hover.mjs';
import './menu/aim.mjs';
import './menu/look.mjs';
import './menu/links.mjs';
import './menu/keyboard.mjs';
import './menu/touch.mjs';
import './menu/sounds.mjs';
import './menu/layouts.mjs';
import './menu/fonts.mjs';
import './menu/reflow.mjs';
import './menu/words.mjs';
import './menu/settings.mjs';
import './menu/a11y.mjs';
import './menu/site.mjs';

after(closeBrowsers);
