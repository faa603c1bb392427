// Serves the built site with Python's http.server on a free port of 127.0.0.1
// and opens it in Debian's chromium, headless, through playwright-core (which
// downloads no browser). Every request the pages make is recorded.
import { spawn } from 'node:child_process';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';

export const SITE = fileURLToPath(new URL('../../build/web/site/', import.meta.url));
const FACTS = fileURLToPath(new URL('canvas-facts.js', import.meta.url));
const SERVER_LIMIT_S = '600';  // the server stops by itself if a test run hangs

export async function serve() {
  const server = spawn('timeout', [SERVER_LIMIT_S, '/usr/bin/python3', '-u', '-m', 'http.server', '--bind',
                                   '127.0.0.1', '--directory', SITE, '0'],
                       { stdio: ['ignore', 'pipe', 'ignore'] });
  const origin = await new Promise((resolve, reject) => {
    let said = '';
    server.stdout.on('data', chunk => {
      const port = (said += chunk).match(/port (\d+)/);
      if (port) resolve(`http://127.0.0.1:${port[1]}`);
    });
    server.on('exit', code => reject(new Error(`http.server exited with ${code} before serving: ${said}`)));
  });
  return { origin, stop: () => server.kill() };
}

export async function launch() {
  // As root chromium needs no sandbox flag: playwright-core turns the sandbox off.
  return chromium.launch({ executablePath: '/usr/bin/chromium', headless: true, args: ['--disable-dev-shm-usage'] });
}

// Opens the page in a fresh context; resolves once it has shown `passes`.
// Its requests and uncaught errors go to `log`.
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

export async function waitForPasses(page, passes) {
  await page.waitForFunction(n => (window.Module?.passesShown ?? 0) >= n, passes, { polling: 'raf' });
}

export async function passesShown(page) {
  return page.evaluate(() => window.Module.passesShown);
}

// The page's canvas facts (tests/web/canvas-facts.js) after `more` passes.
export async function facts(page, more = 0) {
  await waitForPasses(page, (await passesShown(page)) + more);
  return page.evaluate(() => window.canvasFacts.summary());
}

// A point of the canvas in user units as a position of the page, in CSS pixels.
export async function pagePoint(page, x, y) {
  return page.evaluate(([x, y]) => {
    const { left, top } = document.getElementById('canvas').getBoundingClientRect();
    const { UNIT_X, UNIT_Y } = window.canvasFacts;
    return { x: left + Math.round((x + 117) * UNIT_X), y: top + Math.round((y + 100) * UNIT_Y) };
  }, [x, y]);
}
