// The pages by keyboard alone and through their accessibility tree, in headless Chromium: the
// controls a program polls are the page's controls, Tab goes through them in reading order, and
// keys do what the pointer does. axe-core checks each page against WCAG 2.1 A and AA.
// Environment: PHYS_WEB_SITE (build-web/site). Exit status 77 (skipped) with a message when
// something the tests need is missing.
import assert from 'node:assert/strict';
import { existsSync } from 'node:fs';
import { readFile } from 'node:fs/promises';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { after, before, test } from 'node:test';

import { browserNeeds } from './needs.mjs';

const site = process.env.PHYS_WEB_SITE;
const { driver, serve } = await browserNeeds(site, 'Umlaufbahnen.html');
const { canvasPixels, launch, open, waitForFrames } = driver;
const axePath = fileURLToPath(new URL('../../tools/web/node_modules/axe-core/axe.min.js', import.meta.url));
if (!existsSync(axePath)) {
  console.log('SKIPPED: axe-core is not installed (tools/web.sh installs it)');
  process.exit(77);
}

let server, url, browser;
before(async () => {
  ({ server, url } = await serve(site));
  browser = await launch();
});
after(async () => {
  await browser?.close();
  server?.close();
});

// A page of the site once its program shows its first picture and polls its controls.
async function page(name) {
  const p = await open(browser.context, `${url}${name}.html`);
  await waitForFrames(p);
  await p.locator('#controls [data-key]').first().waitFor({ state: 'attached' });
  return p;
}

// The focused element as "role name" (a radio button, list or slider by its role attribute).
const focused = (p) =>
  p.evaluate(() => {
    const el = document.activeElement;
    const role = el.getAttribute('role') || { BUTTON: 'button', INPUT: 'textbox' }[el.tagName] || el.tagName.toLowerCase();
    return `${role} ${el.getAttribute('aria-label') || ''}`.trim();
  });

// Presses Tab until the control `want` ("role name") has the focus. A field's editor starts as
// Tab reaches it and ends with the next Tab, once the program runs it.
async function tabTo(p, want, most = 30) {
  for (let i = 0; i < most; ++i) {
    await p.keyboard.press('Tab');
    await p
      .waitForFunction(() => {
        const el = document.activeElement;
        return el && el.closest('#controls') && (el.tagName !== 'INPUT' || el.dataset.editing);
      }, null, { timeout: 2000 })
      .catch(() => {});  // off the controls: the canvas, or past the last one
    if ((await focused(p)) === want) return;
  }
  assert.fail(`${want} never got the focus`);
}

// The overlay's tree, without the live region's text.
const tree = (p) => p.locator('#controls').ariaSnapshot();

const RED = 0xaa0000;
// The orbit area's red pixels as [x, y] offsets from its centre (746, 250).
async function orbitPoints(p) {
  const { width, pixels } = await canvasPixels(p);
  const points = [];
  for (let y = 10; y <= 490; ++y)
    for (let x = 500; x <= 990; ++x) if (pixels[y * width + x] === RED) points.push([x - 746, y - 250]);
  return points;
}

test('orbit page idle: the list with four options, three named fields and Start, not Stop', async () => {
  const p = await page('Umlaufbahnen');
  assert.equal(await p.getByRole('img', { name: /^Umlaufbahnen: / }).count(), 1, 'the canvas has a name');
  const list = p.getByRole('listbox');
  assert.equal(await list.count(), 1);
  assert.equal(await list.getByRole('option').count(), 4);
  assert.equal(await list.getByRole('option', { selected: true }).textContent(), 'U(r) = - 1/r (Kepler-Bahnen)');
  for (const [name, value] of [['Anfangskoordinate y0:', '2.0'], ['Anfangsgeschwindigkeit vx0:', '0.4'], ['Fenstergroesse +/-', '3.0']])
    assert.equal(await p.getByRole('textbox', { name, exact: true }).inputValue(), value, name);
  assert.equal(await p.getByRole('textbox').count(), 3);
  assert.deepEqual(await p.getByRole('button').allTextContents(), ['']);  // named, not labelled by text
  assert.equal(await p.getByRole('button', { name: 'Simulation Start' }).count(), 1);
  assert.equal(await p.getByRole('button', { name: 'Simulation Stop' }).count(), 0);
  console.log(await tree(p));
  await p.close();
});

