// The planet animation (all planets) on a slow device: Chromium's CPU slowed 1x, 6x, 10x and 20x
// (the DevTools protocol's Emulation.setCPUThrottlingRate), an older build of the site against
// this one in the same run, turn about at each rate. For each: frames shown / display frames
// (goal at 10x >= 0.95, at 20x >= 0.9) and display frames per second (goal at 10x >= 55). A
// display frame (requestAnimationFrame) counts as shown when the page put pixels on the canvas
// in it, through whatever canvas call. Then each site's page sizes (goal <= 1.5 MiB).
// Usage: node bench/web/weak_devices.mjs <older site folder> [this site folder, default build-web/site]
import { execFileSync } from 'node:child_process';
import { readdirSync, statSync } from 'node:fs';
import { loadavg } from 'node:os';
import { join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

import { clickAt, launch, waitForFrames } from '../../tools/web/browser.mjs';
import { serve } from '../../tools/web/serve.mjs';

const root = resolve(fileURLToPath(import.meta.url), '../../..');
const [older, newer = join(root, 'build-web/site')] = process.argv.slice(2);
if (!older) {
  console.error('usage: node bench/web/weak_devices.mjs <older site folder> [this site folder]');
  process.exit(2);
}
const sites = { before: resolve(older), after: resolve(newer) };
const fixed = (v, digits = 3) => Number(v).toPrecision(digits);

// Marks every display frame in which a canvas was drawn on.
function countCanvasCalls() {
  const proto = CanvasRenderingContext2D.prototype;
  for (const name of ['putImageData', 'drawImage']) {
    const call = proto[name];
    proto[name] = function (...args) {
      globalThis.drawnThisFrame = true;
      return call.apply(this, args);
    };
  }
}

// { shown, ticks, seconds } of the planets page at `url`, CPU slowed `rate` times.
async function planets(context, url, rate) {
  const page = await context.newPage();
  await page.addInitScript(countCanvasCalls);
  await page.goto(`${url}Planetensystem.html`);
  await waitForFrames(page);
  await clickAt(page, 100, 84, 120); // Alle Planeten (Merkur bis Pluto)
  const devtools = await context.newCDPSession(page);
  await devtools.send('Emulation.setCPUThrottlingRate', { rate });
  await page.waitForTimeout(1500);
  const result = await page.evaluate(
    () =>
      new Promise((done) => {
        let shown = 0, ticks = 0;
        const start = performance.now();
        // Called after the presenter's own callback of the same frame (the page's began first),
        // so it sees what was drawn since the last display frame, this one's pass included.
        const tick = (now) => {
          if (ticks > 0 && globalThis.drawnThisFrame) ++shown;
          globalThis.drawnThisFrame = false;
          ++ticks;
          if (now - start < 4000) requestAnimationFrame(tick);
          else done({ shown, ticks: ticks - 1, seconds: (now - start) / 1000 });
        };
        requestAnimationFrame(tick);
      }),
  );
  await devtools.send('Emulation.setCPUThrottlingRate', { rate: 1 });
  await page.close();
  return result;
}

// Bytes of each page's files (.html, and .js and .wasm when beside it).
function sizes(folder) {
  const pages = {};
  for (const file of readdirSync(folder)) {
    const m = file.match(/^(\w+)\.(html|js|wasm)$/);
    if (!m || m[1] === 'index' || m[1] === 'offline' || m[1] === 'sw') continue;
    pages[m[1]] = (pages[m[1]] ?? 0) + statSync(join(folder, file)).size;
  }
  return pages;
}

const servers = {};
for (const [which, folder] of Object.entries(sites)) servers[which] = await serve(folder);
const browser = await launch();
const lines = [];
try {
  for (const rate of [1, 6, 10, 20]) {
    const row = [];
    for (const which of ['before', 'after']) {
      const { shown, ticks, seconds } = await planets(browser.context, servers[which].url, rate);
      row.push(`${which} ${fixed(shown / ticks)} of ${fixed(ticks / seconds)}/s`);
    }
    lines.push(`planets, all planets, CPU ${rate}x: frames shown / display frames: ${row.join(', ')}`);
  }
} finally {
  await browser.close();
  for (const { server } of Object.values(servers)) server.close();
}
const mib = 1024 * 1024;
const [a, b] = [sizes(sites.before), sizes(sites.after)];
for (const name of Object.keys(b))
  lines.push(`${name}: page bytes / 1.5 MiB: before ${fixed((a[name] ?? 0) / (1.5 * mib))}, after ${fixed(b[name] / (1.5 * mib))}` +
             ` (${fixed((a[name] ?? 0) / 1024)} vs ${fixed(b[name] / 1024)} KiB)`);
console.log(lines.join('\n'));
console.log(`load average ${loadavg().map((l) => l.toFixed(2)).join(' ')} on ${execFileSync('nproc').toString().trim()} cores`);
