// The system's Chromium, headless, driven through its DevTools protocol: shared by the browser
// tests, the benchmarks and the screenshots of the browser build.
import { mkdtemp, readFile, rm } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { inflateSync } from 'node:zlib';

import { chromium } from 'playwright-core';

export const CHROMIUM = process.env.PHYS_CHROMIUM || '/usr/bin/chromium';

// Nothing may reach out to the network: only the site on 127.0.0.1 is loaded.
const FLAGS = [
  '--headless',
  '--no-sandbox',
  '--disable-gpu',
  '--disable-quic',
  '--no-first-run',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
];

// Starts the browser with a fresh profile, with a touch screen when `touch`; `close()` ends it
// and removes the profile.
export async function launch({ width = 1280, height = 800, touch = false } = {}) {
  const profile = await mkdtemp(join(tmpdir(), 'physikdemos-chromium-'));
  let context;
  try {
    context = await chromium.launchPersistentContext(profile, {
      executablePath: CHROMIUM,
      headless: true,
      chromiumSandbox: false,
      args: FLAGS,
      viewport: { width, height },
      deviceScaleFactor: 1,
      hasTouch: touch,
    });
  } catch (error) {
    await rm(profile, { recursive: true, force: true });
    throw error;
  }
  return {
    context,
    async close() {
      await context.close().catch(() => {});
      await rm(profile, { recursive: true, force: true });
    },
  };
}

// Opens `url` in a new tab and keeps what the page writes to its console in `page.consoleLines`.
export async function open(context, url) {
  const page = await context.newPage();
  page.consoleLines = [];
  page.on('console', (message) => page.consoleLines.push({ type: message.type(), text: message.text() }));
  page.on('pageerror', (error) => page.consoleLines.push({ type: 'pageerror', text: String(error) }));
  await page.goto(url);
  return page;
}

// Waits until the program has shown at least `count` pictures on its canvas in all.
export async function waitForFrames(page, count = 1, timeout = 10000) {
  await page.waitForFunction((n) => (globalThis.Module?.webFrames ?? 0) >= n, count, { timeout });
}

// Waits until the browser has painted `count` more display frames.
export async function displayFrames(page, count = 2) {
  await page.evaluate(
    (n) =>
      new Promise((done) => {
        let left = n;
        const tick = () => (--left <= 0 ? done() : requestAnimationFrame(tick));
        requestAnimationFrame(tick);
      }),
    count,
  );
}

// The canvas `#screen` as { width, height, pixels }, one 0xRRGGBB number per pixel, row by row.
export async function canvasPixels(page) {
  const { width, height, data } = await page.evaluate(() => {
    const canvas = document.getElementById('screen');
    const image = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height);
    let text = '';
    for (let i = 0; i < image.data.length; i += 0x8000)
      text += String.fromCharCode.apply(null, image.data.subarray(i, i + 0x8000));
    return { width: canvas.width, height: canvas.height, data: btoa(text) };
  });
  const rgba = Buffer.from(data, 'base64');
  const pixels = new Uint32Array(width * height);
  for (let i = 0; i < pixels.length; ++i)
    pixels[i] = (rgba[4 * i] << 16) | (rgba[4 * i + 1] << 8) | rgba[4 * i + 2];
  return { width, height, pixels };
}

// The canvas as PNG bytes, encoded by the browser.
export async function canvasPng(page) {
  const url = await page.evaluate(() => document.getElementById('screen').toDataURL('image/png'));
  return Buffer.from(url.slice(url.indexOf(',') + 1), 'base64');
}

