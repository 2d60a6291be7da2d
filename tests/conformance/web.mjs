// Plays every conformance session on the web backend: the probe's page in headless Chromium,
// each script line turned into real mouse and key events, the probe's lines read from the
// page's console and the canvas read back at every shot; `conformance check` judges each
// session. A page has no close request: the session ends there.
//
// Environment: PHYS_WEB_PAGES (build-web/conformance, the probe's page), PHYS_CONFORMANCE (the checker),
// PHYS_CONFORMANCE_SESSIONS (the sessions folder), PHYS_WEB_OUT (the recordings). Exit status
// 77 (skipped) with a message when something the driver needs is missing.
import { spawnSync } from 'node:child_process';
import { mkdir, readdir, readFile, rm, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

import { browserNeeds } from '../web/needs.mjs';

const pages = process.env.PHYS_WEB_PAGES;
const checker = process.env.PHYS_CONFORMANCE;
const sessions = process.env.PHYS_CONFORMANCE_SESSIONS;
const out = process.env.PHYS_WEB_OUT || join(tmpdir(), 'physikdemos-conformance');

const { driver, serve } = await browserNeeds(pages, 'conformance_probe.html');
const { canvasPixels, launch, moveTo, open, typeCharacter } = driver;

const BUTTONS = { 1: 'left', 2: 'right', 4: 'middle' };
const KEYS = {
  enter: 'Enter', backspace: 'Backspace', tab: 'Tab', escape: 'Escape', left: 'ArrowLeft', right: 'ArrowRight',
  up: 'ArrowUp', down: 'ArrowDown', home: 'Home', end: 'End', delete: 'Delete', insert: 'Insert',
  pageup: 'PageUp', pagedown: 'PageDown',
};
const webKey = (name) => KEYS[name] ?? (/^f\d+$/.test(name) ? name.toUpperCase() : undefined);

// The canvas as a binary PPM.
async function ppm(page) {
  const { width, height, pixels } = await canvasPixels(page);
  const rgb = Buffer.alloc(3 * pixels.length);
  pixels.forEach((p, i) => rgb.writeUIntBE(p, 3 * i, 3));
  return Buffer.concat([Buffer.from(`P6\n${width} ${height}\n255\n`), rgb]);
}

// The probe's lines so far.
const lines = (page) => page.consoleLines.filter((m) => m.type === 'log').map((m) => m.text);

// Plays the lines of `script` in `page`, writing shots into `dir`.
async function play(page, script, dir) {
  let last;
  for (const line of script.split('\n')) {
    if (!/^\d/.test(line)) continue;
    const [time, verb, ...args] = line.trim().split(/\s+/);
    const t = Number(time);
    if (last !== undefined) await page.waitForTimeout(Math.min(Math.max(t - last, 50), 1000));
    last = t;
    if (verb === 'click') {
      await moveTo(page, Number(args[0]), Number(args[1]));
      await page.mouse.down();
      await page.waitForTimeout(Number(args[2] ?? 100));
      await page.mouse.up();
    } else if (verb === 'move') {
      await moveTo(page, Number(args[0]), Number(args[1]));
    } else if (verb === 'leave') {
      await page.mouse.move(0, 0);
    } else if (verb === 'press' || verb === 'release') {
      const button = BUTTONS[args[0] ?? 1];
      await (verb === 'press' ? page.mouse.down({ button }) : page.mouse.up({ button }));
    } else if (verb === 'wheel') {
      for (let i = 0; i < Math.abs(Number(args[0])); ++i) {
        await page.mouse.wheel(0, Number(args[0]) > 0 ? -100 : 100); // one notch; up is a negative delta
        await page.waitForTimeout(30);
      }
    } else if (verb === 'key') {
      const key = webKey(args[0]);
      if (!key) throw new Error(`no browser key for '${args[0]}'`);
      await page.keyboard.press(key);
    } else if (verb === 'type') {
      // One key per character, with the character as its key value, as a keyboard with the
      // character on a key of its own sends it.
      for (const ch of line.slice(line.indexOf(' type ') + 6).trimEnd()) {
        await typeCharacter(page, ch);
        await page.waitForTimeout(20);
      }
    } else if (verb === 'shot') {
      await page.waitForTimeout(300);
      await writeFile(join(dir, args[0].replace(/\.png$/, '.ppm')), await ppm(page));
    } else if (verb === 'close') {
      await page.waitForTimeout(300);
    }
  }
}

const { server, url } = await serve(pages);
const browser = await launch();
let failed = false;
try {
  for (const file of (await readdir(sessions)).filter((f) => f.endsWith('.txt')).sort()) {
    const session = join(sessions, file);
    const dir = join(out, file.replace(/\.txt$/, ''));
    await rm(dir, { recursive: true, force: true });
    await mkdir(dir, { recursive: true });
    const page = await open(browser.context, `${url}conformance_probe.html`);
    await page.waitForFunction(() => globalThis.Module?.webFrames >= 1, null, { timeout: 10000 });
    for (let i = 0; i < 100 && !lines(page).some((l) => l.startsWith('open ')); ++i) await page.waitForTimeout(100);
    // The title in code page 437 becomes UTF-8 on the way.
    if ((await page.title()) !== 'Conformance probe ä') {
      console.log(`FAIL: ${file}: the page's title is '${await page.title()}'`);
      failed = true;
    }
    await play(page, await readFile(session, 'utf8'), dir);
    await writeFile(join(dir, 'log'), lines(page).map((l) => `${l}\n`).join(''));
    for (const m of page.consoleLines.filter((m) => m.type === 'error' || m.type === 'pageerror'))
      console.log(`${file}: the page reported: ${m.text}`);
    await page.close();
    const result = spawnSync(checker, ['check', session, join(dir, 'log'), dir, '--no-close'], { encoding: 'utf8' });
    process.stdout.write(result.stdout + result.stderr);
    if (result.status !== 0) failed = true;
  }
} finally {
  await browser.close();
  server.close();
}
process.exit(failed ? 1 : 0);
