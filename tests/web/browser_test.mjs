// The browser build in headless Chromium: each session is played with real mouse and key events
// on the page and, on the same script, by the snapshot tool on the headless backend; the
// canvas must hold the headless picture pixel for pixel. Where the browser's speed decides how
// far an animation got:
// - the orbit is compared whole after Stop with the headless picture at the first step count
//   that has as many path pixels, found by bisecting the virtual time of the headless Stop click.
//   The path's pixel sets only grow from step to step, so equal counts mean equal sets, and the
//   pictures must be identical;
// - the planets are compared only where timing cannot change the picture: on the pixels that two
//   headless runs of different lengths agree on (controls, star field, rings, Sun).
//
// Environment: PHYS_WEB_SITE (build-web/site), PHYS_SNAPSHOT (the native snapshot tool),
// PHYS_NATIVE_ORBIT (the native Umlaufbahnen, for the report text), PHYS_WEB_OUT (pictures of
// failures). Exit status 77 (skipped) with a message when something the tests need is missing.
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { mkdir, mkdtemp, readFile, rm, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, test } from 'node:test';

import { browserNeeds } from './needs.mjs';

const site = process.env.PHYS_WEB_SITE;
const snapshotTool = process.env.PHYS_SNAPSHOT;
const nativeOrbit = process.env.PHYS_NATIVE_ORBIT;
const out = process.env.PHYS_WEB_OUT || join(tmpdir(), 'physikdemos-web-test');

const { driver, serve } = await browserNeeds(site, 'Umlaufbahnen.html');
const { canvasPixels, canvasPng, clientPoint, launch, moveTo, open, readPng, touchPath, typeCharacter, waitForFrames } =
  driver;

let server, url, browser, scratch;
before(async () => {
  ({ server, url } = await serve(site));
  browser = await launch();
  scratch = await mkdtemp(join(tmpdir(), 'physikdemos-web-'));
  await mkdir(out, { recursive: true });
});
after(async () => {
  await browser?.close();
  server?.close();
  if (scratch) await rm(scratch, { recursive: true, force: true });
});

// ---- Sessions: one list of steps, played in the page and written as a snapshot script --------

// Steps: ['click', x, y] | ['drag', [x, y], ...] (pressed at the first point and held there long
// enough for any polling loop to see it, moved through the others, let go at the last) | ['key', name] | ['hold', name, times] | ['type', text] |
// ['shot', name] | ['run', ms] (let an animation run; the next click is its Stop) | ['insert', text]
// (as an on-screen keyboard puts it in) | ['compose', text] (an input method's composition, then
// committed) | ['expect', check] (in the browser only: `check(page)` must hold). The wheel and
// the pointer outside the canvas are the backend's rules, which tests/conformance checks.
const KEYS = { End: 'end', Home: 'home', Backspace: 'backspace', Enter: 'enter', Delete: 'delete' };

// The snapshot script of `steps`, with the click that ends the i-th 'run' at stops[i] (virtual
// ms) when given, and when `only` names a shot, that shot alone and nothing after it; returns
// { script, shots: [[name, file]], starts } with the virtual time of the click that began each run.
function snapshotScript(steps, stops, dir, only) {
  const lines = [];
  const shots = [];
  const starts = [];
  let t = 100;
  let lastClick = t;
  let run = -1;
  let stopNext = false;
  for (const [verb, ...args] of steps) {
    if (verb === 'click') {
      if (stopNext && stops[run] !== undefined) t = stops[run];
      stopNext = false;
      lastClick = t;
      lines.push(`${t} click ${args[0]} ${args[1]}`);
      t += 300;
    } else if (verb === 'drag') {
      lines.push(`${t} move ${args[0][0]} ${args[0][1]}`, `${t + 10} press`);
      t += 150;
      for (const [x, y] of args.slice(1)) lines.push(`${(t += 20) + 10} move ${x} ${y}`);
      lines.push(`${t + 100} release`);
      t += 400;
    } else if (verb === 'key') {
      lines.push(`${t} key ${KEYS[args[0]]}`);
      t += 50;
    } else if (verb === 'hold') {
      for (let i = 0; i < args[1]; ++i) lines.push(`${t} key ${KEYS[args[0]]}`);
      t += 50;
    } else if (verb === 'type' || verb === 'insert' || verb === 'compose') {
      lines.push(`${t} type ${args[0]}`);
      t += 50;
    } else if (verb === 'shot') {
      if (only === undefined || only === args[0]) {
        const file = join(dir, `${args[0]}.png`);
        lines.push(`${t + 200} shot ${file}`);
        shots.push([args[0], file]);
      }
      t += 300;
      if (only === args[0]) break;
    } else if (verb === 'run') {
      starts.push(lastClick);
      ++run;
      stopNext = true;
      t += args[0];
    }
  }
  lines.push(`${t + 200} close`);
  return { script: lines.join('\n') + '\n', shots, starts };
}

