// Pendel's real-time stepping in Chromium: the page build-web/bench/web/realtime.html runs the
// desktop benchmark's program (bench/bench_realtime.cpp) for 10 s of the page's system clock
// and reports model seconds per wall second (goal 1.00 +- 0.02). The driver's own clock, from
// the page's first picture to the report, is printed beside it as a check.
// Usage (after `cmake --preset web`): node bench/web/realtime.mjs
import { execFileSync } from 'node:child_process';
import { join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

import { launch, open, waitForFrames } from '../../tools/web/browser.mjs';
import { serve } from '../../tools/web/serve.mjs';

const root = resolve(fileURLToPath(import.meta.url), '../../..');
execFileSync('cmake', ['--build', join(root, 'build-web'), '--target', 'web_realtime'], { stdio: 'ignore' });

const { server, url } = await serve(join(root, 'build-web/bench/web'));
const browser = await launch();
try {
  const page = await open(browser.context, `${url}realtime.html`);
  await waitForFrames(page);
  const shown = performance.now();
  const report = () => page.consoleLines.find((line) => line.text.startsWith('realtime '));
  while (!report()) {
    if (performance.now() - shown > 60000) throw new Error('no report from the page within 60 s');
    await page.waitForTimeout(50);
  }
  console.log(`${report().text} driver_s ${((performance.now() - shown) / 1000).toFixed(3)}`);
} finally {
  await browser.close();
  server.close();
}
