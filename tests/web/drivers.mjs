// The three browser engines behind one small interface, so that one scenario
// runs in each: Debian's Chromium through playwright-core, Debian's Firefox
// ESR through puppeteer-core over WebDriver BiDi, and WebKitGTK's MiniBrowser
// through WebKitWebDriver and selenium-webdriver, in an Xvfb of its own.
// Nothing is downloaded: every driver starts the browser the system has.
//
// A driver's launch() gives an engine (Chromium's takes more switches) whose
// open(address, options) loads a
// page in a fresh profile or context; options: viewport {width, height},
// ratio (device pixel ratio), touch (a phone's touch screen), reducedMotion,
// javaScript. A page offers evaluate(fn, arg), press(key) with a key as the
// character it types (' ', ',', '.', '/', '[', ']') or a name ('Escape',
// 'Tab', 'Enter', 'ArrowRight'), move(x, y, steps), click(x, y), dblclick(x, y), touch(points) (a
// finger put down, moved along the points and lifted), setViewport(width,
// height), reload(), problems() (the errors and warnings it reported since
// the last call) and close(). What an engine cannot be given is said in
// its `can`.
import { spawn } from 'node:child_process';
import { createServer } from 'node:net';
import { chromium as playwrightChromium } from 'playwright-core';
import puppeteer from 'puppeteer-core';
import { Builder, Key, Origin } from 'selenium-webdriver';

const VIEWPORT = { width: 1100, height: 1000 };

// As root chromium needs no sandbox flag: playwright-core turns the sandbox off.
const CHROMIUM = { executablePath: '/usr/bin/chromium', headless: true, args: ['--disable-dev-shm-usage'] };
// `args`: more of Chromium's switches.
export const launchChromium = (args = []) => playwrightChromium.launch({ ...CHROMIUM, args: [...CHROMIUM.args, ...args] });
// A browser with a profile in `directory`, as a person's is: such a browser
// can install a web app (a throwaway context cannot).
export const launchChromiumWithProfile = directory => playwrightChromium.launchPersistentContext(directory, CHROMIUM);

// What a page reports: errors and warnings, kept until taken.
function problemLog() {
  const kept = [];
  return { add: text => kept.push(text), take: () => kept.splice(0) };
}

// Real touch through the DevTools protocol: a finger put down, moved in
// steps and lifted.
async function chromiumTouch(page, points) {
  const cdp = await page.context().newCDPSession(page);
  const [first, ...rest] = points;
  await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [first] });
  for (const point of rest) await cdp.send('Input.dispatchTouchEvent', { type: 'touchMove', touchPoints: [point] });
  await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  await cdp.detach();
}

export const chromium = {
  name: 'chromium',
  can: { ratio: true, touch: true, reducedMotion: true },
  async launch(args = []) {
    const browser = await launchChromium(args);
    return {
      browser,
      close: () => browser.close(),
      async open(address, { viewport = VIEWPORT, ratio = 1, touch = false, reducedMotion = false, javaScript = true } = {}) {
        const context = await browser.newContext({ viewport, deviceScaleFactor: ratio, isMobile: touch, hasTouch: touch,
                                                   reducedMotion: reducedMotion ? 'reduce' : 'no-preference',
                                                   javaScriptEnabled: javaScript });
        const page = await context.newPage();
        const log = problemLog();
        page.on('pageerror', error => log.add(error.message));
        page.on('console', message => ['error', 'warning'].includes(message.type()) && log.add(message.text()));
        await page.goto(address);
        return {
          raw: page,
          evaluate: (fn, arg) => page.evaluate(fn, arg),
          press: key => page.keyboard.press(key === ' ' ? 'Space' : key),
          move: (x, y, steps = 1) => page.mouse.move(x, y, { steps }),
          click: (x, y) => page.mouse.click(x, y),
          dblclick: (x, y) => page.mouse.dblclick(x, y),
          touch: points => chromiumTouch(page, points),
          setViewport: (width, height) => page.setViewportSize({ width, height }),
          reload: () => page.reload(),
          problems: log.take,
          close: () => context.close(),
        };
      },
    };
  },
};

export const firefox = {
  name: 'firefox',
  can: { ratio: true, touch: true, reducedMotion: false },
  async launch() {
    const browser = await puppeteer.launch({ browser: 'firefox', executablePath: '/usr/bin/firefox-esr', headless: true });
    return {
      close: () => browser.close(),
      async open(address, { viewport = VIEWPORT, ratio = 1 } = {}) {
        const context = await browser.createBrowserContext();
        const page = await context.newPage();
        const log = problemLog();
        page.on('pageerror', error => log.add(error.message));
        page.on('console', message => ['error', 'warn'].includes(message.type()) && log.add(message.text()));
        await page.setViewport({ ...viewport, deviceScaleFactor: ratio });
        await page.goto(address);
        return {
          evaluate: (fn, arg) => page.evaluate(fn, arg),
          press: key => page.keyboard.press(key),
          move: (x, y, steps = 1) => page.mouse.move(x, y, { steps }),
          click: (x, y) => page.mouse.click(x, y),
          dblclick: (x, y) => page.mouse.click(x, y, { count: 2 }),
          async touch([first, ...rest]) {
            await page.touchscreen.touchStart(first.x, first.y);
            for (const point of rest) await page.touchscreen.touchMove(point.x, point.y);
            await page.touchscreen.touchEnd();
          },
          setViewport: (width, height) => page.setViewport({ width, height, deviceScaleFactor: ratio }),
          reload: () => page.reload(),
          problems: log.take,
          close: () => context.close(),
        };
      },
    };
  },
};

