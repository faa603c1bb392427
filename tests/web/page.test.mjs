// The page in headless Chromium: real key presses, pointer moves and
// double-clicks, judged by the canvas's pixels.
import assert from 'node:assert/strict';
import { after, before, describe, test } from 'node:test';
import { facts, launch, open, pagePoint, passesShown, serve, waitForPasses } from './page.mjs';

const TITLE = 'Dusmar Rotary Envelope etc Use: SpaceBar and Mouse ESC or DoubleClick to Quit';  // spaces collapsed
// FNV-1a of the canvas after 70 passes without input at density 1: the desktop canvas's value.
const GOLDEN_70_PASSES = 0xb0417b48;
const STEP1 = 2 * Math.PI / 1000;  // radians; the start-up speed is 15 steps a pass
const PIXEL = 1 / 4.0424;          // user units

describe('the page', () => {
  let server, browser, background;
  const log = { requests: [], errors: [] };
  let page;  // one page at a time: each runs its animation until closed
  const load = async (query, options) => {
    await page?.context().close();
    return (page = await open(browser, `${server.origin}/${query}`, log, options));
  };

  before(async () => {
    [server, browser] = await Promise.all([serve(), launch()]);
    background = await facts(await load('?passes=1'));  // ends before anything is drawn
  });
  after(async () => {
    await browser?.close();
    server?.stop();
  });

  async function checkEnded(page, how) {
    await page.locator('#ended').waitFor();
    assert.match(await page.locator('#ended').innerText(), /ended.*Reload/s, how);
    const ended = await facts(page);
    await page.waitForTimeout(300);
    assert.equal(await passesShown(page), ended.passes, `${how}: the loop kept running`);
    assert.equal(ended.hash, background.hash, `${how}: the canvas does not show the background picture`);
  }

  test('title and canvas size at device pixel ratios 1 and 2', async () => {
    for (const ratio of [1, 2]) {
      const page = await load('', { deviceScaleFactor: ratio });
      assert.equal(await page.title(), TITLE);
      assert.deepEqual(await page.evaluate(() => {
        const canvas = document.getElementById('canvas');
        const { width, height } = canvas.getBoundingClientRect();
        return [width, height, canvas.width, canvas.height, document.activeElement === canvas];
      }), [975, 741, 975 * ratio, 741 * ratio, true]);
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

  test('space holds and resumes, the pointer steers, a click gives the focus back, Escape ends', async () => {
    const page = await load('', { viewport: { width: 1000, height: 500 }, passes: 5 });
    const scroll = () => page.evaluate(() => window.scrollY);
    const scrolled = await scroll();
    await page.keyboard.press('Space');
    const held = await facts(page, 2);
    assert.equal((await facts(page, 10)).hash, held.hash, 'the held canvas changed');
    assert.equal(await scroll(), scrolled, 'the space bar scrolled the page');
    await page.keyboard.press('Space');
    assert.notEqual((await facts(page, 3)).hash, held.hash, 'the space bar did not resume');

    const right = await pagePoint(page, 50, 0);  // right of the origin, on its row
    await page.mouse.move(right.x, right.y, { steps: 8 });
    const steered = await facts(page, 2);
    assert.ok(Math.abs(steered.centre.x - 12) <= 1.5 * PIXEL && Math.abs(steered.centre.y) <= 1.5 * PIXEL,
              `centre circle at ${JSON.stringify(steered.centre)}, expected (12, 0)`);
    assert.equal((await facts(page, 10)).hash, steered.hash, 'after the pointer move the canvas kept changing');

    await page.click('ul');
    await page.keyboard.press('Space');
    assert.equal((await facts(page, 5)).hash, steered.hash, 'a key reached the canvas without the focus');
    await page.click('canvas', { position: { x: 10, y: 10 } });
    const clicked = await facts(page, 3);
    await page.keyboard.press('Space');
    assert.notEqual((await facts(page, 3)).hash, clicked.hash, 'the space bar did not resume after a click');

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

  test('a double-click ends it', async () => {
    const page = await load('', { passes: 5 });
    const point = await pagePoint(page, 0, -80);
    await page.mouse.dblclick(point.x, point.y);
    await checkEnded(page, 'a double-click');
  });

  test('nothing is fetched from anywhere but the server, and nothing fails', () => {
    assert.ok(log.requests.length > 0);
    assert.deepEqual(log.requests.filter(url => !url.startsWith(`${server.origin}/`)), []);
    assert.deepEqual(log.errors, []);
  });
});
