// The page in Debian's Chromium, through playwright-core: the scenario, and
// what only Chromium's protocol and switches reach: keys held with the
// keyboard's repeats, an unlimited frame rate, a change of density after
// load, reduced motion, installing, the accessibility tree, the requests made
// and a page without JavaScript.
import assert from 'node:assert/strict';
import { mkdtemp } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { test } from 'node:test';
import { chromium, launchChromiumWithProfile } from './drivers.mjs';
import { facts, pagePoint, passesShown, stillFacts, waitFor, waitForPasses } from './page.mjs';
import { scenario, STEP1 } from './scenario.mjs';

const holdLabel = page => page.evaluate(() => document.querySelector('#hold span').textContent);

scenario(chromium, context => {
  test('a held key: Space acts once however often it repeats, "." repeats', async () => {
    const page = await context.load('', { passes: 5 });
    const cdp = await page.raw.context().newCDPSession(page.raw);
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
    const fast = await chromium.launch(['--disable-gpu-vsync', '--disable-frame-rate-limit']);
    try {
      const page = await fast.open(`${context.server.origin}/`);
      await waitForPasses(page, 5);
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
      // Frames enough beyond the passes that one pass a frame would turn it faster than the bound below; on
      // a loaded machine Chromium makes fewer than twice as many.
      assert.ok(pace.frames > 1.3 * pace.passes, `${pace.frames} frames a second: not faster than the pace`);
      assert.ok(turn > 0.7 && turn < 1.15, `${pace.passes} passes a second turn the figure ${turn} times as fast as 60`);
      assert.deepEqual(page.problems(), [], 'the page reported problems');
    } finally {
      await fast.close();
    }
  });

  test('a new density and size after load (a zoom, another screen) draws the picture anew at them', async () => {
    const page = await context.load('?passes=70', { passes: 70, ratio: 2 });
    const cdp = await page.raw.context().newCDPSession(page.raw);
    const zoomed = { width: 900, height: 800 };
    await cdp.send('Emulation.setDeviceMetricsOverride', { ...zoomed, deviceScaleFactor: 1.5, mobile: false });
    const redrawn = await waitFor(page, () => {
      const canvas = document.getElementById('canvas');
      return canvas.width === Math.round(canvas.getBoundingClientRect().width * 1.5) && canvasFacts.summary();
    }, null, { what: 'the canvas at the new density' });
    const fresh = await facts(await context.load('?passes=70', { passes: 70, ratio: 1.5, viewport: zoomed }));
    assert.deepEqual([redrawn.width, redrawn.hash], [fresh.width, fresh.hash]);
  });

  test('reduced motion: held after the first frame whatever came before it, the hold button says how to ' +
       'start; a double-click ends', async () => {
    for (const input of ['key', 'pointer']) {
      // The frames held back at pass 2, the input comes before the first
      // visible frame.
      context.server.script = 'frameGate.hold();';
      const page = await context.load('', { passes: 3, reducedMotion: true });
      context.server.script = '';
      if (input === 'key') {
        await page.press(' ');
      } else {
        const point = await pagePoint(page, 40, 40);
        await page.move(point.x, point.y, 2);
      }
      await page.evaluate(() => new Promise(resolve => setTimeout(resolve, 100)).then(() => frameGate.release()));
      const held = await stillFacts(page);
      assert.ok(held.figureRed > 1000 && held.passes < 10,
                `${input}: ${held.figureRed} red pixels after ${held.passes} passes`);
      assert.equal(await page.evaluate(() => document.querySelector('#hold span').textContent), 'Start', input);
    }
    const page = await context.load('', { passes: 4, reducedMotion: true });
    const held = await stillFacts(page);
    await page.raw.click('#hold');
    assert.notEqual((await facts(page, 3)).hash, held.hash, 'the button did not start it');
    const point = await pagePoint(page, 0, -80);
    await page.dblclick(point.x, point.y);
    await waitFor(page, () => document.getElementById('status').textContent.includes('ended'), null,
                  { what: 'the end' });
  });

  test('it can be installed, with PNG icons of 192 and 512 pixels, a maskable one and an apple-touch-icon; ' +
       'the accessibility tree names the picture and its lines; nothing is fetched from elsewhere', async () => {
    const browser = await launchChromiumWithProfile(await mkdtemp(join(tmpdir(), 'rotary-profile-')));
    try {
      const page = browser.pages()[0] ?? await browser.newPage();
      const requests = [];
      page.on('request', request => requests.push(request.url()));
      await page.goto(`${context.server.origin}/`);
      await waitForPasses({ evaluate: (fn, arg) => page.evaluate(fn, arg) }, 3);
      await page.evaluate(() => navigator.serviceWorker.ready);
      const cdp = await browser.newCDPSession(page);
      assert.deepEqual((await cdp.send('Page.getInstallabilityErrors')).installabilityErrors, []);
      const icons = await page.evaluate(async () => {
        const manifest = await (await fetch('manifest.json')).json();
        const pngs = [...manifest.icons.filter(icon => icon.type === 'image/png'),
                      { src: document.querySelector('link[rel=apple-touch-icon]').href, purpose: 'apple' }];
        return Promise.all(pngs.map(async icon => {
          const bitmap = await createImageBitmap(await (await fetch(icon.src)).blob());
          const context = new OffscreenCanvas(bitmap.width, bitmap.height).getContext('2d');
          context.drawImage(bitmap, 0, 0);
          return [icon.purpose, bitmap.width, icon.sizes ?? '', context.getImageData(0, 0, 1, 1).data[3]];
        }));
      });
      assert.deepEqual(icons, [['any', 192, '192x192', 0], ['any', 512, '512x512', 0],
                               ['maskable', 512, '512x512', 255], ['apple', 180, '', 255]]);
      assert.equal(typeof (await page.evaluate(() => fetch('manifest.json').then(r => r.json()))).id, 'string');

      const { nodes } = await cdp.send('Accessibility.getFullAXTree');
      const picture = nodes.find(node => node.role?.value === 'image');
      assert.equal(picture?.name?.value, 'Rotary envelope animation');
      assert.match(picture?.description?.value ?? '', /housing of a rotary engine/);
      const status = nodes.find(node => node.role?.value === 'status');
      assert.equal(status?.properties?.find(p => p.name === 'live')?.value?.value, 'polite', 'the status is not live');
      assert.ok(nodes.some(node => node.role?.value === 'heading' && node.name?.value === 'Rotary Envelope'));
      const slider = nodes.find(node => node.role?.value === 'slider');
      assert.deepEqual([slider?.name?.value, slider?.value?.value], ['Eccentricity', 12]);
      assert.deepEqual(requests.filter(url => !url.startsWith(`${context.server.origin}/`)), []);
    } finally {
      await browser.close();
    }
  });

  test('without JavaScript the controls are visibly unavailable and the page says it needs it', async () => {
    const page = await context.load('', { passes: 0, javaScript: false });
    assert.deepEqual(await page.raw.evaluate(() => [...document.querySelectorAll('#controls button')].map(button =>
      button.disabled && Number(getComputedStyle(button).opacity) < 0.6)), [true, true, true, true, true]);
    assert.match(await page.raw.locator('#panel').innerText(), /needs JavaScript/);
  });
});