// Plays `steps` in `page` with the mouse, or with a finger when `touch`; returns { name: pixels }
// of its shots.
async function play(page, steps, touch = false) {
  const shots = {};
  for (const [verb, ...args] of steps) {
    if (verb === 'click' && touch) {
      const p = await clientPoint(page, args[0], args[1]);
      await page.touchscreen.tap(p.x, p.y); // down and up at once: the tap latch stretches it
      await page.waitForTimeout(300);
    } else if (verb === 'drag' && touch) {
      await touchPath(page, args, 80, 150);
      await page.waitForTimeout(300);
    } else if (verb === 'drag') {
      await moveTo(page, ...args[0]);
      await page.mouse.down();
      await page.waitForTimeout(150);
      for (const [x, y] of args.slice(1)) {
        await page.waitForTimeout(16);
        await moveTo(page, x, y);
      }
      await page.waitForTimeout(80);
      await page.mouse.up();
      await page.waitForTimeout(300);
    } else if (verb === 'click') {
      await moveTo(page, args[0], args[1]);
      await page.mouse.down();
      await page.waitForTimeout(100);
      await page.mouse.up();
      await page.waitForTimeout(200);
    } else if (verb === 'key') {
      await page.keyboard.press(args[0]);
      await page.waitForTimeout(40);
    } else if (verb === 'hold') {
      // Held down: the first press and then repeats, as the keyboard sends them.
      for (let i = 0; i < args[1]; ++i) await page.keyboard.down(args[0]);
      await page.keyboard.up(args[0]);
      await page.waitForTimeout(40);
    } else if (verb === 'type') {
      // One key per character, each with the character as its key value (as a German layout
      // sends the umlauts).
      for (const ch of args[0]) {
        await typeCharacter(page, ch);
        await page.waitForTimeout(30);
      }
    } else if (verb === 'insert') {
      await page.keyboard.insertText(args[0]);
      await page.waitForTimeout(40);
    } else if (verb === 'compose') {
      page.devtools ??= await page.context().newCDPSession(page);
      for (let i = 1; i <= args[0].length; ++i) {
        const text = args[0].slice(0, i);
        await page.devtools.send('Input.imeSetComposition', { text, selectionStart: i, selectionEnd: i });
      }
      await page.devtools.send('Input.insertText', { text: args[0] });
      await page.waitForTimeout(40);
    } else if (verb === 'expect') {
      await page.waitForTimeout(150);
      await args[0](page);
    } else if (verb === 'shot') {
      await page.waitForTimeout(250);
      shots[args[0]] = await canvasPixels(page);
    } else if (verb === 'run') {
      await page.waitForTimeout(args[0]);
    }
  }
  return shots;
}

// Runs the snapshot tool on the script of `steps` (runs ended at `stops`, up to shot `only`
// when given); resolves to { name: pixels } of the shots.
async function headless(program, steps, stops = [], only = undefined) {
  const dir = await mkdtemp(join(scratch, `${program}-`));
  const { script, shots } = snapshotScript(steps, stops, dir, only);
  const status = await new Promise((resolve, reject) => {
    const child = spawn(snapshotTool, [program, join(dir, 'end.png'), '-'], { stdio: ['pipe', 'inherit', 'inherit'] });
    child.on('error', reject);
    child.on('exit', (code) => resolve(code));
    child.stdin.end(script);
  });
  assert.equal(status, 0, `snapshot ${program} failed on:\n${script}`);
  const pictures = {};
  for (const [name, file] of shots) pictures[name] = await readPng(file);
  await rm(dir, { recursive: true, force: true });
  return pictures;
}

