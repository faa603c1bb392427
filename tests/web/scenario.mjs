// The page's end-to-end scenario, the same in every engine (drivers.mjs):
// real key presses, pointer moves, clicks and touches, judged by the
// canvas's pixels. Any error or warning a page reports fails the test that
// opened it. Each engine's test file runs it; what an engine cannot be
// given (a density, touch) it leaves out.
import assert from 'node:assert/strict';
import { cpSync, mkdtempSync, readdirSync, readFileSync, rmSync, utimesSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, afterEach, before, describe, test } from 'node:test';
import { facts, middleOf, NEXT_SITE, pagePoint, passesShown, PROGRAM, serve, SITE, siteFiles, stillFacts, waitFor,
         waitForPasses } from './page.mjs';

const TITLE = PROGRAM.caption.trim().replace(/ +/g, ' ');  // as a page's title shows it
const { client_width: WIDTH, client_height: HEIGHT } = PROGRAM.user_space;  // in CSS pixels, at density 1
// FNV-1a of the canvas after 70 passes without input at density 1: the desktop canvas's value.
export const GOLDEN_70_PASSES = 0xb0417b48;
export const STEP1 = 2 * Math.PI / 1000;  // radians; the start-up speed is 15 steps a pass
const PIXELS_PER_UNIT = PROGRAM.user_space.unit_x_twips / PROGRAM.user_space.twips_per_pixel;  // at density 1
const PHONE = { viewport: { width: 390, height: 844 }, ratio: 3, touch: true };
const AXE = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
// Words of the browser's or the compiler's, which the page's lines must not show.
const TECHNICAL = /wasm|WebAssembly\.|\.js\b|error|fetch|abort|undefined|magic/i;

