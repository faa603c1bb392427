// The page in headless Chromium: real key presses, pointer moves, clicks and
// touches, judged by the canvas's pixels. Any error or warning a page reports
// fails the test that opened it.
import assert from 'node:assert/strict';
import { mkdtemp } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, afterEach, before, describe, test } from 'node:test';
import { facts, launch, launchWithProfile, open, pagePoint, passesShown, serve, touch, visit, waitForPasses }
  from './page.mjs';

const TITLE = 'Dusmar Rotary Envelope etc Use: SpaceBar and Mouse ESC or DoubleClick to Quit';  // spaces collapsed
// FNV-1a of the canvas after 70 passes without input at density 1: the desktop canvas's value.
const GOLDEN_70_PASSES = 0xb0417b48;
const STEP1 = 2 * Math.PI / 1000;  // radians; the start-up speed is 15 steps a pass
const PIXELS_PER_UNIT = 4.0424;    // at density 1
const PHONE = { viewport: { width: 390, height: 844 }, deviceScaleFactor: 3, isMobile: true, hasTouch: true };

describe('the page', () => {
  let server, browser, background;
  const log = { requests: [], problems: [] };
  let page;  // one page at a time: each runs its animation until closed
  const load = async (query, options) => {
    await page?.context().close();
    return (page = await open(browser, `${server.origin}/${query}`, log, options));
  };

  before(async () => {
    [server, browser] = await Promise.all([serve(), launch()]);
    background = await facts(await load('?passes=1'));  // ends before anything is drawn
  });
  afterEach(() => assert.deepEqual(log.problems.splice(0), [], 'the page reported problems'));
  after(async () => {
    await browser?.close();
    server?.stop();
  });

  // The facts once the loop waits for input: no pass shown for 200 ms.
  async function stillFacts(page) {
    for (let before = await passesShown(page);;) {
      await page.waitForTimeout(200);
      const now = await passesShown(page);
      if (now === before) return facts(page);
      before = now;
    }
  }
  const holdLabel = page => page.locator('#hold span').innerText();

  // Once the picture is still: the blue circle has radius 3e and the
  // eccentricity's control and its line show e.
  async function checkEccentricity(page, e, how) {
    const { blue } = await stillFacts(page);
    assert.ok(Math.abs(blue.nearest - 3 * e) < 0.5 && Math.abs(blue.farthest - 3 * e) < 0.5,
              `${how}: blue circle ${JSON.stringify(blue)}, expected radius ${3 * e}`);
    assert.equal(await page.locator('#eccentricity').inputValue(), String(e), how);
    assert.match(await page.locator('#shape').innerText(), new RegExp(`^Eccentricity\\s+${e} \\(r/e ${+(75 / e).toFixed(2)}\\)`),
                 how);
  }

  // The figure's centre within a pixel and a half of (x, y), user units.
  async function checkSteered(page, x, y) {
    const shown = await stillFacts(page);
    const scale = await page.evaluate(() => document.getElementById('canvas').width / 975);
    const tolerance = 1.5 / (PIXELS_PER_UNIT * scale);
    assert.ok(Math.abs(shown.centre.x - x) <= tolerance && Math.abs(shown.centre.y - y) <= tolerance,
              `centre circle at ${JSON.stringify(shown.centre)}, expected (${x}, ${y})`);
    return shown;
  }

  // The picture and the buttons show whole without scrolling, the picture as
  // large as the window allows: at its natural size or within 20 CSS pixels
  // of the window's width or height.
  async function checkFits(page, how) {
    const fit = await page.evaluate(() => {
      const inside = element => {
        const box = element.getBoundingClientRect();
        return box.left >= 0 && box.top >= 0 && box.right <= innerWidth && box.bottom <= innerHeight;
      };
      const root = document.documentElement, { width, height } = canvas.getBoundingClientRect();
      return { scrolls: root.scrollWidth > innerWidth || root.scrollHeight > innerHeight,
               whole: [canvas, ...document.querySelectorAll('#controls button')].every(inside),
               largest: width === 975 || innerWidth - width <= 20 || innerHeight - height <= 20,
               buttons: [...document.querySelectorAll('#controls button')].every(b => b.offsetHeight >= 44) };
    });
    assert.deepEqual(fit, { scrolls: false, whole: true, largest: true, buttons: true }, how);
  }

  // Ended: the line says so, the loop stopped, and the canvas is cleared to
  // the background picture (the same one as before anything was drawn, where
  // the canvas has its size).
  async function checkEnded(page, how) {
    await page.locator('#status').getByText(/ended.*Reload/s).waitFor();
    const ended = await facts(page);
    await page.waitForTimeout(300);
    assert.equal(await passesShown(page), ended.passes, `${how}: the loop kept running`);
    assert.ok(ended.figureRed === 0 && ended.centre === null && ended.blue.count === 0, `${how}: not cleared`);
    if (ended.width === background.width) assert.equal(ended.hash, background.hash, `${how}: not the background picture`);
  }

  // Ratio 1 is the golden hash's.
  test('title and backing store at device pixel ratios 1.25 and 2', async () => {
    for (const ratio of [1.25, 2]) {
      const page = await load('', { context: { deviceScaleFactor: ratio } });
      assert.equal(await page.title(), TITLE);
      assert.deepEqual(await page.evaluate(() => {
        const canvas = document.getElementById('canvas');
        const { width, height } = canvas.getBoundingClientRect();
        return [width, height, canvas.width, canvas.height, document.activeElement === canvas];
      }), [975, 741, Math.round(975 * ratio), Math.round(741 * ratio), true]);
    }
  });

  test('70 passes: red figure, centre circle, blue circle, trail, golden hash', async () => {
    const shown = await facts(await load('?passes=70', { passes: 70 }));
    assert.equal(shown.passes, 70);
    assert.ok(shown.figureRed > 1000, `${shown.figureRed} red pixels of the figure`);
    assert.ok(Math.abs(shown.centre?.width - 2 * 24) < 1, `centre circle: ${JSON.stringify(shown.centre)}`);
    assert.ok(shown.blue.count > 800 && shown.blue.nearest > 35.5 && shown.blue.farthest < 36.5,
              `blue circle: ${JSON.stringify(shown.blue)}`);
    assert.ok(shown.black > background.black + 20000, `${shown.black} black pixels, ${background.black} before`);
    assert.equal(shown.hash, GOLDEN_70_PASSES, `hash 0x${shown.hash.toString(16)}`);
  });

  test('keys and mouse: space holds (no passes while held) and resumes, the pointer steers, ' +
       'keys work after a click anywhere, buttons act as the keys, Escape ends in a live region', async () => {
    const page = await load('', { passes: 5 });
    await page.keyboard.press('Space');
    const held = await stillFacts(page);
    await page.waitForTimeout(200);
    assert.equal(await passesShown(page), held.passes, 'held, the loop kept asking for frames');
    assert.equal(await holdLabel(page), 'Resume');
    await page.keyboard.press('Space');
    assert.notEqual((await facts(page, 3)).hash, held.hash, 'the space bar did not resume');
    assert.equal(await holdLabel(page), 'Hold');

    const right = await pagePoint(page, 50, 0);  // right of the origin, on its row
    await page.mouse.move(right.x, right.y, { steps: 8 });
    const steered = await checkSteered(page, 12, 0);

    await page.click('#panel p');  // the focus leaves the picture
    await page.keyboard.press('Space');
    assert.notEqual((await facts(page, 3)).hash, steered.hash, 'after a click beside the picture a key was lost');
    await page.click('#hold');
    const byButton = await stillFacts(page);
    assert.equal(await holdLabel(page), 'Resume', 'the hold button did not hold');
    await page.keyboard.press('Period');  // acts as a key, not as the focused button
    await page.keyboard.press('Space');
    assert.notEqual((await facts(page, 3)).hash, byButton.hash, 'after a button a key was lost');

    await page.focus('#canvas');
    // The ring is a shadow at least 2 px wide around the picture.
    const ring = await page.evaluate(() => getComputedStyle(document.getElementById('canvas')).boxShadow);
    assert.ok(Math.max(0, ...[...ring.matchAll(/0px 0px 0px (\d+)px/g)].map(m => Number(m[1]))) >= 2, `no focus ring: ${ring}`);
    const cdp = await page.context().newCDPSession(page);
    const { nodes } = await cdp.send('Accessibility.getFullAXTree');
    const picture = nodes.find(node => node.role?.value === 'image');
    assert.equal(picture?.name?.value, 'Rotary envelope animation');
    assert.match(picture?.description?.value ?? '', /housing of a rotary engine/);
    const status = nodes.find(node => node.role?.value === 'status');
    assert.equal(status?.properties?.find(p => p.name === 'live')?.value?.value, 'polite', 'the ended line is not live');

    await page.keyboard.press('Escape');
    await checkEnded(page, 'Escape');
  });

  test('"," "." and "/" change the speed', async () => {
    const page = await load('', { passes: 5 });
    let expected = 15 * STEP1;
    for (const [keys, factor] of [[[], 1], [['Slash'], 1 / 3], [Array(10).fill('Period'), 1.05 ** 10],
                                  [Array(10).fill('Comma'), 0.95 ** 10]]) {
      for (const key of keys) await page.keyboard.press(key);
      await waitForPasses(page, (await passesShown(page)) + 2);
      const measured = await page.evaluate(passes => canvasFacts.speed(passes), 60);
      expected *= factor;
      assert.ok(Math.abs(measured / expected - 1) < 0.03,
                `after ${keys.join(' ') || 'start-up'}: ${measured / STEP1} steps a pass, expected ${expected / STEP1}`);
    }
  });

  test('"]" and "[" stop at 20 and 4; the eccentricity\'s control follows them, changes it by keys and a click, ' +
       'and names itself', async () => {
    const page = await load('', { passes: 5 });
    await page.keyboard.press('Space');
    await page.keyboard.press('BracketRight');
    await checkEccentricity(page, 13, '"]"');
    for (const [key, presses, e] of [['BracketRight', 9, 20], ['BracketLeft', 18, 4]]) {
      for (let n = 0; n < presses; n++) await page.keyboard.press(key);
      await checkEccentricity(page, e, `${presses} × ${key}`);
    }
    const control = page.locator('#eccentricity');
    await control.focus();
    await page.keyboard.press('ArrowRight');
    await page.keyboard.press('ArrowRight');
    await checkEccentricity(page, 6, 'two right arrows on the control');
    const cdp = await page.context().newCDPSession(page);
    const slider = (await cdp.send('Accessibility.getFullAXTree')).nodes.find(node => node.role?.value === 'slider');
    assert.deepEqual([slider?.name?.value, slider?.value?.value], ['Eccentricity', 6]);
    const box = await control.boundingBox();
    await page.mouse.click(box.x + box.width - 1, box.y + box.height / 2);
    await checkEccentricity(page, 20, 'a click at the control\'s end');
    assert.equal(await holdLabel(page), 'Resume', 'a new eccentricity resumed the turning');
  });

  test('a held key: Space acts once however often it repeats, "." repeats', async () => {
    const page = await load('', { passes: 5 });
    const cdp = await page.context().newCDPSession(page);
    // A key pressed, repeated by the keyboard `repeats` times, and let go.
    const hold = async (key, code, repeats) => {
      for (let n = 0; n <= repeats; n++) {
        await cdp.send('Input.dispatchKeyEvent', { type: 'keyDown', key, code, text: key, autoRepeat: n > 0 });
      }
      await cdp.send('Input.dispatchKeyEvent', { type: 'keyUp', key, code });
    };
    // Key-downs in even numbers and then odd: each a space would leave it
    // running, then held.
    await hold(' ', 'Space', 7);
    const held = await stillFacts(page);
    assert.equal(await holdLabel(page), 'Resume', 'the held space bar did not hold');
    await hold(' ', 'Space', 12);
    assert.notEqual((await facts(page, 3)).hash, held.hash, 'the held space bar did not resume');
    assert.equal(await holdLabel(page), 'Hold');

    const before = await page.evaluate(() => canvasFacts.speed(20));
    await hold('.', 'Period', 9);
    await waitForPasses(page, (await passesShown(page)) + 2);
    const faster = await page.evaluate(() => canvasFacts.speed(20)) / before;
    assert.ok(Math.abs(faster / 1.05 ** 10 - 1) < 0.03, `"." held for 10 key-downs: ${faster} times as fast`);
  });

  test('with the frame rate unlimited the figure keeps the pace of 60 passes a second', async () => {
    const fast = await launch(['--disable-gpu-vsync', '--disable-frame-rate-limit']);
    try {
      const page = await open(fast, `${server.origin}/`, log, { passes: 5 });
      // A speck that changes at every frame: Chromium, unlimited, makes frames
      // as fast as it can only where something changes.
      await page.evaluate(() => {
        const speck = document.body.appendChild(document.createElement('div'));
        speck.style.cssText = 'position: fixed; left: 0; top: 0; width: 1px; height: 1px';
        const flip = n => (speck.style.background = n % 2 ? 'black' : 'white', requestAnimationFrame(() => flip(n + 1)));
        flip(0);
      });
      const pace = await page.evaluate(() => canvasFacts.pace(3000));
      const turn = pace.turned / (60 * 15 * STEP1);
      // Frames well beyond 60 a second, else this tests nothing.
      assert.ok(pace.frames > 2 * pace.passes, `${pace.frames} frames a second: not faster than the pace`);
      assert.ok(turn > 0.7 && turn < 1.15, `${pace.passes} passes a second turn the figure ${turn} times as fast as 60`);
    } finally {
      await fast.close();
    }
  });

  test('laptop windows 1280×609 and 1366×657: the picture fits, the pointer steers at the size shown, ' +
       'a resize keeps the trail', async () => {
    const page = await load('', { passes: 5, context: { viewport: { width: 1280, height: 609 }, deviceScaleFactor: 1.25 } });
    await checkFits(page, '1280×609');
    assert.equal(await page.evaluate(() => canvas.width === Math.round(canvas.getBoundingClientRect().width * 1.25)),
                 true, 'the backing store is not the shown size at the density');
    const below = await pagePoint(page, 0, 50);
    await page.mouse.move(below.x, below.y, { steps: 4 });
    const trail = await checkSteered(page, 0, 12);
    const sampling = () => page.evaluate(() => getComputedStyle(canvas).imageRendering);
    assert.equal(await sampling(), 'pixelated', 'at its own size the picture is not taken pixel for pixel');
    await page.setViewportSize({ width: 1366, height: 657 });
    await checkFits(page, '1366×657');
    // The page learns of the new size at its next frame.
    await page.waitForFunction(() => getComputedStyle(canvas).imageRendering === 'auto', null, { timeout: 2000 })
      .catch(() => assert.fail('the picture shown scaled is not smoothed'));
    assert.equal((await facts(page)).hash, trail.hash, 'the resize changed the trail');
    const left = await pagePoint(page, -50, 0);
    await page.mouse.move(left.x, left.y, { steps: 4 });
    await checkSteered(page, -12, 0);
  });

  test('a phone, upright and on its side: the picture fits, a drag steers, a button resumes, a tap on the ' +
       'eccentricity\'s control changes it, a double-tap ends', async () => {
    const page = await load('', { passes: 5, context: PHONE });
    await checkFits(page, 'upright');
    const [from, to] = [await pagePoint(page, -40, -40), await pagePoint(page, 50, 0)];
    await touch(page, Array.from({ length: 9 }, (_, i) => ({ x: from.x + (to.x - from.x) * i / 8,
                                                            y: from.y + (to.y - from.y) * i / 8 })));
    const steered = await checkSteered(page, 12, 0);
    assert.equal(await passesShown(page), steered.passes, 'the page scrolled or zoomed instead of steering');
    assert.equal(await holdLabel(page), 'Resume');
    await page.tap('#hold');
    assert.notEqual((await facts(page, 3)).hash, steered.hash, 'the button did not resume');
    assert.equal(await holdLabel(page), 'Hold');
    const track = await page.locator('#eccentricity').boundingBox();
    await touch(page, [{ x: track.x + 1, y: track.y + track.height / 2 }]);
    await page.tap('#hold');
    await checkEccentricity(page, 4, 'a tap at the control\'s start');

    await page.setViewportSize({ width: 844, height: 390 });
    await checkFits(page, 'on its side');
    const point = await pagePoint(page, 0, -80);
    await touch(page, [point]);
    await touch(page, [point]);
    await checkEnded(page, 'a double-tap');
  });

  test('reduced motion: held after the first frame, the hold button says how to start; a double-click ends',
       async () => {
    const page = await load('', { passes: 4, context: { reducedMotion: 'reduce' } });
    const held = await stillFacts(page);
    assert.ok(held.figureRed > 1000 && held.passes < 8, `${held.figureRed} red pixels after ${held.passes} passes`);
    assert.equal(await holdLabel(page), 'Start');
    await page.click('#hold');
    assert.notEqual((await facts(page, 3)).hash, held.hash, 'the button did not start it');
    assert.equal(await holdLabel(page), 'Hold');
    const point = await pagePoint(page, 0, -80);
    await page.mouse.dblclick(point.x, point.y);
    await checkEnded(page, 'a double-click');
  });

  test('once opened, the page reloads without a network, and it can be installed', async () => {
    const browser = await launchWithProfile(await mkdtemp(join(tmpdir(), 'rotary-profile-')));
    try {
      const page = await visit(browser.pages()[0] ?? await browser.newPage(), `${server.origin}/`, log, { passes: 3 });
      await page.evaluate(() => navigator.serviceWorker.ready);
      const cdp = await browser.newCDPSession(page);
      assert.deepEqual((await cdp.send('Page.getInstallabilityErrors')).installabilityErrors, []);
      await browser.setOffline(true);
      await page.reload();
      await waitForPasses(page, 5);
      const shown = await facts(page);
      assert.ok(shown.figureRed > 1000, `offline: ${shown.figureRed} red pixels`);
    } finally {
      await browser.close();
    }
  });

  test('a failed load says what failed and what to try; without JavaScript the page says it needs it', async () => {
    const missing = { url: '**/rotary-envelope.wasm', handler: route => route.fulfill({ status: 404 }) };
    const page = await load('', { passes: 0, route: missing });
    await page.locator('#failure').getByText(/rotary-envelope\.wasm.*reload/s).waitFor();
    assert.equal(await page.locator('#controls button:enabled').count(), 0, 'the buttons still look usable');
    const problems = log.problems.splice(0);
    assert.ok(problems.length > 0 && problems.every(p => /404|wasm|Aborted|ArrayBuffer/.test(p)), problems.join('\n'));

    const noScript = await load('', { passes: 0, context: { javaScriptEnabled: false } });
    assert.match(await noScript.locator('#panel').innerText(), /needs JavaScript/);
  });

  test('nothing is fetched from anywhere but the server', () => {
    assert.ok(log.requests.length > 0);
    assert.deepEqual(log.requests.filter(url => !url.startsWith(`${server.origin}/`)), []);
  });
});