// Fails unless both pictures are equal; keeps the browser's picture and a list of the first
// differences in the output folder.
async function expectSame(name, page, web, reference) {
  assert.equal(`${web.width}x${web.height}`, `${reference.width}x${reference.height}`, `${name}: size`);
  const differing = [];
  for (let i = 0; i < web.pixels.length; ++i) if (web.pixels[i] !== reference.pixels[i]) differing.push(i);
  if (differing.length === 0) return;
  const hex = (v) => v.toString(16).padStart(6, '0');
  const list = differing
    .slice(0, 10)
    .map((i) => `(${i % web.width}, ${Math.floor(i / web.width)}) ${hex(web.pixels[i])} != ${hex(reference.pixels[i])}`);
  await writeFile(join(out, `${name}-browser.png`), await canvasPng(page));
  await writeFile(join(out, `${name}-differences.txt`), list.join('\n') + '\n');
  assert.fail(`${name}: ${differing.length} pixels differ from the headless picture, first: ${list.join('; ')}`);
}

// Pixels of `picture` with `colour` inside the rectangle [x0, x1] x [y0, y1].
function count(picture, [x0, y0, x1, y1], colour) {
  let n = 0;
  for (let y = y0; y <= y1; ++y)
    for (let x = x0; x <= x1; ++x) if (picture.pixels[y * picture.width + x] === colour) ++n;
  return n;
}

// The centre of the grey rings in the drawing area of `picture`: their centroid.
function ringCentre(picture) {
  let n = 0, cx = 0, cy = 0;
  picture.pixels.forEach((p, i) => {
    const x = i % picture.width;
    if (p === 0xaaaaaa && x >= 390) ++n, (cx += x), (cy += Math.floor(i / picture.width));
  });
  return [cx / n, cy / n];
}

// The angle (radians, counter-clockwise from the positive x axis, in [-pi/4, 7pi/4)) of the
// centroid of the pixels of `colour` at `rmin`..`rmax` from `centre`.
function angle(picture, [cx, cy], colour, rmin, rmax) {
  let n = 0, px = 0, py = 0;
  picture.pixels.forEach((p, i) => {
    if (p !== colour) return;
    const x = i % picture.width, y = Math.floor(i / picture.width);
    const r = Math.hypot(x - cx, y - cy);
    if (x >= 390 && r >= rmin && r <= rmax) ++n, (px += x), (py += y);
  });
  if (n === 0) return NaN;
  const a = Math.atan2(cy - py / n, px / n - cx);
  return a < -Math.PI / 4 ? a + 2 * Math.PI : a;
}

const equal = (a, b) => a.pixels.every((p, i) => p === b.pixels[i]);

// The headless picture at shot `name` that matches the browser's `web`, searched over the
// virtual time of the click that ends run number `run`: first the earliest time whose `key`
// (a measure of progress that never falls as the run goes on) reaches the browser's, then on
// through the next changes of the picture while the key stays the same. `resolution` (ms) is
// finer than the virtual time between two changes of the picture. With `decisive`, pictures
// with the same key are the same, so any time with the browser's key will do.
async function sameProgress(program, steps, run, name, key, web, resolution, decisive = false) {
  const target = key(web);
  const { starts } = snapshotScript(steps, [], scratch);
  // The earliest Stop: 10 ms after the release of the click that began the run (held 100 ms),
  // so that the two clicks cannot overlap.
  const start = starts[run] + 110;
  const at = async (t) => (await headless(program, steps, Object.assign([], { [run]: t }), name))[name];
  // The earliest time after `lo` at which `done` holds, to within `resolution`, or any time at
  // which `enough` holds too.
  const earliest = async (lo, done, enough = () => false) => {
    let hi = lo + 100, picture = await at(hi);
    while (!done(picture)) {
      [lo, hi] = [hi, hi + 2 * (hi - lo)];
      assert.ok(hi - start < 3.6e6, `${name}: the headless run never gets as far as the browser`);
      picture = await at(hi);
    }
    while (hi - lo > resolution && !enough(picture)) {
      const mid = (lo + hi) / 2, candidate = await at(mid);
      if (done(candidate)) [hi, picture] = [mid, candidate];
      else lo = mid;
    }
    return [hi, picture];
  };
  assert.ok(key(await at(start)) < target, `${name}: the browser got less far than the headless run's first 10 ms`);
  let [t, picture] = await earliest(start, (p) => key(p) >= target, (p) => decisive && key(p) === target);
  while (!equal(picture, web) && key(picture) === target) {
    const previous = picture;
    [t, picture] = await earliest(t, (p) => !equal(p, previous));
  }
  return picture;
}

