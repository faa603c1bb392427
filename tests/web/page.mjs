// Serves the built site with Python's http.server on a free port of 127.0.0.1
// and opens it in Debian's chromium, headless, through playwright-core (which
// downloads no browser).
import { spawn } from 'node:child_process';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';

export const SITE = fileURLToPath(new URL('../../build/web/site/', import.meta.url));
const FACTS = fileURLToPath(new URL('canvas-facts.js', import.meta.url));

export async function serve() {
  // Bounded, in case a run hangs.
  const server = spawn('timeout', ['600', '/usr/bin/python3', '-u', '-m', 'http.server', '--bind', '127.0.0.1',
                                   '--directory', SITE, '0'], { stdio: ['ignore', 'pipe', 'ignore'] });
  const port = await new Promise((resolve, reject) => {
    server.stdout.on('data', chunk => String(chunk).replace(/port (\d+)/, (_, port) => resolve(port)));
    server.on('exit', code => reject(new Error(`http.server exited with ${code}`)));
  });
  return { origin: `http://127.0.0.1:${port}`, stop: () => server.kill() };
}

// As root chromium needs no sandbox flag: playwright-core turns the sandbox off.
export const launch = () =>
  chromium.launch({ executablePath: '/usr/bin/chromium', headless: true, args: ['--disable-dev-shm-usage'] });

// Opens the page in a context of its own once it has shown `passes` passes;
// its requests and errors go to `log`.
export async function open(browser, address, log, { deviceScaleFactor = 1, viewport, passes = 1 } = {}) {
  const context = await browser.newContext({ deviceScaleFactor, viewport: viewport ?? { width: 1100, height: 1000 } });
  const page = await context.newPage();
  page.on('request', request => log.requests.push(request.url()));
  page.on('pageerror', error => log.errors.push(error.message));
  page.on('console', message => message.type() === 'error' && log.errors.push(message.text()));
  await page.addInitScript({ path: FACTS });
  await page.goto(address);
  await waitForPasses(page, passes);
  return page;
}

export const passesShown = page => page.evaluate(() => window.Module?.passesShown ?? 0);
export const waitForPasses = (page, passes) =>
  page.waitForFunction(n => (window.Module?.passesShown ?? 0) >= n, passes, { polling: 'raf' });

// The canvas's facts (canvas-facts.js) once `more` passes have been shown.
export async function facts(page, more = 0) {
  await waitForPasses(page, (await passesShown(page)) + more);
  return page.evaluate(() => window.canvasFacts.summary());
}

// A point in user units as a page position in CSS pixels (at density 1).
export const pagePoint = (page, x, y) => page.evaluate(([x, y]) => {
  const { left, top } = document.getElementById('canvas').getBoundingClientRect();
  return { x: left + Math.round((x + 117) * canvasFacts.UNIT_X), y: top + Math.round((y + 100) * canvasFacts.UNIT_Y) };
}, [x, y]);