test('orbit page by keyboard alone: the oscillator chosen, started, run and stopped', async () => {
  const p = await page('Umlaufbahnen');
  await tabTo(p, 'listbox Berechnung von Umlaufbahnen in Potentialen U(r)');
  for (let i = 0; i < 3; ++i) await p.keyboard.press('ArrowDown');
  await p.getByRole('option', { name: 'U(r) = r^2 (Oszillator)', selected: true }).waitFor();
  await tabTo(p, 'button Simulation Start');
  await p.keyboard.press('Enter');
  await p.getByRole('button', { name: 'Simulation Stop' }).waitFor();
  await p.waitForTimeout(1000);
  // During the run only Stop is offered, and it has the focus.
  const running = await tree(p);
  assert.match(running, /^- button "Simulation Stop"\n- status\s*$/, running);
  assert.equal(await focused(p), 'button Simulation Stop');
  // The oscillator's ellipse: |x| <= 0.4 / sqrt(1/2) = 0.57 (46 pixels), |y| <= 2 (161 pixels);
  // a Kepler orbit from the same start reaches much farther out to the sides.
  const points = await orbitPoints(p);
  assert.ok(points.length > 200, `${points.length} red pixels`);
  assert.ok(points.every(([x, y]) => Math.abs(x) <= 48 && Math.abs(y) <= 163), 'a point outside the ellipse');
  assert.ok(points.some(([x]) => x > 40) && points.some(([x]) => x < -40), 'not round the ellipse yet');

  await p.keyboard.press('Enter');
  await p.getByRole('button', { name: 'Simulation Start' }).waitFor();
  const stopped = await canvasPixels(p);
  await p.waitForTimeout(300);
  assert.deepEqual((await canvasPixels(p)).pixels, stopped.pixels, 'the run went on after Stop');
  await p.waitForFunction(() => document.activeElement.getAttribute('aria-label') === 'Simulation Start');
  assert.equal(await p.getByRole('button', { name: 'Simulation Stop' }).count(), 0);
  await p.close();
});

test('planet page by keyboard alone: the first view started and stopped, the year counter told once a second at most', async () => {
  const p = await page('Planetensystem');
  await p.evaluate(() => {
    globalThis.said = [];
    new MutationObserver(() => said.push([performance.now(), document.getElementById('status').textContent])).observe(
      document.getElementById('status'), { childList: true, characterData: true, subtree: true });
  });
  await tabTo(p, 'listbox Auswahl:');
  await p.keyboard.press('ArrowDown');  // nothing chosen yet: the first view
  await p.getByRole('button', { name: 'Simulation Stop' }).waitFor();
  assert.equal(await p.getByRole('listbox').count(), 0);
  await p.waitForTimeout(3500);
  await p.waitForFunction(() => document.activeElement.getAttribute('aria-label') === 'Simulation Stop');
  await p.keyboard.press('Enter');
  await p.getByRole('listbox').waitFor();
  const said = await p.evaluate(() => said);
  assert.ok(said.length >= 3, JSON.stringify(said));
  for (const [, text] of said) assert.match(text, /^[0-9.E+-]+ Jahre$/);
  for (let i = 1; i < said.length; ++i) assert.ok(said[i][0] - said[i - 1][0] >= 990, JSON.stringify(said));
  assert.notEqual(said[0][1], said[said.length - 1][1], 'the counter did not move on');
  assert.equal(await p.getByRole('option', { selected: true }).textContent(), 'Innere Planeten (Merkur bis Mars)');
  await p.close();
});