// Opens program `name`'s page, with `query` (?name=value&...) as its start values when given.
async function openProgram(name, viewport, query = '') {
  const page = await open(browser.context, `${url}${name}.html${query}`);
  if (viewport) await page.setViewportSize(viewport);
  await waitForFrames(page);
  return page;
}

// ---- The sessions ------------------------------------------------------------------------------

const ORBIT_AREA = [500, 10, 990, 490];
// Finer than the virtual time of one orbit step (a poll: 0.01 ms) and of one planet frame (>= 1 ms).
const kStep = 0.004, kFrame = 0.25;
const pathPixels = (picture) => count(picture, ORBIT_AREA, 0xaa0000);

test('Umlaufbahnen: start picture, then Start, a run and Stop', async () => {
  const steps = [['shot', 'start'], ['click', 245, 230], ['run', 250], ['click', 245, 260], ['shot', 'stopped']];
  const page = await openProgram('Umlaufbahnen');
  const web = await play(page, steps);
  await expectSame('orbit-start', page, web.start, (await headless('Umlaufbahnen', steps)).start);
  assert.ok(pathPixels(web.stopped) > 300, `only ${pathPixels(web.stopped)} path pixels after the run`);
  await expectSame('orbit-stopped', page, web.stopped,
                   await sameProgress('Umlaufbahnen', steps, 0, 'stopped', pathPixels, web.stopped, kStep, true));
  await page.close();
});

test('Umlaufbahnen: a press on Start let go outside the canvas starts no run', async () => {
  const page = await openProgram('Umlaufbahnen');
  await moveTo(page, 245, 230);
  await page.mouse.down();
  await page.waitForTimeout(100);
  const corner = await clientPoint(page, -1, -1);
  await page.mouse.move(corner.x - 10, corner.y - 10);
  await page.waitForTimeout(100);
  await page.mouse.up();
  await moveTo(page, 700, 300); // back over the canvas: the abandoned click must not fire now
  await page.waitForTimeout(500);
  assert.equal(pathPixels(await canvasPixels(page)), 0, 'a run started after the release outside the canvas');
  await page.close();
});

// Runs `session(page)` on program `name` in a browser with a touch screen.
async function withTouch(name, session) {
  const touch = await launch({ touch: true });
  try {
    const page = await open(touch.context, `${url}${name}.html`);
    await waitForFrames(page);
    await session(page);
  } finally {
    await touch.close();
  }
}

// The orbit run that `steps` ends with Stop and shot 'stopped': long enough, and the headless
// picture at the same progress.
async function expectOrbitRun(name, page, steps, stopped) {
  assert.ok(pathPixels(stopped) > 300, `only ${pathPixels(stopped)} path pixels after the run`);
  await expectSame(name, page, stopped, await sameProgress('Umlaufbahnen', steps, 0, 'stopped', pathPixels, stopped, kStep, true));
}

test('touch: a tap on a list row and on Start, a run and Stop, as with the mouse', async () => {
  const steps = [['click', 100, 90], ['shot', 'row'], ['click', 245, 230], ['run', 250], ['click', 245, 260], ['shot', 'stopped']];
  await withTouch('Umlaufbahnen', async (page) => {
    const web = await play(page, steps, true);
    await expectSame('touch-row', page, web.row, (await headless('Umlaufbahnen', steps)).row);
    await expectOrbitRun('touch-stopped', page, steps, web.stopped);
  });
});

