// The companion files as they lie in the bin folder: the movie, the script's size and
// manners, the help pages and the samples. No browser needed.
import { describe, it } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync, existsSync } from 'node:fs';
import { execFileSync, spawnSync } from 'node:child_process';
import path from 'node:path';
import { gzipSync } from 'node:zlib';
import { minified, SOURCE } from './minify.mjs';
import { binDir, newFolder } from './lib/project.mjs';

// Reads an uncompressed movie: header, stage rectangle, rate, frame count and tags.
function readMovie(bytes) {
  const signature = bytes.toString('latin1', 0, 3);
  const version = bytes[3];
  const length = bytes.readUInt32LE(4);
  let bit = 64;
  const bits = (n) => {
    let value = 0;
    for (let i = 0; i < n; i++, bit++) value = (value << 1) | ((bytes[bit >> 3] >> (7 - (bit & 7))) & 1);
    return value;
  };
  const nbits = bits(5);
  const rect = [bits(nbits), bits(nbits), bits(nbits), bits(nbits)];
  let at = Math.ceil(bit / 8);
  const rate = bytes.readUInt16LE(at) / 256;
  const frames = bytes.readUInt16LE(at + 2);
  at += 4;
  const tags = [];
  while (at < bytes.length) {
    const header = bytes.readUInt16LE(at);
    let size = header & 0x3f;
    at += 2;
    if (size === 0x3f) { size = bytes.readUInt32LE(at); at += 4; }
    tags.push({ code: header >> 6, body: [...bytes.subarray(at, at + size)] });
    at += size;
    if (header >> 6 === 0) break;
  }
  return { signature, version, length, rect, rate, frames, tags, rest: bytes.length - at };
}

describe('the menu movie', () => {
  it('is a valid one-frame movie of the page background, the size of the default box', () => {
    const movie = readMovie(readFileSync(path.join(binDir, 'zelvanbar.swf')));
    assert.deepEqual(movie, {
      signature: 'FWS', version: 7, length: readFileSync(path.join(binDir, 'zelvanbar.swf')).length,
      rect: [0, 600 * 20, 0, 40 * 20], rate: 12, frames: 1,
      tags: [{ code: 9, body: [0xff, 0xff, 0xff] }, { code: 1, body: [] }, { code: 0, body: [] }], rest: 0,
    });
  });

  const makeMovie = process.env.QUILLAMERE_MAKE_MOVIE;
  it('is made by make_movie for any box size and colour', { skip: !makeMovie && 'QUILLAMERE_MAKE_MOVIE not set' }, () => {
    const folder = newFolder('quillamere-movie-');
    for (const [w, h, colour] of [[1, 1, '000000'], [9999, 9999, '12AB3C'], [285, 38, '92DDFA']]) {
      const out = path.join(folder, `m${w}.swf`);
      execFileSync(makeMovie, [out, String(w), String(h), colour]);
      const movie = readMovie(readFileSync(out));
      assert.deepEqual(movie.rect, [0, w * 20, 0, h * 20]);
      assert.equal(movie.length, readFileSync(out).length);
      assert.deepEqual(movie.tags[0].body, [...Buffer.from(colour, 'hex')]);
      assert.equal(movie.rest, 0);
    }
  });

  it('refuses sizes and colours it cannot write, and leaves no file', { skip: !makeMovie && 'QUILLAMERE_MAKE_MOVIE not set' }, () => {
    const folder = newFolder('quillamere-movie-');
    const out = path.join(folder, 'bad.swf');
    const cases = [
      [[out, '0', '40'], 2, 'make_movie: the movie size must lie within 1..9999 pixels\n'],
      [[out, '600', '10000'], 2, 'make_movie: the movie size must lie within 1..9999 pixels\n'],
      [[out, 'wide', '40'], 2, 'make_movie: the size must be two whole numbers\n'],
      [[out, '600', '40', 'white'], 2, "make_movie: 'white' is not a colour of six hexadecimal digits\n"],
      [[path.join(folder, 'no', 'such', 'folder.swf')], 1, `make_movie: cannot write ${path.join(folder, 'no', 'such', 'folder.swf')}\n`],
    ];
    for (const [args, status, message] of cases) {
      const result = spawnSync(makeMovie, args, { encoding: 'utf8' });
      assert.deepEqual([result.status, result.stderr.split('usage')[0]], [status, message], args.join(' '));
    }
    assert.equal(existsSync(out), false);
  });
});

describe('the script', () => {
  const source = readFileSync(path.join(binDir, 'swfhelper.js'), 'utf8');

  // Visitors get the minified script, with the look's defaults before it, which stays
  // within 8 KB and 3.5 KB gzipped. It is committed beside the readable source, and must
  // be what minify.mjs makes of it now.
  it('is shipped as the readable source minified, ASCII only, at most 8 KB and 3.5 KB gzipped', async () => {
    const size = Buffer.byteLength(source), gzipped = gzipSync(source).length;
    console.log(`swfhelper.js: ${size} bytes as shipped, ${gzipped} bytes gzipped`);
    const [, head, script] = source.match(/^(\{const LOOK='[^'\n]*';\n)([\s\S]*)\}\n$/) || [];
    assert.ok(head, source.slice(0, 100));
    assert.equal(script, await minified(readFileSync(SOURCE, 'utf8')),
      'companion/swfhelper.min.js is not the current swfhelper.js minified: run "node tests/browser/minify.mjs"');
    assert.equal(/[^\x00-\x7f]/.test(source), false, 'a page in any encoding reads an ASCII script the same');
    assert.ok(size <= 8192 && gzipped <= 3584, `${size} bytes minified, ${gzipped} gzipped`);
  });

  it('reaches for nothing on the network and loads nothing else', () => {
    const code = source.replace(/\/\*[\s\S]*?\*\//g, '').replace(/\/\/.*$/gm, '');
    for (const word of ['fetch', 'XMLHttpRequest', 'WebSocket', 'EventSource', 'sendBeacon', 'import(', 'http:', 'https:', 'eval(', 'document.write'])
      assert.equal(code.includes(word), false, word);
  });
});
