// What every browser test needs before it starts: the built site, the browser driver and
// Chromium. Without one of them the test is skipped (exit status 77) with a message.
import { existsSync } from 'node:fs';
import { join } from 'node:path';

function skip(why) {
  console.log(`SKIPPED: ${why}`);
  process.exit(77);
}

// The browser driver (tools/web/browser.mjs) and the site's server (serve.mjs), once `page`
// lies in the site folder `site`.
export async function browserNeeds(site, page) {
  if (!site || !existsSync(join(site, page))) skip(`no browser build at ${site} (tools/web.sh makes it)`);
  let driver;
  try {
    driver = await import('../../tools/web/browser.mjs');
  } catch (error) {
    skip(`the browser driver is not installed (tools/web.sh installs it): ${error.message}`);
  }
  if (!existsSync(driver.CHROMIUM)) skip(`no Chromium at ${driver.CHROMIUM} (tools/web.sh installs it)`);
  const { serve } = await import('../../tools/web/serve.mjs');
  return { driver, serve };
}
