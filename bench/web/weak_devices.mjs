// The planet animation (all planets) on a slow device: Chromium's CPU slowed 1x, 6x, 10x and 20x
// (the DevTools protocol's Emulation.setCPUThrottlingRate), an older build of the site against
// this one in the same run, turn about at each rate. For each: frames shown / display frames
// (goal at 10x >= 0.95, at 20x >= 0.9) and display frames per second (goal at 10x >= 55). A
// display frame (requestAnimationFrame) counts as shown when the page put pixels on the canvas
// in it, through whatever canvas call. Beside each rate, the same two figures of a bare page that
// puts one 32 x 32 tile on a canvas of the planet page's size in every display frame: the floor
// that the browser's own work per frame sets. Then the orbit run loop of this site with the CPU
// slowed 4x: steps per second / the same at 1x. Then each site's page sizes (goal <= 1.5 MiB).
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

// In the page: counts display frames for 4 s, and those in which the canvas was drawn on.
function countFrames() {
  return new Promise((done) => {
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
  });
}

// What `measure(page)` gives once `page`'s CPU has been slowed `rate` times for 1.5 s; the page
// is closed after.
async function slowed(context, page, rate, measure) {
  const devtools = await context.newCDPSession(page);
  await devtools.send('Emulation.setCPUThrottlingRate', { rate });
  await page.waitForTimeout(1500);
  try {
    return await measure(page);
  } finally {
    await devtools.send('Emulation.setCPUThrottlingRate', { rate: 1 });
    await page.close();
  }
}

// { shown, ticks, seconds } of the planets page at `url`, CPU slowed `rate` times.
async function planets(context, url, rate) {
  const page = await context.newPage();
  await page.addInitScript(countCanvasCalls);
  await page.goto(`${url}Planetensystem.html`);
  await waitForFrames(page);
  await clickAt(page, 100, 84, 120); // Alle Planeten (Merkur bis Pluto)
  return slowed(context, page, rate, (p) => p.evaluate(countFrames));
}

// A page that only puts one tile on its canvas in every display frame.
const BARE = `<!doctype html><html><body style="margin:0;background:#2b2b2b">
<canvas id="c" width="900" height="520" style="display:block;margin:0 auto"></canvas><script>
const c = document.getElementById('c').getContext('2d'), tile = c.createImageData(32, 32);
let n = 0;
const tick = () => {
  tile.data.fill(n & 255);
  c.putImageData(tile, (n++ * 32) % 864, 200);
  globalThis.drawnThisFrame = true;
  requestAnimationFrame(tick);
};
requestAnimationFrame(tick);
</script></body></html>`;

// { shown, ticks, seconds } of the bare page, CPU slowed `rate` times.
async function bare(context, rate) {
  const page = await context.newPage();
  await page.setContent(BARE);
  return slowed(context, page, rate, (p) => p.evaluate(countFrames));
}

// Steps per second of the orbit program's run loop at `url`, CPU slowed `rate` times: the
// program polls the Stop button once per step, and the page counts its polls.
async function orbitSteps(context, url, rate) {
  const page = await context.newPage();
  await page.goto(`${url}Umlaufbahnen.html`);
  await waitForFrames(page);
  await clickAt(page, 245, 230, 120); // Simulation Start
  return slowed(context, page, rate, async (p) => {
    const sample = async () => ({ polls: await p.evaluate(() => Module._web_poll_count()), t: Date.now() });
    const a = await sample();
    await p.waitForTimeout(4000);
    const b = await sample();
    return ((b.polls - a.polls) * 1000) / (b.t - a.t);
  });
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
    const floor = await bare(browser.context, rate);
    row.push(`bare page ${fixed(floor.shown / floor.ticks)} of ${fixed(floor.ticks / floor.seconds)}/s`);
    lines.push(`planets, all planets, CPU ${rate}x: frames shown / display frames: ${row.join(', ')}`);
  }
  const steps = [];
  for (const rate of [1, 4, 1, 4]) steps.push(await orbitSteps(browser.context, servers.after.url, rate));
  const [at1, at4] = [(steps[0] + steps[2]) / 2, (steps[1] + steps[3]) / 2];
  lines.push(`orbit run loop, steps/s at CPU 4x / at 1x: ${fixed(at4 / at1)} (${fixed(at4)} vs ${fixed(at1)})`);
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