// Runs the scenario in `driver`'s engine; `more(context)` adds tests of that
// engine's own, with the scenario's server, engine and page loader.
export function scenario(driver, more = () => {}) {
  describe(`the page in ${driver.name}`, () => {
    const context = { server: null, engine: null, background: null };
    let page;  // one page at a time: each runs its animation until closed
    const reported = [];  // problems of pages closed since the last check
    // Opens the page from `server` (the scenario's own unless given) once it
    // has shown `options.passes` passes (1 unless given).
    const load = context.load = async (query = '', options = {}, server = context.server) => {
      if (page) {
        reported.push(...await page.problems());
        await page.close();
      }
      page = await context.engine.open(`${server.origin}/${query}`, options);
      if ((options.passes ?? 1) > 0) await waitForPasses(page, options.passes ?? 1);
      return page;
    };
    const forget = context.forget = async () => void await page.problems();

    before(async () => {
      [context.server, context.engine] = await Promise.all([serve(), driver.launch()]);
      context.background = await facts(await load('?passes=1'));  // ends before anything is drawn
    });
    afterEach(async () => assert.deepEqual([...reported.splice(0), ...await page.problems()], [],
                                           'the page reported problems'));
    after(async () => {
      await page?.close();
      await context.engine?.close();
      await context.server?.stop();
    });

    const holdLabel = page => page.evaluate(() => document.querySelector('#hold span').textContent);
    const status = page => page.evaluate(() => document.getElementById('status').textContent);

    // The figure's centre within a pixel and a half of (x, y), user units.
    async function checkSteered(page, x, y) {
      const shown = await stillFacts(page);
      const scale = await page.evaluate(() => document.getElementById('canvas').width) / WIDTH;
      const tolerance = 1.5 / (PIXELS_PER_UNIT * scale);
      assert.ok(Math.abs(shown.centre.x - x) <= tolerance && Math.abs(shown.centre.y - y) <= tolerance,
                `centre circle at ${JSON.stringify(shown.centre)}, expected (${x}, ${y})`);
      return shown;
    }

    // Once the picture is still: the blue circle has radius 3e and the
    // eccentricity's control and its line show e.
    async function checkEccentricity(page, e, how) {
      const { blue } = await stillFacts(page);
      assert.ok(Math.abs(blue.nearest - 3 * e) < 0.5 && Math.abs(blue.farthest - 3 * e) < 0.5,
                `${how}: blue circle ${JSON.stringify(blue)}, expected radius ${3 * e}`);
      const [value, line] = await page.evaluate(() => [document.getElementById('eccentricity').value,
                                                       document.getElementById('shape').innerText]);
      assert.equal(value, String(e), how);
      assert.match(line, new RegExp(`^Eccentricity\\s+${e} \\(r/e ${+(75 / e).toFixed(2)}\\)`), how);
    }

    // The picture and the buttons show whole without scrolling, the picture
    // as large as the window allows: at its natural size or within 20 CSS
    // pixels of the window's width or height; the canvas is drawn at the
    // size it is shown.
    async function checkFits(page, how) {
      await drawnAtShownSize(page, how);
      const fit = await page.evaluate(WIDTH => {
        const inside = element => {
          const box = element.getBoundingClientRect();
          return box.left >= 0 && box.top >= 0 && box.right <= innerWidth && box.bottom <= innerHeight;
        };
        const root = document.documentElement, canvas = document.getElementById('canvas');
        const { width, height } = canvas.getBoundingClientRect();
        return { scrolls: root.scrollWidth > innerWidth || root.scrollHeight > innerHeight,
                 whole: [canvas, ...document.querySelectorAll('#controls button')].every(inside),
                 largest: width === WIDTH || innerWidth - width <= 20 || innerHeight - height <= 20,
                 buttons: [...document.querySelectorAll('#controls button')].every(b => b.offsetHeight >= 44) };
      }, WIDTH);
      assert.deepEqual(fit, { scrolls: false, whole: true, largest: true, buttons: true }, how);
    }

    // Waits until the canvas has the size it is shown at, in device pixels.
    const drawnAtShownSize = (page, how) => waitFor(page, () => {
      const canvas = document.getElementById('canvas');
      return canvas.width === Math.round(canvas.getBoundingClientRect().width * devicePixelRatio);
    }, null, { what: `the canvas drawn at its shown size (${how})` });

    // Ended: the line says so, the loop stopped, the controls are inert, the
    // button that starts again shows, and the canvas is cleared to
    // the background picture (the same one as before anything was drawn,
    // where the canvas has its size).
    async function checkEnded(page, how) {
      await waitFor(page, () => document.getElementById('status').textContent === 'The animation has ended.', null,
                    { what: `the ended line (${how})` });
      const ended = await facts(page);
      await new Promise(resolve => setTimeout(resolve, 300));
      assert.equal(await passesShown(page), ended.passes, `${how}: the loop kept running`);
      assert.ok(ended.figureRed === 0 && ended.centre === null && ended.blue.count === 0, `${how}: not cleared`);
      if (ended.width === context.background.width) {
        assert.equal(ended.hash, context.background.hash, `${how}: not the background picture`);
      }
      assert.deepEqual(await page.evaluate(() => [document.getElementById('again').hidden,
        [...document.querySelectorAll('#controls button')].every(button => button.disabled)]), [false, true]);
    }

    // axe-core's rules, all of them, on the page as it stands.
    async function checkAccessible(page, how) {
      const violations = await page.evaluate(async source => {
        if (!window.axe) (0, eval)(source);
        const { violations } = await axe.run(document);
        return violations.map(v => `${v.id}: ${v.nodes.map(node => node.target).join(', ')}`);
      }, AXE);
      assert.deepEqual(violations, [], how);
    }

    test('loading says so with the controls inert; then sharp at every density it is given, no ring round the ' +
         'picture until the keyboard brings the focus there', async () => {
      const release = context.server.hold(siteFiles().program);
      try {
        const loading = await load('', { passes: 0 });
        await waitFor(loading, () => document.getElementById('status').textContent.includes('Loading'), null,
                      { what: 'the loading line' });
        assert.ok(await loading.evaluate(() => [...document.querySelectorAll('#controls button')].every(b => b.disabled)),
                  'the controls act before the program runs');
      } finally {
        release();
      }
      for (const ratio of driver.can.ratio ? [1.25, 2] : [1]) {
        const page = await load('', { ratio, passes: 3 });
        assert.equal(await page.evaluate(() => document.title), TITLE);
        assert.deepEqual(await page.evaluate(() => {
          const canvas = document.getElementById('canvas');
          const { width, height } = canvas.getBoundingClientRect();
          return [width, Math.round(height), canvas.width, canvas.height, document.getElementById('status').textContent,
                  [...document.querySelectorAll('#controls button')].every(b => !b.disabled),
                  document.activeElement === canvas];
        }), [WIDTH, HEIGHT, Math.round(WIDTH * ratio), Math.round(HEIGHT * ratio), '', true, false]);
      }
      // A click on the picture focuses it without a ring; Tab from the page
      // brings the focus there with one.
      const ring = () => page.evaluate(() => {
        const canvas = document.getElementById('canvas');
        return [document.activeElement === canvas, canvas.matches(':focus-visible'),
                getComputedStyle(canvas).boxShadow !== 'none'];
      });
      const point = await pagePoint(page, 100, -80);
      await page.click(point.x, point.y);
      assert.deepEqual(await ring(), [true, false, false], 'after a click');
      await page.click(2, 2);  // the page's margin, before the picture
      await page.press('Tab');
      assert.deepEqual(await ring(), [true, true, true], 'after Tab');
    });

    test('70 passes: red figure, centre circle, blue circle, trail, golden hash; Start again runs it afresh; ' +
         'a new size draws the same picture anew', async () => {
      const page = await load('?passes=70', { passes: 70 });
      const shown = await facts(page);
      assert.equal(shown.passes, 70);
      assert.ok(shown.figureRed > 1000, `${shown.figureRed} red pixels of the figure`);
      assert.ok(Math.abs(shown.centre?.width - 2 * 24) < 1, `centre circle: ${JSON.stringify(shown.centre)}`);
      assert.ok(shown.blue.count > 800 && shown.blue.nearest > 35.5 && shown.blue.farthest < 36.5,
                `blue circle: ${JSON.stringify(shown.blue)}`);
      assert.ok(shown.black > context.background.black + 20000,
                `${shown.black} black pixels, ${context.background.black} before`);
      assert.equal(shown.hash, GOLDEN_70_PASSES, `hash 0x${shown.hash.toString(16)}`);

      await waitFor(page, () => document.activeElement.id === 'again', null, { what: 'the focus on Start again' });
      await page.press('Enter');
      await waitFor(page, () => document.getElementById('again').hidden, null, { what: 'a new run' });
      await waitFor(page, () => !document.getElementById('again').hidden, null,
                    { timeout: 90000, what: 'the new run ended' });
      assert.equal((await facts(page)).hash, GOLDEN_70_PASSES, 'the new run differs');

      const smaller = { width: 800, height: 700 };
      await page.setViewport(smaller.width, smaller.height);
      await drawnAtShownSize(page, '800×700');
      const redrawn = await facts(page);
      assert.ok(redrawn.width < WIDTH, `the canvas stayed ${redrawn.width} wide`);
      const fresh = await facts(await load('?passes=70', { passes: 70, viewport: smaller }));
      assert.deepEqual([redrawn.width, redrawn.hash], [fresh.width, fresh.hash], 'the trail drawn anew differs');
    });

    test('keys and mouse: space holds (no passes while held) and resumes, the pointer steers, keys work after a ' +
         'click anywhere, buttons act as the keys (a quick double-click on one does not end), Escape ends; ' +
         'axe finds nothing running or ended', async () => {
      const page = await load('', { passes: 5 });
      await page.press(' ');
      const held = await stillFacts(page);
      await new Promise(resolve => setTimeout(resolve, 200));
      assert.equal(await passesShown(page), held.passes, 'held, the loop kept asking for frames');
      assert.equal(await holdLabel(page), 'Resume');
      await page.press(' ');
      assert.notEqual((await facts(page, 3)).hash, held.hash, 'the space bar did not resume');
      assert.equal(await holdLabel(page), 'Hold');

      const right = await pagePoint(page, 50, 0);  // right of the origin, on its row
      await page.move(right.x, right.y, 8);
      const steered = await checkSteered(page, 12, 0);

      // A click in the middle of what `selector` finds.
      const clickOn = async selector => {
        const { x, y } = await middleOf(page, selector);
        await page.click(x, y);
      };
      await clickOn('#panel p');  // the focus leaves the picture
      await page.press(' ');
      assert.notEqual((await facts(page, 3)).hash, steered.hash, 'after a click beside the picture a key was lost');
      await clickOn('#hold');
      const byButton = await stillFacts(page);
      assert.equal(await holdLabel(page), 'Resume', 'the hold button did not hold');
      await page.press('.');  // acts as a key, not as the focused button
      await page.press(' ');
      assert.notEqual((await facts(page, 3)).hash, byButton.hash, 'after a button a key was lost');
      const slower = await middleOf(page, '[data-key=","]');
      await page.dblclick(slower.x, slower.y);
      await facts(page, 5);
      assert.equal(await status(page), '', 'a double-click on a button ended the run');

      await checkAccessible(page, 'running');
      await page.press('Escape');
      await checkEnded(page, 'Escape');
      assert.equal(await page.evaluate(() => document.activeElement.id), 'again', 'the keyboard cannot start it again');
      await checkAccessible(page, 'ended');
    });

    test('"]" and "[" stop at 20 and 4; the eccentricity\'s control follows them and changes it by keys and ' +
         'a click', async () => {
      const page = await load('', { passes: 5 });
      await page.press(' ');
      await page.press(']');
      await checkEccentricity(page, 13, '"]"');
      for (const [key, presses, e] of [[']', 9, 20], ['[', 18, 4]]) {
        for (let n = 0; n < presses; n++) await page.press(key);
        await checkEccentricity(page, e, `${presses} × ${key}`);
      }
      await page.evaluate(() => document.getElementById('eccentricity').focus());
      await page.press('ArrowRight');
      await page.press('ArrowRight');
      await checkEccentricity(page, 6, 'two right arrows on the control');
      const end = await page.evaluate(() => {
        const box = document.getElementById('eccentricity').getBoundingClientRect();
        return { x: box.right - 1, y: box.top + box.height / 2 };
      });
      await page.click(end.x, end.y);
      await checkEccentricity(page, 20, 'a click at the control\'s end');
      assert.equal(await holdLabel(page), 'Resume', 'a new eccentricity resumed the turning');
    });

    test('"," "." and "/" change the speed', async () => {
      const page = await load('', { passes: 5 });
      let expected = 15 * STEP1;
      for (const [keys, factor] of [[[], 1], [['/'], 1 / 3], [Array(10).fill('.'), 1.05 ** 10],
                                    [Array(10).fill(','), 0.95 ** 10]]) {
        for (const key of keys) await page.press(key);
        await waitForPasses(page, (await passesShown(page)) + 2);
        const measured = await page.evaluate(passes => canvasFacts.speed(passes), 60);
        expected *= factor;
        assert.ok(Math.abs(measured / expected - 1) < 0.03,
                  `after ${keys.join(' ') || 'start-up'}: ${measured / STEP1} steps a pass, expected ${expected / STEP1}`);
      }
    });

    test('laptop windows 1280×609 and 1366×657: the picture fits, the pointer steers at the size shown, ' +
         'a resize draws the picture anew with the trail', async () => {
      const ratio = driver.can.ratio ? 1.25 : 1;
      const page = await load('', { passes: 5, viewport: { width: 1280, height: 609 }, ratio });
      await checkFits(page, '1280×609');
      const below = await pagePoint(page, 0, 50);
      await page.move(below.x, below.y, 4);
      const trail = await checkSteered(page, 0, 12);
      await page.setViewport(1366, 657);
      await checkFits(page, '1366×657');
      const resized = await checkSteered(page, 0, 12);
      const share = (shown, canvas) => shown.black / (canvas.width * canvas.height);
      assert.ok(resized.width > trail.width && Math.abs(share(resized, resized) / share(trail, trail) - 1) < 0.15,
                `the trail was not drawn anew: ${trail.black} black pixels at ${trail.width}, ${resized.black} at ` +
                `${resized.width}`);
      const left = await pagePoint(page, -50, 0);
      await page.move(left.x, left.y, 4);
      await checkSteered(page, -12, 0);
    });

    if (driver.can.touch) test('a phone, upright and on its side: the picture fits, a drag steers, a button ' +
                               'resumes, a tap on the eccentricity\'s control changes it, a double-tap ends', async () => {
      const page = await load('', { passes: 5, ...PHONE });
      await checkFits(page, 'upright');
      const [from, to] = [await pagePoint(page, -40, -40), await pagePoint(page, 50, 0)];
      await page.touch(Array.from({ length: 9 }, (_, i) => ({ x: from.x + (to.x - from.x) * i / 8,
                                                               y: from.y + (to.y - from.y) * i / 8 })));
      const steered = await checkSteered(page, 12, 0);
      assert.equal(await passesShown(page), steered.passes, 'the page scrolled or zoomed instead of steering');
      assert.equal(await holdLabel(page), 'Resume');
      await page.touch([await middleOf(page, '#hold')]);
      assert.notEqual((await facts(page, 3)).hash, steered.hash, 'the button did not resume');
      assert.equal(await holdLabel(page), 'Hold');
      const start = await page.evaluate(() => {
        const box = document.getElementById('eccentricity').getBoundingClientRect();
        return { x: box.left + 1, y: box.top + box.height / 2 };
      });
      await page.touch([start]);
      await page.touch([await middleOf(page, '#hold')]);
      await checkEccentricity(page, 4, 'a tap at the control\'s start');

      await page.setViewport(844, 390);
      await checkFits(page, 'on its side');
      const point = await pagePoint(page, 0, -80);
      await page.touch([point]);
      await page.touch([point]);
      await checkEnded(page, 'a double-tap');
    });

    test('every failed load says what failed and what to try, in plain words, within seconds, with the ' +
         'controls inert', async () => {
      const { script, program } = siteFiles();
      const cases = [[script, 'drop'], [program, 'drop'], [program, 'missing'], [program, 'truncated'],
                     [program, readFileSync(join(SITE, 'index.html'))], [script, 'truncated'],
                     ['no WebAssembly', 'delete window.WebAssembly;']];
      for (const [file, how] of cases) {
        const what = `${file} ${Buffer.isBuffer(how) ? 'wrong' : how}`;
        if (file === 'no WebAssembly') context.server.script = how;
        else context.server.failing[file] = how;
        try {
          const page = await load('', { passes: 0 });
          const line = await waitFor(page, () => document.getElementById('failure').textContent, null,
                                     { timeout: 8000, what: `the failure line (${what})` });
          assert.match(line, file === 'no WebAssembly' ? /cannot run the animation.*Try/ : /could not be loaded.*reload/,
                       what);
          assert.doesNotMatch(line.replace('WebAssembly,', ''), TECHNICAL, what);
          assert.deepEqual(await page.evaluate(() => [document.getElementById('status').textContent,
            [...document.querySelectorAll('button')].every(b => b.disabled)]), ['', true], what);
          await forget();  // what the browser reported of the failure
        } finally {
          context.server.failing = {};
          context.server.script = '';
        }
      }
    });

    test('once opened, the page reloads without a network', async () => {
      const server = await serve();
      try {
        const page = await load('', { passes: 3 }, server);
        await page.evaluate(() => navigator.serviceWorker.ready.then(() => true));
        await server.stop();
        await page.reload();
        await waitForPasses(page, 5);
        const shown = await facts(page);
        assert.ok(shown.figureRed > 1000, `offline: ${shown.figureRed} red pixels`);
      } finally {
        await server.stop();
      }
    });

    test('a new release on the server: a reload runs one release whole, the new one by the second reload, ' +
         'whether the host sends only Last-Modified or Cache-Control: max-age=600 too', async () => {
      // A deployment as a host makes it: the new files in place of the old
      // all at once, each deployment's a second later than the last, as
      // Last-Modified tells whole seconds.
      const deployments = [];
      const first = Math.floor(Date.now() / 1000);
      const deploy = site => {
        const folder = mkdtempSync(join(tmpdir(), 'rotary-site-'));
        cpSync(site, folder, { recursive: true });
        const time = first + deployments.push(folder);
        for (const name of readdirSync(folder)) utimesSync(join(folder, name), time, time);
        return folder;
      };
      // What the page, its script and its program say they belong to, once
      // the program runs; a failure line in their place.
      const releases = page => waitFor(page, () => document.getElementById('failure').textContent ||
        window.Module?.programRelease && [Module.pageRelease, Module.scriptRelease, Module.programRelease],
                                       null, { what: 'the releases' });
      // Firefox ESR 153 reports an icon's load cut off when a new worker takes over during a reload; the
      // browser asks for the icon again, and a program file cut off would still fail the test.
      const iconCut = /‘[^’]*\/(icon\.svg|apple-touch-icon\.png)’\. A ServiceWorker intercepted the request and encountered/;
      const whole = async page => assert.deepEqual((await page.problems()).filter(text => !iconCut.test(text)), []);
      const [old, next] = [SITE, NEXT_SITE].map(site =>
        readFileSync(join(site, 'index.html'), 'utf8').match(/pageRelease: '([^']*)'/)[1]);
      assert.notEqual(old, next, 'the two builds are the same release');
      try {
        for (const maxAge of [null, 600]) {
          const server = await serve(deploy(SITE), { maxAge });
          try {
            const page = await load('', {}, server);
            assert.deepEqual(await releases(page), [old, old, old]);
            await page.evaluate(() => navigator.serviceWorker.ready.then(() => true));
            server.directory = deploy(NEXT_SITE);
            for (const reload of ['first', 'second']) {
              await page.reload();
              const seen = await releases(page);
              const expected = reload === 'first' ? [seen[0], seen[0], seen[0]] : [next, next, next];
              assert.ok([old, next].includes(seen[0]), `${reload} reload: ${seen}`);
              assert.deepEqual(seen, expected, `${reload} reload with max-age ${maxAge}: mixed releases`);
              await whole(page);
            }
            // Quick reloads, each before the last has run.
            server.directory = deploy(SITE);
            await page.reload();
            await page.reload();
            const seen = await releases(page);
            assert.deepEqual(seen, [seen[0], seen[0], seen[0]], `quick reloads with max-age ${maxAge}: mixed releases`);
            await whole(page);
          } finally {
            await server.stop();
          }
        }
      } finally {
        for (const folder of deployments) rmSync(folder, { recursive: true, force: true });
      }
    });

    more(context);
  });
}
