// Pictures of the site's pages taken in the real browser: <page>.png beside each page for the
// index, and with --readme <file.png> the orbit page as the browser window shows it.
// Usage: node pictures.mjs <site folder> [--readme <file.png>]
import { writeFile } from 'node:fs/promises';
import { join } from 'node:path';

import { canvasPng, clickAt, launch, open, waitForFrames } from './browser.mjs';
import { serve } from './serve.mjs';

const [site, flag, readme] = process.argv.slice(2);
if (!site || (flag !== undefined && (flag !== '--readme' || !readme))) {
  console.error('usage: node pictures.mjs <site folder> [--readme <file.png>]');
  process.exit(2);
}

// What each picture shows: the page after a few clicks (surface pixels) and pauses.
const SCENES = {
  Umlaufbahnen: async (page) => {
    await clickAt(page, 245, 230); // Simulation Start
    await page.waitForTimeout(2500);
    await clickAt(page, 245, 260); // Simulation Stop
  },
  Planetensystem: async (page) => {
    await clickAt(page, 100, 84); // Alle Planeten (Merkur bis Pluto)
    await page.waitForTimeout(2000);
    await clickAt(page, 100, 120); // Simulation Stop
  },
  gallery: async () => {},
  plots: async () => {},
};

const { server, url } = await serve(site);
const browser = await launch({ width: 1100, height: 620 });
try {
  for (const [name, scene] of Object.entries(SCENES)) {
    const page = await open(browser.context, `${url}${name}.html`);
    await waitForFrames(page);
    await scene(page);
    await page.waitForTimeout(300);
    await writeFile(join(site, `${name}.png`), await canvasPng(page));
    if (readme && name === 'Umlaufbahnen') await page.screenshot({ path: readme });
    await page.close();
  }
} finally {
  await browser.close();
  server.close();
}