test('an on-screen keyboard: a tap into a field focuses the text input; inserted and composed text and Enter', async () => {
  const focused = (id) => async (page) =>
    assert.equal(await page.evaluate(() => document.activeElement?.id), id, `the focus is not on #${id}`);
  // Where the focus is when the finger's release has been handled, before the program polls: a
  // keyboard that opens only for a focus given in the tap's own handler must find it there.
  const watchLift = async (page) =>
    page.evaluate(() => document.getElementById('screen').addEventListener('pointerup', () => {
      globalThis.focusAtLift = document.activeElement?.id;
    }));
  const focusedAtLift = async (page) => assert.equal(await page.evaluate(() => globalThis.focusAtLift), 'typing');
  const steps = [
    ['click', 100, 106], // U(r) = r^2 (Oszillator)
    ['expect', watchLift],
    ['click', 310, 140], // field y0: the editor starts
    ['expect', focusedAtLift],
    ['expect', focused('typing')],
    ['key', 'End'],
    ['hold', 'Backspace', 3],
    ['insert', '1,5'],
    ['compose', 'ä'],
    ['key', 'Enter'],
    ['expect', focused('screen')],
    ['shot', 'edited'],
    ['click', 245, 230],
    ['run', 250],
    ['click', 245, 260],
    ['shot', 'stopped'],
  ];
  await withTouch('Umlaufbahnen', async (page) => {
    const web = await play(page, steps, true);
    const attributes = await page.evaluate(() =>
      ['autocomplete', 'autocorrect', 'autocapitalize', 'spellcheck'].map((a) => document.getElementById('typing').getAttribute(a)));
    assert.deepEqual(attributes, ['off', 'off', 'off', 'false']);
    await expectSame('keyboard-edited', page, web.edited, (await headless('Umlaufbahnen', steps)).edited);
    await expectOrbitRun('keyboard-stopped', page, steps, web.stopped);
  });
});

test('drags with the mouse and with a finger: the track bar, the list box, a button left for outside', async () => {
  const steps = [
    ['shot', 'start'],
    ['drag', [590, 44], [630, 44], [680, 44], [740, 44]], // the track bar's knob
    ['shot', 'track'],
    ['drag', [400, 56], [400, 80], [400, 100], [400, 120]], // from Item 2 down the list
    ['shot', 'list'],
    ['drag', [225, 44], [225, 90], [225, 150], [225, 400]], // "Message box..." let go outside: cancelled
    ['shot', 'button'],
  ];
  const reference = await headless('gallery', steps);
  assert.ok(!equal(reference.start, reference.track) && !equal(reference.track, reference.list), 'the drags move something');
  assert.ok(equal(reference.list, reference.button), 'the button let go outside does nothing');
  const mouse = await openProgram('gallery');
  const byMouse = await play(mouse, steps);
  for (const name of ['track', 'list', 'button']) await expectSame(`mouse-drag-${name}`, mouse, byMouse[name], reference[name]);
  await mouse.close();
  await withTouch('gallery', async (page) => {
    const byFinger = await play(page, steps, true);
    for (const name of ['track', 'list', 'button']) await expectSame(`touch-drag-${name}`, page, byFinger[name], reference[name]);
    // A second finger on the list while the first drags the knob back is ignored.
    await touchPath(page, [[740, 44], [700, 44], [[680, 44], [400, 60]], [[630, 44], [400, 100]], [[590, 44], [400, 100]]], 80, 150);
    await page.waitForTimeout(300);
    const back = await headless('gallery', [...steps, ['drag', [740, 44], [700, 44], [680, 44], [630, 44], [590, 44]], ['shot', 'back']]);
    await expectSame('touch-second-finger', page, await canvasPixels(page), back.back);
  });
});

test('Umlaufbahnen: the oscillator from a field typed with keys (repeat, umlaut, comma) after focus left the canvas', async () => {
  const steps = [
    ['click', 100, 106], // U(r) = r^2 (Oszillator)
    ['click', 310, 140], // field y0: the editor starts
    ['key', 'End'],
    ['hold', 'Backspace', 3], // one press and two repeats take "2.0"
    ['type', '1,5ä'],
    ['key', 'Enter'],
    ['shot', 'edited'],
    ['click', 245, 230],
    ['run', 250],
    ['click', 245, 260],
    ['shot', 'stopped'],
  ];
  const page = await openProgram('Umlaufbahnen');
  await page.evaluate(() => document.activeElement?.blur());
  const web = await play(page, steps);
  await expectSame('oscillator-edited', page, web.edited, (await headless('Umlaufbahnen', steps)).edited);
  assert.ok(pathPixels(web.stopped) > 300, `only ${pathPixels(web.stopped)} path pixels after the run`);
  await expectSame('oscillator-stopped', page, web.stopped,
                   await sameProgress('Umlaufbahnen', steps, 0, 'stopped', pathPixels, web.stopped, kStep, true));
  await page.close();
});

