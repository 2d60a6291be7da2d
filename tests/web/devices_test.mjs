// The pages on the devices a classroom has, in headless Chromium: the picture fitted into
// tablet and phone windows, a page inside a frame of another site, the pages opened from disk,
// and the site after one visit with the server gone and the network off.
// Environment: PHYS_WEB_SITE (build-web/site), PHYS_WEB_OUT (screenshots of the windows).
// Exit status 77 (skipped) with a message when something the tests need is missing.
import assert from 'node:assert/strict';
import { mkdir, mkdtemp, rm, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { after, before, test } from 'node:test';

import { browserNeeds } from './needs.mjs';

const site = process.env.PHYS_WEB_SITE;
const out = process.env.PHYS_WEB_OUT || join(tmpdir(), 'physikdemos-web-test');
const { driver, serve } = await browserNeeds(site, 'Umlaufbahnen.html');
const { canvasPixels, clickAt, launch, open, waitForFrames } = driver;

let server, url, browser;
before(async () => {
  ({ server, url } = await serve(site));
  browser = await launch();
  await mkdir(out, { recursive: true });
});
after(async () => {
  await browser?.close();
  server?.close();
});

const same = (a, b) => a.width === b.width && a.height === b.height && a.pixels.every((p, i) => p === b.pixels[i]);

// Where the canvas lies in the window and how the page is laid out.
const layout = (page) =>
  page.evaluate(() => {
    const canvas = document.getElementById('screen');
    const r = canvas.getBoundingClientRect();
    const hint = document.getElementById('hint');
    const root = document.scrollingElement;
    return {
      left: r.left, top: r.top, right: r.right, bottom: r.bottom, scale: r.width / canvas.width,
      aspect: r.width / r.height - canvas.width / canvas.height, rendering: canvas.style.imageRendering,
      hint: !hint.hidden, hintBottom: hint.hidden ? r.bottom : hint.getBoundingClientRect().bottom,
      width: innerWidth, height: innerHeight, scrollWidth: root.scrollWidth, scrollHeight: root.scrollHeight,
    };
  });

test('the orbit page in tablet and phone windows: wholly visible, no scrolling, as large as fits', async () => {
  // A row of the list picked with the pointer, so that the picture shows the point was mapped.
  const picked = async (page) => {
    await clickAt(page, 100, 106);
    await page.waitForTimeout(300);
    return canvasPixels(page);
  };
  const reference = await open(browser.context, `${url}Umlaufbahnen.html`);
  await waitForFrames(reference);
  const expected = await picked(reference);
  await reference.close();
  for (const [width, height] of [[1366, 768], [1180, 820], [820, 1180], [844, 390], [390, 844]]) {
    const name = `${width}x${height}`;
    const page = await browser.context.newPage();
    await page.setViewportSize({ width, height });
    await page.goto(`${url}Umlaufbahnen.html`);
    await waitForFrames(page);
    const l = await layout(page);
    assert.ok(l.left >= 0 && l.top >= 0 && l.right <= width && l.hintBottom <= height, `${name}: ${JSON.stringify(l)}`);
    assert.ok(l.scrollWidth <= width && l.scrollHeight <= height, `${name}: the page scrolls: ${JSON.stringify(l)}`);
    assert.ok(Math.abs(l.aspect) < 0.01, `${name}: aspect`);
    if (l.scale >= 1) {
      assert.equal(l.scale, Math.floor(l.scale), `${name}: a whole scale while one fits`);
      assert.equal(l.rendering, 'pixelated', name);
    } else {
      assert.equal(l.rendering, 'auto', `${name}: smooth below 1`);
      // As large as fits: one side (with the hint under the picture) reaches the window's edge.
      assert.ok(l.right - l.left > width - 2 || l.hintBottom > height - 2, `${name}: not as large as fits`);
    }
    assert.equal(l.hint, l.scale < 0.6, `${name}: the hint at scale ${l.scale}`);
    await writeFile(join(out, `window-${name}.png`), await page.screenshot());
    assert.ok(same(await picked(page), expected), `${name}: the pointer picked another row`);
    await page.close();
  }
});

test('pages opened from disk show their first picture, as over HTTP', async () => {
  for (const name of ['Umlaufbahnen', 'Planetensystem']) {
    const served = await open(browser.context, `${url}${name}.html`);
    await waitForFrames(served);
    await served.waitForTimeout(300);
    const expected = await canvasPixels(served);
    await served.close();
    const page = await open(browser.context, pathToFileURL(resolve(site, `${name}.html`)).href);
    await waitForFrames(page);
    await page.waitForTimeout(300);
    assert.ok(same(await canvasPixels(page), expected), `${name} from disk`);
    const errors = page.consoleLines.filter((m) => m.type === 'error' || m.type === 'pageerror');
    assert.deepEqual(errors, [], `${name} from disk`);
    await page.close();
  }
});

test('after one visit the site loads with the server gone and the network off', async () => {
  const own = await serve(site);
  const fresh = await launch();
  const context = fresh.context;
  try {
    const first = await open(context, own.url);
    await first.evaluate(() => navigator.serviceWorker.ready);
    const kept = await first.evaluate(async () => (await (await caches.open('physikdemos')).keys()).map((r) => r.url));
    assert.ok(kept.some((u) => u.endsWith('/Planetensystem.html')), `kept: ${kept.join(' ')}`);
    await first.close();
    own.server.closeAllConnections();
    own.server.close();
    await context.setOffline(true);
    // A page that was never opened, and the index again.
    const page = await open(context, `${own.url}Planetensystem.html`);
    await waitForFrames(page);
    await page.close();
    const index = await open(context, own.url);
    assert.match(await index.textContent('h1'), /Physikdemos/);
  } finally {
    await fresh.close();
  }
});

test('inside a frame of another origin: a click gives the keys, the text field and the keyboard work', async () => {
  // The same server under another host name is another origin, as a learning platform is.
  const outer = await mkdtemp(join(tmpdir(), 'physikdemos-frame-'));
  const inner = `${url}Umlaufbahnen.html`;
  await writeFile(join(outer, 'frame.html'),
                  `<!doctype html><title>Platform</title><p>Course page</p><iframe src="${inner}" width="1040" height="540"></iframe>`);
  const host = await serve(outer);
  // Picks the oscillator, edits y0 with keys and inserted text, and returns the picture.
  const session = async (page, target) => {
    const canvas = target.locator('#screen');
    await canvas.click({ position: { x: 100.5, y: 106.5 }, delay: 100 });
    await page.waitForTimeout(200);
    await canvas.click({ position: { x: 310.5, y: 140.5 }, delay: 100 });
    await page.waitForTimeout(200);
    assert.equal(await target.evaluate(() => document.activeElement?.id), 'typing');
    await page.keyboard.press('End');
    for (let i = 0; i < 3; ++i) await page.keyboard.press('Backspace');
    await page.keyboard.insertText('1,5');
    await page.keyboard.press('Enter');
    await page.waitForTimeout(300);
    assert.equal(await target.evaluate(() => document.activeElement?.id), 'screen');
    return canvasPixels(target);
  };
  try {
    const alone = await open(browser.context, inner);
    await waitForFrames(alone);
    const expected = await session(alone, alone);
    await alone.close();
    const page = await open(browser.context, `${host.url.replace('127.0.0.1', 'localhost')}frame.html`);
    const frame = page.frames().find((f) => f.url() === inner);
    assert.ok(frame, 'the frame is there');
    await waitForFrames(frame);
    assert.notEqual(new URL(page.url()).origin, new URL(frame.url()).origin);
    assert.ok(same(await session(page, frame), expected), 'the framed page took other input');
    await page.close();
  } finally {
    host.server.close();
    await rm(outer, { recursive: true, force: true });
  }
});
