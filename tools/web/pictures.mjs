// Pictures of the site's pages taken in the real browser: <page>.png beside each page for the
// index, and with --readme <file.png> the orbit page as the browser window shows it. Each page
// plays its program's picture script (the one the snapshot tool plays for the README) with real
// events at the script's times and is taken at its close request.
// Usage: node pictures.mjs <web build folder> [--readme <file.png>]
//   (reads <folder>/programs.json, writes into <folder>/site/)
import { readFile, writeFile } from 'node:fs/promises';
import { join } from 'node:path';

import { canvasPng, clickAt, launch, moveTo, open, typeCharacter, waitForFrames } from './browser.mjs';
import { serve } from './serve.mjs';

const [build, flag, readme] = process.argv.slice(2);
if (!build || (flag !== undefined && (flag !== '--readme' || !readme))) {
  console.error('usage: node pictures.mjs <web build folder> [--readme <file.png>]');
  process.exit(2);
}
const site = join(build, 'site');

const KEYS = {
  enter: 'Enter', backspace: 'Backspace', tab: 'Tab', escape: 'Escape', left: 'ArrowLeft', right: 'ArrowRight',
  up: 'ArrowUp', down: 'ArrowDown', home: 'Home', end: 'End', delete: 'Delete', insert: 'Insert',
  pageup: 'PageUp', pagedown: 'PageDown',
};
for (let i = 1; i <= 12; ++i) KEYS[`f${i}`] = `F${i}`;
const BUTTONS = { 1: 'left', 2: 'right', 4: 'middle' };

// The events of a snapshot script in time order, up to its close request: [{ ms, verb, args }].
// What the browser cannot send (a key by its code) is an error naming the line.
function parseScript(text, name) {
  const events = [];
  text.split('\n').forEach((raw, index) => {
    const plain = raw.replace(/#.*/, '').trim();
    if (plain === '') return;
    const [time, verb, ...words] = plain.split(/\s+/);
    const fail = (why) => {
      throw new Error(`${name} line ${index + 1}: ${why}`);
    };
    const ms = Number(time);
    if (!Number.isFinite(ms) || ms < 0) fail('a time in milliseconds comes first');
    const numbers = words.map(Number);
    if (['click', 'move'].includes(verb) && (words.length < 2 || numbers.some((v) => !Number.isFinite(v))))
      fail(`${verb} needs <x> <y>`);
    if (verb === 'key' && !(words[0] in KEYS)) fail(`key ${words[0]} cannot be sent in the browser`);
    if (!['click', 'move', 'leave', 'press', 'release', 'wheel', 'key', 'type', 'shot', 'close'].includes(verb))
      fail(`unknown verb ${verb}`);
    const args = verb === 'type' ? [plain.slice(plain.indexOf(verb) + verb.length).trim()] : verb === 'key' ? words : numbers;
    events.push({ ms, verb, args, line: index });
  });
  events.sort((a, b) => a.ms - b.ms || a.line - b.line);
  const close = events.findIndex((e) => e.verb === 'close');
  const last = events.length ? events[events.length - 1].ms : 0;
  return close === -1 ? [...events, { ms: last + 100, verb: 'close', args: [] }] : events.slice(0, close + 1);
}

// Plays `events` on `page` at their times from now (real milliseconds for virtual ones).
async function play(page, events) {
  const start = Date.now();
  for (const { ms, verb, args } of events) {
    const wait = start + ms - Date.now();
    if (wait > 0) await page.waitForTimeout(wait);
    if (verb === 'click') await clickAt(page, args[0], args[1], args[2] ?? 100);
    else if (verb === 'move') await moveTo(page, args[0], args[1]);
    else if (verb === 'leave') await moveTo(page, -10, -10);
    else if (verb === 'press') await page.mouse.down({ button: BUTTONS[args[0] ?? 1] ?? 'left' });
    else if (verb === 'release') await page.mouse.up({ button: BUTTONS[args[0] ?? 1] ?? 'left' });
    else if (verb === 'wheel') await page.mouse.wheel(0, -100 * args[0]);
    else if (verb === 'key') await page.keyboard.press(KEYS[args[0]]);
    else if (verb === 'type') for (const ch of args[0]) await typeCharacter(page, ch);
  }
}

const programs = JSON.parse(await readFile(join(build, 'programs.json'), 'utf8'));
const scripts = await Promise.all(programs.map(async (p) => parseScript(await readFile(p.picture, 'utf8'), p.picture)));
const { server, url } = await serve(site);
const browser = await launch({ width: 1100, height: 620 });
try {
  for (const [i, { name }] of programs.entries()) {
    const page = await open(browser.context, `${url}${name}.html`);
    await waitForFrames(page);
    await play(page, scripts[i]);
    await page.waitForTimeout(300);
    await writeFile(join(site, `${name}.png`), await canvasPng(page));
    if (readme && name === 'Umlaufbahnen') await page.screenshot({ path: readme });
    await page.close();
  }
} finally {
  await browser.close();
  server.close();
}