test('Planetensystem: both views, each stopped after a few frames', async () => {
  const steps = [
    ['shot', 'start'],
    ['click', 100, 68], ['run', 400], ['click', 100, 120], ['shot', 'inner'],
    ['click', 100, 84], ['run', 400], ['click', 100, 120], ['shot', 'all'],
  ];
  const page = await openProgram('Planetensystem');
  const web = await play(page, steps);
  await expectSame('planets-start', page, web.start, (await headless('Planetensystem', steps)).start);
  // Progress: the Earth's angle on its ring in the inner view (one turn in 500 frames), Jupiter's
  // (the yellow disc 15 to 40 pixels from the centre) in the view of all planets (237 frames),
  // both about one fixed centre (discs covering the rings would move a centre taken anew).
  const earth = (p) => angle(p, ringCentre(web.inner), 0x5555ff, 0, 1000);
  const jupiter = (p) => angle(p, ringCentre(web.all), 0xffff55, 15, 40);
  assert.ok(earth(web.inner) > 0.05 && jupiter(web.all) > 0.05, 'the planets have moved');
  await expectSame('planets-inner', page, web.inner,
                   await sameProgress('Planetensystem', steps, 0, 'inner', earth, web.inner, kFrame));
  await expectSame('planets-all', page, web.all, await sameProgress('Planetensystem', steps, 1, 'all', jupiter, web.all, kFrame));
  await page.close();
});

test('gallery at twice the size: a dialog with typed text', async () => {
  const steps = [
    ['click', 85, 44], // Input box...
    ['shot', 'dialog'],
    ['click', 500, 180], // its field
    ['key', 'End'],
    ['hold', 'Backspace', 5],
    ['type', 'Jürgen'],
    ['key', 'Enter'],
    ['click', 400, 210], // Ok
    ['shot', 'after'],
  ];
  const page = await openProgram('gallery', { width: 1700, height: 800 });
  const style = await page.evaluate(() => {
    const s = document.getElementById('screen').style;
    return `${s.width} ${s.height} ${s.imageRendering}`;
  });
  assert.equal(style, '1600px 704px pixelated');
  const web = await play(page, steps);
  const reference = await headless('gallery', steps);
  await expectSame('gallery-dialog', page, web.dialog, reference.dialog);
  await expectSame('gallery-after', page, web.after, reference.after);
  await page.close();
});

