// Serves the built site (or another folder) with Python's http.server on a
// free port of 127.0.0.1 and opens it in Debian's chromium, headless, through
// playwright-core (which downloads no browser).
import { spawn } from 'node:child_process';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';

export const SITE = fileURLToPath(new URL('../../build/web/site/', import.meta.url));
const FACTS = fileURLToPath(new URL('canvas-facts.js', import.meta.url));

export async function serve(directory = SITE, seconds = 600) {
  // Bounded, in case a run hangs.
  const server = spawn('timeout', [String(seconds), '/usr/bin/python3', '-u', '-m', 'http.server', '--bind', '127.0.0.1',
                                   '--directory', directory, '0'], { stdio: ['ignore', 'pipe', 'ignore'] });
  const port = await new Promise((resolve, reject) => {
    server.stdout.on('data', chunk => String(chunk).replace(/port (\d+)/, (_, port) => resolve(port)));
    server.on('exit', code => reject(new Error(`http.server exited with ${code}`)));
  });
  return { origin: `http://127.0.0.1:${port}`, stop: () => server.kill() };
}

// As root chromium needs no sandbox flag: playwright-core turns the sandbox off.
const CHROMIUM = { executablePath: '/usr/bin/chromium', headless: true, args: ['--disable-dev-shm-usage'] };
// `args`: more of Chromium's switches.
export const launch = (args = []) => chromium.launch({ ...CHROMIUM, args: [...CHROMIUM.args, ...args] });
// A browser with a profile in `directory`, as a person's is: such a browser
// can install a web app (a throwaway context cannot).
export const launchWithProfile = directory => chromium.launchPersistentContext(directory, CHROMIUM);

// Opens the page in a context of its own once it has shown `passes` passes;
// see visit. `context` takes playwright's context options (viewport,
// deviceScaleFactor, isMobile, hasTouch, reducedMotion...).
export async function open(browser, address, log, { context: options = {}, ...rest } = {}) {
  const context = await browser.newContext({ viewport: { width: 1100, height: 1000 }, ...options });
  return visit(await context.newPage(), address, log, rest);
}

// Opens the address in `page` once it has shown `passes` passes; its requests
// go to `log.requests`, and any error, warning or failure it reports to
// `log.problems` (the test that opened it fails on them). `route` can answer
// requests instead of the server.
export async function visit(page, address, log, { passes = 1, route } = {}) {
  page.on('request', request => log.requests.push(request.url()));
  page.on('pageerror', error => log.problems.push(error.message));
  page.on('console', message => ['error', 'warning'].includes(message.type()) && log.problems.push(message.text()));
  await page.addInitScript({ path: FACTS });
  if (route) await page.route(route.url, route.handler);
  await page.goto(address);
  if (passes > 0) await waitForPasses(page, passes);
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

// A point in user units as a page position in CSS pixels, at the size the
// picture is shown.
export const pagePoint = (page, x, y) => page.evaluate(([x, y]) => {
  const { left, top, width } = document.getElementById('canvas').getBoundingClientRect();
  const scale = width / 975;
  return { x: left + (x + 117) * canvasFacts.UNIT_X * scale, y: top + (y + 100) * canvasFacts.UNIT_Y * scale };
}, [x, y]);

// Real touch through the DevTools protocol: a finger put down, moved in
// steps and lifted, or a tap.
export async function touch(page, points) {
  const cdp = await page.context().newCDPSession(page);
  const [first, ...rest] = points;
  await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [first] });
  for (const point of rest) await cdp.send('Input.dispatchTouchEvent', { type: 'touchMove', touchPoints: [point] });
  await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  await cdp.detach();
}