// A free TCP port of 127.0.0.1.
async function freePort() {
  const probe = createServer();
  await new Promise(resolve => probe.listen(0, '127.0.0.1', resolve));
  const { port } = probe.address();
  await new Promise(resolve => probe.close(resolve));
  return port;
}

// Starts `command` and waits until its standard output matches `ready`.
function start(command, args, ready) {
  const child = spawn(command, args, { stdio: ['ignore', 'pipe', 'pipe'] });
  return new Promise((resolve, reject) => {
    let out = '', said = '';
    child.stdout.on('data', chunk => {
      out += chunk;
      const found = out.match(ready);
      if (found) resolve({ child, found });
    });
    child.stderr.on('data', chunk => { said = (said + chunk).slice(-2000); });
    child.on('exit', code => reject(new Error(`${command} exited with ${code}: ${said}`)));
  });
}

const SELENIUM_KEYS = { Escape: Key.ESCAPE, Tab: Key.TAB, Enter: Key.ENTER, ArrowRight: Key.ARROW_RIGHT };

// MiniBrowser's window includes its toolbar: the window is sized so that the
// page gets `width` × `height`.
async function setWebKitViewport(driver, width, height) {
  await driver.manage().window().setRect({ width, height });
  const [innerWidth, innerHeight] = await driver.executeScript('return [innerWidth, innerHeight]');
  if (innerWidth === width && innerHeight === height) return;
  await driver.manage().window().setRect({ width: 2 * width - innerWidth, height: 2 * height - innerHeight });
}

export const webkit = {
  name: 'webkit',
  // WebKitWebDriver sends touch as mouse events, and gives no other density.
  can: { ratio: false, touch: false, reducedMotion: false },
  async launch() {
    const xvfb = await start('Xvfb', ['-displayfd', '1', '-screen', '0', '1920x1200x24', '-nolisten', 'tcp', '-noreset'],
                             /^(\d+)\n/);
    const port = await freePort();
    const webDriver = spawn('WebKitWebDriver', [`--port=${port}`], {
      stdio: ['ignore', 'ignore', 'pipe'], env: { ...process.env, DISPLAY: `:${xvfb.found[1]}` },
    });
    // A driver that has gone, or a call that never returns, fails the test
    // that meets it instead of hanging the run.
    let said = '', gone = null;
    webDriver.stderr.on('data', chunk => { said = (said + chunk).slice(-2000); });
    webDriver.on('exit', code => { gone = new Error(`WebKitWebDriver exited with ${code}: ${said}`); });
    const within = (promise, what) => {
      let timer;
      const limit = new Promise((_, reject) => {
        timer = setTimeout(() => reject(gone ?? new Error(`WebKitWebDriver: no answer to ${what}: ${said}`)), 60000);
      });
      return Promise.race([promise, limit]).finally(() => clearTimeout(timer));
    };
    let driver = null;
    const quit = async () => {
      await driver?.quit().catch(() => {});
      driver = null;
    };
    return {
      async close() {
        await quit();
        webDriver.kill();
        xvfb.child.kill();
      },
      async open(address, { viewport = VIEWPORT } = {}) {
        if (gone) throw gone;
        await within(quit(), 'quit');  // one session at a time, each with a fresh profile
        for (let tries = 0; !driver; tries++) {
          driver = await new Builder().usingServer(`http://127.0.0.1:${port}`).withCapabilities({
            browserName: 'MiniBrowser',
            'webkitgtk:browserOptions': { binary: '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser',
                                          args: ['--automation'] },
          }).build().catch(error => {
            if (tries > 50) throw error;  // the driver is still starting
            return new Promise(resolve => setTimeout(resolve, 100)).then(() => null);
          });
        }
        const session = driver;
        await within(session.manage().setTimeouts({ script: 30000 }), 'timeouts');
        await within(setWebKitViewport(session, viewport.width, viewport.height), 'the window size');
        await within(session.get(address), 'the address');
        const pointer = (x, y) => session.actions().move({ x: Math.round(x), y: Math.round(y), origin: Origin.VIEWPORT });
        const page = {
          async evaluate(fn, arg) {
            const result = await session.executeAsyncScript(`const done = arguments[arguments.length - 1];
              Promise.resolve().then(() => (${fn})(arguments[0])).then(value => done({ value }),
                                                                          error => done({ error: String(error) }));`, arg);
            if ('error' in result) throw new Error(result.error);
            return result.value;
          },
          press: key => session.actions().sendKeys(SELENIUM_KEYS[key] ?? key).perform(),
          async move(x, y, steps = 1) {
            for (let i = 1; i <= steps; i++) {
              const [fromX, fromY] = page.last ?? [x, y];
              await pointer(fromX + (x - fromX) * i / steps, fromY + (y - fromY) * i / steps).perform();
            }
            page.last = [x, y];
          },
          click: (x, y) => pointer(x, y).click().perform(),
          dblclick: (x, y) => pointer(x, y).doubleClick().perform(),
          setViewport: (width, height) => setWebKitViewport(session, width, height),
          reload: () => session.navigate().refresh(),
          problems: () => page.evaluate(() => (window.pageProblems ?? []).splice(0)).catch(() => []),
          close: quit,
        };
        for (const [name, call] of Object.entries(page)) page[name] = (...args) => within(call(...args), name);
        return page;
      },
    };
  },
};

export const engines = [chromium, firefox, webkit];
