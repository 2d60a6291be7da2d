// The browser build's figures, each against a reference measured in the same run:
//   orbit loop   steps per second in Chromium / the native headless run loop (goal >= 0.5), also
//                per CPU second of the page's main thread / of the native loop;
//   planets      frames shown per second in Chromium / display frames (requestAnimationFrame)
//                per second (goal >= 55 frames shown per second);
//   load         page load to the first complete picture on the canvas / load of the index page
//                (goal <= 1 s);
//   size         .wasm + .js of each page / the goal of 1.5 MiB; ASYNCIFY's share: the orbit page
//                with / without it;
//   ASYNCIFY     the orbit run loop under Node with its instrumentation / without.
// Usage (after tools/web.sh and a native build in build/):
//   node bench/web/web_bench.mjs [native build folder, default build]
import { execFileSync } from 'node:child_process';
import { statSync } from 'node:fs';
import { loadavg } from 'node:os';
import { join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

import { clickAt, launch, open, waitForFrames } from '../../tools/web/browser.mjs';
import { serve } from '../../tools/web/serve.mjs';

const root = resolve(fileURLToPath(import.meta.url), '../../..');
const native = resolve(process.argv[2] ?? join(root, 'build'));
const site = join(root, 'build-web/site');
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const fixed = (v, digits = 3) => Number(v).toPrecision(digits);

execFileSync('cmake', ['--build', join(root, 'build-web'), '--target', 'site', 'web_bench'], { stdio: 'ignore' });

// steps/s of the native headless run loop: [per wall second, per CPU second].
function nativeOrbit() {
  const out = execFileSync(join(native, 'bench/bench_orbit_window_headless'), ['--ms=3000']).toString();
  return out.trim().split(/\s+/).slice(1).map(Number);
}

// [per wall second, per CPU second] of one of the Node run loops.
function nodeOrbit(name) {
  const out = execFileSync('node', ['--no-experimental-fetch', join(root, 'build-web/bench/web', `${name}.js`), '2000']);
  return out.toString().trim().split(/\s+/).slice(1).map(Number);
}

// Busy time of the page's main thread in seconds (the DevTools protocol's TaskDuration).
async function busySeconds(devtools) {
  const { metrics } = await devtools.send('Performance.getMetrics');
  return metrics.find((m) => m.name === 'TaskDuration').value;
}

const { server, url } = await serve(site);
const browser = await launch();
const results = [];
try {
  // ---- Orbit loop ------------------------------------------------------------------------------
  const before = nativeOrbit();
  const page = await open(browser.context, `${url}Umlaufbahnen.html`);
  const devtools = await page.context().newCDPSession(page);
  await devtools.send('Performance.enable');
  await waitForFrames(page);
  await clickAt(page, 245, 230, 120); // Simulation Start
  await page.waitForTimeout(500);
  const sample = async () => ({
    polls: await page.evaluate(() => Module._web_poll_count()),
    t: Date.now() / 1000,
    busy: await busySeconds(devtools),
  });
  const a = await sample();
  await page.waitForTimeout(3000);
  const b = await sample();
  await clickAt(page, 245, 260, 120); // Simulation Stop
  await page.close();
  const after = nativeOrbit();
  const web = [(b.polls - a.polls) / (b.t - a.t), (b.polls - a.polls) / (b.busy - a.busy)];
  const reference = [(before[0] + after[0]) / 2, (before[1] + after[1]) / 2];
  results.push(`orbit steps/s, Chromium / native headless: ${fixed(web[0] / reference[0])} ` +
               `(${fixed(web[0])} vs ${fixed(reference[0])}; goal >= 0.5)`);
  results.push(`orbit steps per CPU second, Chromium main thread / native: ${fixed(web[1] / reference[1])} ` +
               `(${fixed(web[1])} vs ${fixed(reference[1])})`);

  // ---- Planets ---------------------------------------------------------------------------------
  const planets = await open(browser.context, `${url}Planetensystem.html`);
  await waitForFrames(planets);
  await clickAt(planets, 100, 84, 120); // Alle Planeten (Merkur bis Pluto)
  await planets.waitForTimeout(500);
  const { shown, ticks, seconds } = await planets.evaluate(
    () =>
      new Promise((done) => {
        let shown = 0, ticks = 0, last = Module.webFrames;
        const start = performance.now();
        const tick = (now) => {
          ++ticks;
          if (Module.webFrames !== last) ++shown, (last = Module.webFrames);
          if (now - start < 3000) requestAnimationFrame(tick);
          else done({ shown, ticks, seconds: (now - start) / 1000 });
        };
        requestAnimationFrame(tick);
      }),
  );
  await planets.close();
  results.push(`planets frames shown/s / display frames/s: ${fixed(shown / ticks)} ` +
               `(${fixed(shown / seconds)} vs ${fixed(ticks / seconds)}; goal >= 55 shown/s)`);

  // ---- Load ------------------------------------------------------------------------------------
  const loads = [];
  for (let i = 0; i < 5; ++i) {
    const index = await open(browser.context, url);
    await index.waitForLoadState('load');
    loads.push(await index.evaluate(() => performance.getEntriesByType('navigation')[0].loadEventEnd));
    await index.close();
  }
  const indexLoad = median(loads);
  for (const name of ['Umlaufbahnen', 'Planetensystem', 'gallery', 'plots']) {
    const firsts = [];
    for (let i = 0; i < 5; ++i) {
      const p = await open(browser.context, `${url}${name}.html`);
      await waitForFrames(p);
      firsts.push(await p.evaluate(() => Module.webFirstFrame));
      await p.close();
    }
    const first = median(firsts);
    results.push(`${name}: load to first picture / index page load: ${fixed(first / indexLoad)} ` +
                 `(${fixed(first)} ms vs ${fixed(indexLoad)} ms; goal <= 1000 ms)`);
  }
} finally {
  await browser.close();
  server.close();
}

// ---- Size ------------------------------------------------------------------------------------------
const bytes = (folder, name) => statSync(join(folder, `${name}.wasm`)).size + statSync(join(folder, `${name}.js`)).size;
const mib = 1024 * 1024;
for (const name of ['Umlaufbahnen', 'Planetensystem', 'gallery', 'plots'])
  results.push(`${name}: .wasm + .js / 1.5 MiB: ${fixed(bytes(site, name) / (1.5 * mib))} (${fixed(bytes(site, name) / 1024)} KiB)`);
const plain = bytes(join(root, 'build-web/bench/web'), 'web_Umlaufbahnen_plain');
results.push(`Umlaufbahnen .wasm + .js with ASYNCIFY / without: ${fixed(bytes(site, 'Umlaufbahnen') / plain)} ` +
             `(${fixed(bytes(site, 'Umlaufbahnen') / 1024)} vs ${fixed(plain / 1024)} KiB)`);

// ---- ASYNCIFY's speed --------------------------------------------------------------------------------
const runs = { with: [], without: [] };
for (let i = 0; i < 3; ++i) {
  runs.with.push(nodeOrbit('web_orbit_loop')[1]);
  runs.without.push(nodeOrbit('web_orbit_loop_plain')[1]);
}
results.push(`orbit run loop under Node, steps per CPU second with ASYNCIFY / without: ` +
             `${fixed(median(runs.with) / median(runs.without))} (${fixed(median(runs.with))} vs ${fixed(median(runs.without))})`);

console.log(results.join('\n'));
console.log(`load average ${loadavg().map((l) => l.toFixed(2)).join(' ')} on ${execFileSync('nproc').toString().trim()} cores`);
