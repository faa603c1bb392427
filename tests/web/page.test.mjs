// The page in headless Chromium: real key presses, pointer moves and
// double-clicks, judged by the canvas's pixels.
import assert from 'node:assert/strict';
import { after, before, describe, test } from 'node:test';
import { facts, launch, open, pagePoint, passesShown, serve, waitForPasses } from './page.mjs';

const CAPTION = ' '.repeat(33) + 'Dusmar Rotary Envelope etc' + ' '.repeat(32) + 'Use:  SpaceBar and Mouse' +
                ' '.repeat(24) + 'ESC or DoubleClick to Quit';
// FNV-1a of the canvas after 70 passes without input at density 1: the same
// value as the desktop's canvas.
const GOLDEN_70_PASSES = 0xb0417b48;
const STEP1 = 2 * Math.PI / 1000;  // radians; the start-up speed is 15 steps a pass
const SPEED_PASSES = 60;           // passes a speed is measured over
const SPEED_TOLERANCE = 0.03;      // relative

describe('the page', () => {
  let server, browser, background;
  const log = { requests: [], errors: [] };
  const load = (query = '', options = {}) => open(browser, `${server.origin}/${query}`, log, options);

  before(async () => {
    [server, browser] = await Promise.all([serve(), launch()]);
    const page = await load('?passes=1');  // ends before anything is drawn
    background = await facts(page);
    await page.context().close();
  });
  after(async () => {
    await browser?.close();
    server?.stop();
  });

  async function checkEnded(page, how) {
    await page.locator('#ended').waitFor({ state: 'visible' });
    assert.match(await page.locator('#ended').innerText(), /ended.*Reload/s, how);
    const shown = await passesShown(page);
    const ended = await facts(page);
    for (let i = 0; i < 10; i++) await page.evaluate(() => window.canvasFacts.nextFrame());
    assert.equal(await passesShown(page), shown, `${how}: the loop kept running`);
    assert.equal(ended.hash, background.hash, `${how}: the canvas does not show the background picture`);
  }

  test('title and canvas size at device pixel ratios 1 and 2', async () => {
    for (const ratio of [1, 2]) {
      const page = await load('', { deviceScaleFactor: ratio });
      assert.equal(await page.title(), CAPTION.replace(/ +/g, ' ').trim());
      const size = await page.evaluate(() => {
        const canvas = document.getElementById('canvas');
        const { width, height } = canvas.getBoundingClientRect();
        return { width, height, pixels: [canvas.width, canvas.height], focused: document.activeElement === canvas };
      });
      assert.deepEqual(size, { width: 975, height: 741, pixels: [975 * ratio, 741 * ratio], focused: true });
      await page.context().close();
    }
  });

  test('70 passes: red figure, centre circle, blue circle, trail, golden hash', async () => {
    const page = await load('?passes=70', { passes: 70 });
    const shown = await facts(page);
    assert.equal(shown.passes, 70);
    assert.ok(shown.figureRed > 1000, `${shown.figureRed} red pixels of the figure`);
    assert.ok(shown.centre && Math.abs(shown.centre.width - 2 * 24 * 4.0424) < 3, JSON.stringify(shown.centre));
    assert.ok(shown.blue.nearest > 35 && shown.blue.farthest < 37 && shown.blue.sectors === 36,
              `blue circle: ${JSON.stringify(shown.blue)}`);
    assert.ok(shown.black > background.black + 20000, `${shown.black} black pixels, ${background.black} before`);
    assert.equal(shown.hash, GOLDEN_70_PASSES, `hash 0x${shown.hash.toString(16)}`);
    await page.context().close();
  });

  test('space holds and resumes, the pointer steers, focus returns on click, Escape ends', async () => {
    const page = await load('', { viewport: { width: 1000, height: 500 }, passes: 5 });
    const scrolled = () => page.evaluate(() => window.scrollY);
    const scroll = await scrolled();
    await page.keyboard.press('Space');
    const held = await facts(page, 2);
    assert.equal((await facts(page, 10)).hash, held.hash, 'the held canvas changed');
    assert.equal(await scrolled(), scroll, 'the space bar scrolled the page');
    await page.keyboard.press('Space');
    assert.notEqual((await facts(page, 3)).hash, held.hash, 'the space bar did not resume');

    // Right of the origin on its row: the centre goes to user (12, 0), and stays.
    const right = await pagePoint(page, 50, 0);
    await page.mouse.move(right.x, right.y, { steps: 8 });
    const steered = await facts(page, 2);
    const expected = { x: (12 + 117) * 4.04242, y: 100 * 4.04242 };
    assert.ok(Math.abs(steered.centre.x - expected.x) <= 1.5 && Math.abs(steered.centre.y - expected.y) <= 1.5,
              `centre circle at ${JSON.stringify(steered.centre)}, expected about ${JSON.stringify(expected)}`);
    assert.equal((await facts(page, 10)).hash, steered.hash, 'after the pointer move the canvas kept changing');

    // Keys go elsewhere once the canvas loses the focus, and come back with a click.
    await page.click('ul');
    await page.keyboard.press('Space');
    assert.equal((await facts(page, 5)).hash, steered.hash, 'a key reached the canvas without the focus');
    await page.click('canvas', { position: { x: 10, y: 10 } });
    const clicked = await facts(page, 3);
    await page.keyboard.press('Space');
    assert.notEqual((await facts(page, 3)).hash, clicked.hash, 'the space bar did not resume after a click');

    await page.keyboard.press('Escape');
    await checkEnded(page, 'Escape');
    await page.context().close();
  });

  test('"," "." and "/" change the speed', async () => {
    const page = await load('', { passes: 5 });
    const speed = async (keys, expected) => {
      for (const key of keys) await page.keyboard.press(key);
      await waitForPasses(page, (await passesShown(page)) + 2);
      const measured = await page.evaluate(n => window.canvasFacts.speed(n), SPEED_PASSES);
      assert.ok(Math.abs(measured / expected - 1) < SPEED_TOLERANCE,
                `after ${keys.join('') || 'start-up'}: ${measured / STEP1} steps a pass, expected ${expected / STEP1}`);
    };
    await speed([], 15 * STEP1);
    await speed(['Slash'], 5 * STEP1);
    await speed(Array(10).fill('Period'), 5 * STEP1 * 1.05 ** 10);
    await speed(Array(10).fill('Comma'), 5 * STEP1 * 1.05 ** 10 * 0.95 ** 10);
    await page.context().close();
  });

  test('a double-click ends it', async () => {
    const page = await load('', { passes: 5 });
    const point = await pagePoint(page, 0, -80);
    await page.mouse.dblclick(point.x, point.y);
    await checkEnded(page, 'a double-click');
    await page.context().close();
  });

  test('nothing is fetched from anywhere but the server, and nothing fails', () => {
    assert.ok(log.requests.length > 0);
    assert.deepEqual(log.requests.filter(url => !url.startsWith(`${server.origin}/`)), []);
    assert.deepEqual(log.errors, []);
  });
});
