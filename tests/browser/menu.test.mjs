// Every behaviour of the published menu, in the engine QUILLAMERE_ENGINE names
// (chromium, firefox or webkit): run.mjs --engine NAME menu.test.mjs.
import { after } from 'node:test';
import { closeBrowsers } from './lib/engines.mjs';
import './menu/structure.mjs';
import './menu/hover.mjs';

after(closeBrowsers);
