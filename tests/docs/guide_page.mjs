// The guide's walkthrough built as a page against the installed browser package, in headless
// Chromium, opened from disk as the guide offers: the program's first picture shows, a click on
// "Zeichnen" plots x(t) in red, and no runtime report appears.
// Usage: node guide_page.mjs <build>/schwinger.html   (status 77 with a message when the browser
// driver or Chromium is missing)
import assert from 'node:assert/strict';
import { basename, dirname, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

import { browserNeeds } from '../web/needs.mjs';

const file = resolve(process.argv[2] ?? '');
const { driver } = await browserNeeds(dirname(file), basename(file));
const { canvasPixels, clickAt, launch, open, waitForFrames } = driver;

// Pixels of `colour` in the plot area of the walkthrough's window (200..470 x 10..290).
const count = ({ width, pixels }, colour) => {
  let n = 0;
  for (let y = 10; y <= 290; ++y) for (let x = 200; x <= 470; ++x) n += pixels[y * width + x] === colour;
  return n;
};
const report = (page) => page.evaluate(() => document.getElementById('report').textContent);

const browser = await launch();
try {
  const page = await open(browser.context, pathToFileURL(file).href);
  await waitForFrames(page);
  const first = await canvasPixels(page);
  assert.deepEqual([first.width, first.height], [480, 300], 'the window of OPENWINDOW(480, 300, ...)');
  assert.equal(first.pixels[5 * first.width + 5], 0xeeeeee, 'the window is cleared to the background');
  assert.equal(count(first, 0xcc0000), 0, 'nothing plotted before the click');
  assert.equal(await page.title(), 'Schwinger');

  await clickAt(page, 100, 90);
  let plotted = 0;
  for (let tries = 0; tries < 50 && plotted <= 200; ++tries) {
    await page.waitForTimeout(100);
    plotted = count(await canvasPixels(page), 0xcc0000);
  }
  assert.ok(plotted > 200, `x(t) plotted after the click (${plotted} red pixels)`);

  assert.equal(await report(page), '', 'no runtime report');
  const errors = page.consoleLines.filter((line) => line.type === 'error' || line.type === 'pageerror');
  assert.deepEqual(errors, [], 'nothing on the console');
  console.log(`guide page: first picture ${first.width}x${first.height}, ${plotted} red pixels after Zeichnen`);
} finally {
  await browser.close();
}
