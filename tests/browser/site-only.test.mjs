import { after } from 'node:test';
import { closeBrowsers } from './lib/engines.mjs';
import './menu/site.mjs';
after(closeBrowsers);