test('gallery by keyboard alone: every kind of control, the message box included', async () => {
  const p = await page('gallery');
  const checked = (role, name) => p.getByRole(role, { name, exact: true }).getAttribute('aria-checked');

  // The message box offers its three buttons alone; its message is told as it opens, and the
  // focus comes back to where it was when it closes.
  await tabTo(p, 'button Message box...');
  await p.keyboard.press('Enter');
  await p.getByRole('button', { name: 'Not sure' }).waitFor();
  assert.match(await tree(p), /^- button "Yes"\n- button "No"\n- button "Not sure"\n- status/, await tree(p));
  await p.waitForFunction(() => document.getElementById('status').textContent === 'Message box: Do you like the toolkit?');
  await p.waitForFunction(() => document.activeElement.getAttribute('aria-label') === 'Yes');
  await p.keyboard.press('Tab');
  assert.equal(await focused(p), 'button No');
  await p.keyboard.press('Enter');
  await p.waitForFunction(() => document.activeElement.getAttribute('aria-label') === 'Message box...');
  await p.waitForFunction(() => document.getElementById('status').textContent === 'Answer: No');

  // The list scrolls to show what the arrows aim at: item 8 of 12, with 6 rows.
  await tabTo(p, 'listbox Auswahlliste');
  for (let i = 0; i < 7; ++i) await p.keyboard.press('ArrowDown');
  // Item 8 lies below the six rows: it can only be tapped once the list scrolled.
  await p.getByRole('option', { name: 'Item 8', exact: true, selected: true }).waitFor({ timeout: 5000 });
  assert.equal(await p.getByRole('option').count(), 12, 'every item is an option, shown or not');

  const slider = p.getByRole('slider');
  await tabTo(p, 'slider Schieberegler');
  for (let i = 0; i < 3; ++i) {
    const before = Number(await slider.getAttribute('aria-valuenow'));
    await p.keyboard.press('ArrowRight');
    await p.waitForFunction((v) => Number(document.querySelector('[role=slider]').getAttribute('aria-valuenow')) > v, before);
  }
  await p.keyboard.press('End');
  await p.waitForFunction(() => document.querySelector('[role=slider]').getAttribute('aria-valuenow') === '100');

  await tabTo(p, 'checkbox Grid');
  await p.keyboard.press(' ');
  await p.waitForFunction(() => document.querySelector('[aria-label="Grid"]').getAttribute('aria-checked') === 'true');
  assert.equal(await checked('checkbox', 'Sound'), 'false');

  await tabTo(p, 'radio Medium');  // the group's one stop: its checked member
  await p.keyboard.press('ArrowRight');
  await p.waitForFunction(() => document.querySelector('[aria-label="Large"]').getAttribute('aria-checked') === 'true');
  assert.equal(await checked('radio', 'Medium'), 'false');
  assert.equal(await focused(p), 'radio Large');

  // A field: Tab starts its editor, typing goes in, Enter ends it.
  await tabTo(p, 'textbox Text:');
  await p.keyboard.type('!');
  await p.keyboard.press('Enter');
  await p.waitForFunction(() => document.querySelector('[aria-label="Text:"]').value === 'Hello!');
  assert.equal(await focused(p), 'textbox Text:');
  await p.close();
});

test('mouse sessions are not in the overlay\'s way: it takes no pointer event', async () => {
  const p = await page('Umlaufbahnen');
  const stacked = await p.evaluate(() => {
    const canvas = document.getElementById('screen');
    const r = canvas.getBoundingClientRect();
    const k = r.width / canvas.width;
    // The centres of Start, a list row and a field: the canvas is what the pointer hits there.
    return [[245, 230], [100, 106], [280, 140]].map(([x, y]) => document.elementFromPoint(r.left + x * k, r.top + y * k) === canvas);
  });
  assert.deepEqual(stacked, [true, true, true]);
  await p.close();
});

test('axe-core: no WCAG 2.1 A or AA violations on any page, idle and with a dialog open', async () => {
  const check = async (p, what) => {
    await p.addScriptTag({ path: axePath });
    const result = await p.evaluate(() =>
      axe.run(document, { runOnly: { type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa'] } }));
    const found = result.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
    assert.deepEqual(found, [], what);
  };
  const names = JSON.parse(await readFile(join(site, '..', 'programs.json'), 'utf8')).map((entry) => entry.name);
  assert.ok(names.includes('gallery'));
  for (const name of names) {
    const p = await open(browser.context, `${url}${name}.html`);
    await waitForFrames(p);
    await p.waitForTimeout(300);
    await check(p, name);
    if (name === 'gallery') {
      await tabTo(p, 'button Message box...');
      await p.keyboard.press('Enter');
      await p.getByRole('button', { name: 'Not sure' }).waitFor();
      await check(p, 'the gallery\'s message box');
    }
    await p.close();
  }
});
