// Writing project files (.zorbel) for the tests and publishing them with
// quillamere-cli, the way a user's save does.
import { execFileSync } from 'node:child_process';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

export const binDir = process.env.QUILLAMERE_BIN_DIR ??
  path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../../build/bin');
export const cli = path.join(binDir, 'quillamere-cli');

// The look of a new project, by field name, in the order of the parameter line.
export const DEFAULT_LOOK = {
  mainItemExtWidth: '25', mainItemHeight: '20', mainItemFont: 'arial', mainItemFontSize: '11',
  mainItemTextColor: 'FFFFFF', mainItemColor: '131313', mainItemHoverColor: '92DDFA',
  subItemHeight: '15', subItemFont: 'arial', subItemFontSize: '9', subItemTextColor: '000000',
  subItemColor: '9E9E9E', submenuCloseDelay: '100', submenuSlideSpeed: '3',
  mainItemHoverSound: '', subItemHoverSound: '', itemActiveSound: '',
  flMenuMaxWidth: '600', flMenuMaxHeight: '40', mov_z_index: '1000',
  InternalUse_RootDir_Local: '', InternalUse_RootDir_Remote: '', InternalUse_RootDir_Local_Checked: '0',
};

const SEP = '#$@';

// items: [{ text, link, target, subs: [...] }]; target defaults to "_self".
export function projectText(look = {}, items = []) {
  const values = { ...DEFAULT_LOOK, ...look };
  const lines = [
    '<Warning_Info>', 'Note: This file was created and maintained by Quillamere 1.0.',
    'Do not modify it or script project may not be opened again!', '</Warning_Info>',
    '<Product_Name>', 'Quillamere', '</Product_Name>', '<Product_Version>', '1.0', '</Product_Version>',
    '<Applet_Parameters>', Object.values(values).map((v) => v + SEP).join(''), '</Applet_Parameters>',
    '<Item_Parameters>',
  ];
  const itemLine = (item, level) =>
    [item.text, '', item.link ?? '', item.target ?? '_self', '', '', String(level), '', '', ''].map((v) => v + SEP).join('');
  for (const item of items) {
    lines.push(itemLine(item, 0));
    for (const sub of item.subs ?? []) lines.push(itemLine(sub, 1));
  }
  lines.push('</Item_Parameters>');
  return lines.map((l) => l + '\r\n').join('');
}

// Temporary folders live as long as the test process: they go when it ends.
const folders = [];
process.on('exit', () => {
  for (const folder of folders) rmSync(folder, { recursive: true, force: true });
});

export function newFolder(prefix = 'quillamere-browser-') {
  const folder = mkdtempSync(path.join(tmpdir(), prefix));
  folders.push(folder);
  return folder;
}

// Publishes a project file with quillamere-cli into its own folder (or `to`); returns
// the path of the page.
export function publishProject(projectFile, to) {
  const args = ['publish', projectFile];
  if (to) args.push('--to', to);
  execFileSync(cli, args, { stdio: ['ignore', 'pipe', 'pipe'] });
  const stem = path.basename(projectFile).replace(/\.[^.]*$/, '');
  return path.join(to ?? path.dirname(projectFile), stem + '.html');
}

// Writes name.zorbel (and any extra files, e.g. sounds) into a new folder and
// publishes it; returns the page's path.
export function publishMenu({ look, items, name = 'menu', files = {} }) {
  const folder = newFolder();
  for (const [file, content] of Object.entries(files)) writeFileSync(path.join(folder, file), content);
  const projectFile = path.join(folder, name + '.zorbel');
  writeFileSync(projectFile, projectText(look, items));
  return publishProject(projectFile);
}