// An 8-bit RGB or RGBA PNG file (not interlaced) as { width, height, pixels } like canvasPixels.
export async function readPng(path) {
  const bytes = await readFile(path);
  let offset = 8;
  let width = 0, height = 0, channels = 0;
  const idat = [];
  while (offset + 8 <= bytes.length) {
    const length = bytes.readUInt32BE(offset);
    const type = bytes.toString('latin1', offset + 4, offset + 8);
    const body = bytes.subarray(offset + 8, offset + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      const [depth, colour, , , interlace] = body.subarray(8, 13);
      channels = { 2: 3, 6: 4 }[colour];
      if (depth !== 8 || !channels || interlace !== 0) throw new Error(`${path}: unsupported PNG layout`);
    } else if (type === 'IDAT') {
      idat.push(body);
    }
    offset += 12 + length;
  }
  const raw = inflateSync(Buffer.concat(idat));
  const stride = width * channels;
  const rows = Buffer.alloc(stride * height);
  // Undo the per-row filters: each byte was stored minus a prediction from its left, upper and
  // upper-left neighbours (a, b, c).
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const src = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let i = 0; i < stride; ++i) {
      const a = i >= channels ? rows[y * stride + i - channels] : 0;
      const b = y > 0 ? rows[(y - 1) * stride + i] : 0;
      const c = i >= channels && y > 0 ? rows[(y - 1) * stride + i - channels] : 0;
      let predictor = 0;
      if (filter === 1) predictor = a;
      else if (filter === 2) predictor = b;
      else if (filter === 3) predictor = (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
        predictor = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      rows[y * stride + i] = (src[i] + predictor) & 0xff;
    }
  }
  const pixels = new Uint32Array(width * height);
  for (let i = 0; i < pixels.length; ++i)
    pixels[i] = (rows[channels * i] << 16) | (rows[channels * i + 1] << 8) | rows[channels * i + 2];
  return { width, height, pixels };
}

// The client (page) point at the centre of surface pixel (x, y), whatever the canvas's place
// and CSS scale; points off the canvas are extrapolated.
export async function clientPoint(page, x, y) {
  return page.evaluate(
    ([px, py]) => {
      const canvas = document.getElementById('screen');
      const rect = canvas.getBoundingClientRect();
      return {
        x: rect.left + (px + 0.5) * (rect.width / canvas.width),
        y: rect.top + (py + 0.5) * (rect.height / canvas.height),
      };
    },
    [x, y],
  );
}

// Moves the real pointer to surface pixel (x, y).
export async function moveTo(page, x, y) {
  const p = await clientPoint(page, x, y);
  await page.mouse.move(p.x, p.y);
}

// A left click on surface pixel (x, y), held for `holdMs`.
export async function clickAt(page, x, y, holdMs = 60) {
  await moveTo(page, x, y);
  await page.mouse.down();
  if (holdMs > 0) await page.waitForTimeout(holdMs);
  await page.mouse.up();
}

// Puts one finger on surface pixel points[0], holds it there `pressMs`, moves it through the
// others (a display frame apart) and lifts it after `holdMs`: raw touch events through the
// DevTools protocol. Each
// entry of `points` is [x, y], or [[x, y], [x2, y2]] for a second finger down at the same time
// (on the screen from where it first appears until the first finger is lifted).
export async function touchPath(page, points, holdMs = 60, pressMs = 0) {
  page.devtools ??= await page.context().newCDPSession(page);
  const fingers = async (entry) => {
    const list = Array.isArray(entry[0]) ? entry : [entry];
    return Promise.all(list.map(async ([x, y], id) => ({ ...(await clientPoint(page, x, y)), id })));
  };
  let type = 'touchStart';
  let down = 0;
  for (const entry of points) {
    const touchPoints = await fingers(entry);
    // A finger that appears is a touchStart of its own.
    await page.devtools.send('Input.dispatchTouchEvent', { type: touchPoints.length > down ? 'touchStart' : type, touchPoints });
    down = touchPoints.length;
    await page.waitForTimeout(type === 'touchStart' && pressMs > 0 ? pressMs : 16);
    type = 'touchMove';
  }
  if (holdMs > 0) await page.waitForTimeout(holdMs);
  await page.devtools.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
}

// Types one character as a keyboard with it on a key of its own sends it (a German layout's
// umlauts, for instance): a key-down event whose key value is the character, then key-up.
export async function typeCharacter(page, ch) {
  page.devtools ??= await page.context().newCDPSession(page);
  await page.devtools.send('Input.dispatchKeyEvent', { type: 'keyDown', key: ch, text: ch, unmodifiedText: ch });
  await page.devtools.send('Input.dispatchKeyEvent', { type: 'keyUp', key: ch });
}
