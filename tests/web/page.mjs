// The site as the browser tests see it: served from 127.0.0.1 by a small
// static server of the tests' own, and read back through any driver's page
// (drivers.mjs) by the canvas's pixels.
import { readdirSync, readFileSync, statSync } from 'node:fs';
import { createServer } from 'node:http';
import { extname, join, normalize } from 'node:path';
import { fileURLToPath } from 'node:url';

export const SITE = fileURLToPath(new URL('../../build/web/site/', import.meta.url));
// A second release of the same site (scripts/test-web.sh builds it), for the
// deployment test.
export const NEXT_SITE = fileURLToPath(new URL('../../build/web/site-next/', import.meta.url));
// What the tests know of the program from its own sources: its caption and
// its user space, as the build read them from the program's headers.
export const PROGRAM = JSON.parse(readFileSync(new URL('../../build/web/program-facts.json', import.meta.url), 'utf8'));
// in-page.js, with the facts it reads its pixels by.
const IN_PAGE = `window.programFacts = ${JSON.stringify(PROGRAM)};
${readFileSync(new URL('in-page.js', import.meta.url), 'utf8')}`;

const TYPES = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
                '.json': 'application/manifest+json', '.svg': 'image/svg+xml', '.png': 'image/png',
                '.txt': 'text/plain; charset=utf-8' };

// Serves `directory` on a free port of 127.0.0.1 as a static host does: each
// file with its Last-Modified (answering If-Modified-Since with 304) and,
// with `maxAge` (seconds), Cache-Control: max-age as well. With `inPage`,
// in-page.js (and `server.script`, when set) goes at the top of every page.
// For the failure tests `server.failing[name]` makes a file fail: 'drop'
// closes the connection before its first byte, 'missing' answers 404,
// 'truncated' sends half of it, a Buffer is sent in its place; and
// `server.hold(name)` keeps a file back until the function it returns is
// called. Stops by itself after `seconds`, in case a run hangs.
export async function serve(directory = SITE, { seconds = 600, maxAge = null, inPage = true } = {}) {
  const held = {};
  const server = { directory, maxAge, script: '', failing: {}, served: [] };
  server.hold = name => {
    let release;
    held[name] = new Promise(resolve => { release = resolve; });
    return () => { delete held[name]; release(); };
  };
  const http = createServer(async (request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://host').pathname);
    const name = path.endsWith('/') ? `${path.slice(1)}index.html` : path.slice(1);
    await held[name];
    const notFound = () => {
      response.writeHead(404, { 'Content-Type': 'text/plain' });
      response.end('Not found');
    };
    const failing = server.failing[name];
    if (failing === 'drop') return request.socket.destroy();
    const file = normalize(join(server.directory, name));
    let modified;
    try {
      modified = statSync(file).mtime;
    } catch {
      modified = null;
    }
    if (!file.startsWith(normalize(server.directory)) || !modified || failing === 'missing') return notFound();
    server.served.push(name);
    const headers = { 'Content-Type': TYPES[extname(name)] ?? 'application/octet-stream',
                      'Last-Modified': modified.toUTCString() };
    if (server.maxAge !== null) headers['Cache-Control'] = `max-age=${server.maxAge}`;
    const since = Date.parse(request.headers['if-modified-since'] ?? '');
    if (!failing && since >= Math.floor(modified.getTime() / 1000) * 1000) {
      response.writeHead(304, headers);
      return response.end();
    }
    let body;
    try {
      body = Buffer.isBuffer(failing) ? failing : readFileSync(file);
    } catch {
      return notFound();  // gone since
    }
    if (failing === 'truncated') body = body.subarray(0, body.length >> 1);
    if (inPage && name.endsWith('.html')) {
      body = Buffer.from(String(body).replace('<head>', `<head><script>${IN_PAGE}\n${server.script}</script>`));
    }
    response.writeHead(200, { ...headers, 'Content-Length': body.length });
    response.end(body);
  });
  await new Promise(resolve => http.listen(0, '127.0.0.1', resolve));
  const timer = setTimeout(() => http.close(), seconds * 1000);
  timer.unref();
  server.origin = `http://127.0.0.1:${http.address().port}`;
  server.stop = () => {
    clearTimeout(timer);
    http.closeAllConnections();
    return new Promise(resolve => http.close(resolve));
  };
  return server;
}

// The names of a site's files, by what they are: page, script, program.
export function siteFiles(directory = SITE) {
  const names = readdirSync(directory);
  return { script: names.find(name => /^rotary-envelope\.\w+\.js$/.test(name)),
           program: names.find(name => name.endsWith('.wasm')) };
}

// Polls `check(arg)` in the page until it returns something truthy, which it
// returns; fails after `timeout` ms with `what`: a bound for a page that
// hangs, far above what a loaded machine takes.
export async function waitFor(page, check, arg, { timeout = 30000, what = String(check) } = {}) {
  const until = Date.now() + timeout;
  for (;;) {
    const result = await page.evaluate(check, arg);
    if (result) return result;
    if (Date.now() > until) {
      const state = await page.evaluate(() => ({ passes: window.Module?.passesShown, visibility: document.visibilityState,
        failure: document.getElementById('failure')?.textContent, status: document.getElementById('status')?.textContent,
        address: location.href }));
      throw new Error(`timed out waiting for ${what}: ${JSON.stringify(state)}`);
    }
    await new Promise(resolve => setTimeout(resolve, 40));
  }
}

export const passesShown = page => page.evaluate(() => window.Module?.passesShown ?? 0);
export const waitForPasses = (page, passes) =>
  waitFor(page, n => (window.Module?.passesShown ?? 0) >= n, passes, { timeout: 90000, what: `${passes} passes` });

// The canvas's facts (in-page.js) once `more` passes have been shown.
export async function facts(page, more = 0) {
  await waitForPasses(page, (await passesShown(page)) + more);
  return page.evaluate(() => window.canvasFacts.summary());
}

// The facts once the loop waits for input: no pass shown for 200 ms.
export async function stillFacts(page) {
  for (let before = await passesShown(page); ;) {
    await new Promise(resolve => setTimeout(resolve, 200));
    const now = await passesShown(page);
    if (now === before) return facts(page);
    before = now;
  }
}

// A point in user units as a page position in CSS pixels, at the size the
// picture is shown.
export const pagePoint = (page, x, y) => page.evaluate(([x, y]) => {
  const { left, top, width } = document.getElementById('canvas').getBoundingClientRect();
  const pixel = canvasFacts.toPixel(x, y, width);
  return { x: left + pixel.x, y: top + pixel.y };
}, [x, y]);

// The middle of the element `selector`, in CSS pixels.
export const middleOf = (page, selector) => page.evaluate(selector => {
  const box = document.querySelector(selector).getBoundingClientRect();
  return { x: box.left + box.width / 2, y: box.top + box.height / 2 };
}, selector);