test('every program of the list: a page with one canvas of the surface size, its title, the first picture', async () => {
  const programs = JSON.parse(await readFile(join(site, '..', 'programs.json'), 'utf8'));
  assert.ok(programs.some((p) => p.name === 'Pendel'), 'the list reaches the browser build');
  for (const { name, title, width, height } of programs) {
    const page = await openProgram(name);
    await page.waitForTimeout(300);
    const reference = (await headless(name, [['shot', 'first']])).first;
    assert.equal(`${reference.width}x${reference.height}`, `${width}x${height}`, `${name}: the size in the list`);
    const canvases = await page.evaluate(() =>
      [...document.querySelectorAll('canvas')].map((c) => `${c.id} ${c.getAttribute('width')}x${c.getAttribute('height')}`));
    assert.deepEqual(canvases, [`screen ${width}x${height}`], name);
    assert.equal(await page.title(), title);
    await expectSame(`${name}-first`, page, await canvasPixels(page), reference);
    await page.close();
  }
  // The index links each page once, in the list's order.
  const index = await readFile(join(site, 'index.html'), 'utf8');
  assert.deepEqual([...index.matchAll(/<a href="([^"]+)\.html"/g)].map((m) => m[1]), programs.map((p) => p.name));
});

test('a runtime error: the report in the page and the console, the program stopped', async () => {
  const page = await browser.context.newPage();
  page.consoleLines = [];
  page.on('console', (m) => page.consoleLines.push(m.text()));
  // No 2D context: the window cannot be made, which the program reports as on a desktop without
  // a display.
  await page.addInitScript(() => {
    HTMLCanvasElement.prototype.getContext = () => null;
  });
  await page.goto(`${url}Umlaufbahnen.html`);
  await page.waitForFunction(() => globalThis.Module?.webExitStatus !== undefined, null, { timeout: 10000 });
  const shown = await page.evaluate(() => document.getElementById('report').textContent);
  const expected = await new Promise((resolve, reject) => {
    const env = { ...process.env, SDL_VIDEODRIVER: 'x11' };
    delete env.DISPLAY;
    delete env.WAYLAND_DISPLAY;
    const child = spawn(nativeOrbit, [], { env, stdio: ['ignore', 'ignore', 'pipe'] });
    let text = '';
    child.stderr.on('data', (d) => (text += d));
    child.on('error', reject);
    child.on('exit', () => resolve(text.slice(text.lastIndexOf('\nAborting'))));
  });
  assert.match(expected, /^\nAborting due to runtime error 1 /);
  assert.equal(shown, expected);
  assert.equal(await page.evaluate(() => Module.webExitStatus), 1);
  assert.ok(page.consoleLines.includes(expected.trim()), 'the report is in the console');
  const polls = await page.evaluate(() => Module._web_poll_count());
  await page.waitForTimeout(300);
  assert.equal(await page.evaluate(() => Module._web_poll_count()), polls, 'nothing runs after the report');
  await page.close();
});

// ---- Start values in the page address ------------------------------------------------------------

// The perihelion shift of the index's first link, typed into the fields as a person would.
const PERIHELION = '?potential=2&y0=1%2C5&vx0=0,47&fenster=+2';
const typedPerihelion = [
  ['click', 100, 74], // U(r) = -1/r - b/r^3
  ...[[140, '1,5'], [170, '0,47'], [200, '2']].flatMap(([y, text]) => [
    ['click', 310, y], ['key', 'End'], ['hold', 'Backspace', 3], ['type', text], ['key', 'Enter'],
  ]),
  ['shot', 'edited'],
  ['click', 245, 230],
  ['run', 100],
  ['click', 245, 260],
  ['shot', 'stopped'],
];

test('Umlaufbahnen: a link runs as the same values clicked and typed, with or without start=1', async () => {
  // Without start=1 the fields wait as typed, and Start runs them.
  let page = await openProgram('Umlaufbahnen', undefined, PERIHELION);
  const waiting = await play(page, [['shot', 'edited'], ...typedPerihelion.slice(-4)]);
  await expectSame('link-edited', page, waiting.edited, (await headless('Umlaufbahnen', typedPerihelion)).edited);
  await expectOrbitRun('link-stopped', page, typedPerihelion, waiting.stopped);
  await page.close();
  // With start=1 the run is on when the page shows its first picture.
  page = await openProgram('Umlaufbahnen', undefined, `${PERIHELION}&start=1`);
  const started = await play(page, typedPerihelion.slice(-3));
  await expectOrbitRun('link-started', page, typedPerihelion, started.stopped);
  assert.equal(await page.evaluate(() => document.getElementById('notice').hidden), true);
  await page.close();
});

test('Umlaufbahnen: a bad start value is one line under the picture and in the console, and the defaults start', async () => {
  const page = await openProgram('Umlaufbahnen', undefined, '?potential=2&y0=abc&start=1');
  await page.waitForTimeout(300);
  const line = 'Ungültiger Startwert: y0=abc (erwartet eine Zahl wie 1,5 oder -0.3). Es gelten die Voreinstellungen.';
  const shown = await page.evaluate(() => ['notice', 'report'].map((id) => [document.getElementById(id).textContent, document.getElementById(id).hidden]));
  assert.deepEqual(shown, [[line, false], ['', true]]);
  assert.ok(page.consoleLines.some((l) => l.text === line), 'the line is in the console');
  await expectSame('link-bad', page, await canvasPixels(page), (await headless('Umlaufbahnen', [['shot', 'first']])).first);
  await page.close();
});

test('Planetensystem: ansicht=1 starts the inner planets as a click on the entry does', async () => {
  const clicked = [['click', 100, 68], ['run', 400], ['click', 100, 120], ['shot', 'inner']];
  const page = await openProgram('Planetensystem', undefined, '?ansicht=1');
  const web = await play(page, [['run', 400], ['click', 100, 120], ['shot', 'inner']]);
  const earth = (p) => angle(p, ringCentre(web.inner), 0x5555ff, 0, 1000);
  assert.ok(earth(web.inner) > 0.05, 'the planets have moved');
  await expectSame('link-planets', page, web.inner, await sameProgress('Planetensystem', clicked, 0, 'inner', earth, web.inner, kFrame));
  await page.close();
});

test('the page address as a command line: + and %-escapes decoded, a broken escape left as it is', async () => {
  const page = await openProgram('gallery', undefined, '?a=1+2&b%3D=%2C&&c&d=%ZZ&e=%C3%A4');
  assert.deepEqual(await page.evaluate(() => Module.arguments), ['--a=1 2', '--b==,', '--c', '--d=%ZZ', '--e=ä']);
  await page.close();
});
