// Runs in the page, before its own scripts (the test server puts it at the
// top of every page it serves): the page's own reports of errors and
// warnings, which a driver without console events reads from here, and
// facts about the pixels of the page's canvas.
window.pageProblems = [];
for (const kind of ['error', 'warn']) {
  const report = console[kind].bind(console);
  console[kind] = (...parts) => {
    window.pageProblems.push(parts.join(' '));
    report(...parts);
  };
}
addEventListener('error', event => window.pageProblems.push(String(event.message)));
addEventListener('unhandledrejection', event => window.pageProblems.push(String(event.reason)));

// Drawing is opaque and aliased, so colours are exact. The user space's
// facts come from the program's sources (page.mjs puts them in
// window.programFacts).
window.canvasFacts = (() => {
  const space = window.programFacts.user_space;
  const UNIT_X = space.unit_x_twips / space.twips_per_pixel, UNIT_Y = space.unit_y_twips / space.twips_per_pixel;
  // The position in a picture `width` pixels wide of user point (x, y).
  const toPixel = (x, y, width) => {
    const scale = width / space.client_width;
    return { x: (x - space.left) * UNIT_X * scale, y: (y - space.top) * UNIT_Y * scale };
  };
  // The figure's curve keeps more than 60 units from its centre, so red within
  // this many units of the origin is the centre circle's (radius 24, centre 12 off).
  const CENTRE_CIRCLE_REACH = 44;
  const RED = 0xff0000ff, BLUE = 0xffff0000, BLACK = 0xff000000;  // ImageData bytes as 32-bit words

  // Every pixel within `reach` user units of the origin along both axes, with
  // its user coordinates, after `visit(colour, x, y)`.
  function read(visit, reach = Infinity) {
    const canvas = document.getElementById('canvas');
    const scale = canvas.width / space.client_width, unitX = UNIT_X * scale, unitY = UNIT_Y * scale;
    const near = toPixel(-reach, -reach, canvas.width), far = toPixel(reach, reach, canvas.width);
    const left = Math.max(0, Math.floor(near.x)), top = Math.max(0, Math.floor(near.y));
    const width = Math.min(canvas.width, Math.ceil(far.x)) - left;
    const height = Math.min(canvas.height, Math.ceil(far.y)) - top;
    // Read through a copy made for reading, so the page's own canvas stays
    // as the page made it (and Chromium warns of no slow reads).
    const copy = new OffscreenCanvas(width, height).getContext('2d', { willReadFrequently: true });
    copy.drawImage(canvas, left, top, width, height, 0, 0, width, height);
    const bytes = copy.getImageData(0, 0, width, height).data;
    const words = new Uint32Array(bytes.buffer);
    for (let i = 0; i < words.length; i++) {
      visit(words[i], (left + i % width) / unitX + space.left, (top + Math.floor(i / width)) / unitY + space.top);
    }
    return { bytes, passes: window.Module?.passesShown ?? 0, width, height };
  }

  // Grows `box` (user units) around the centre circle's red pixels.
  function centre(colour, x, y, box) {
    if (colour === RED && Math.hypot(x, y) < CENTRE_CIRCLE_REACH) {
      box.left = Math.min(box.left, x), box.right = Math.max(box.right, x);
      box.top = Math.min(box.top, y), box.bottom = Math.max(box.bottom, y);
    }
  }
  const newBox = () => ({ left: Infinity, right: -Infinity, top: Infinity, bottom: -Infinity });
  // The box's middle and width, or null when empty.
  const middle = box => box.left > box.right ? null : { x: (box.left + box.right) / 2, y: (box.top + box.bottom) / 2,
                                                         width: box.right - box.left };

  function summary() {
    const box = newBox(), blue = { count: 0, nearest: Infinity, farthest: 0 };
    let black = 0, figureRed = 0;
    const canvas = read((colour, x, y) => {
      const distance = Math.hypot(x, y);
      centre(colour, x, y, box);
      if (colour === BLACK) black++;
      if (colour === RED && distance > CENTRE_CIRCLE_REACH) figureRed++;
      if (colour === BLUE) {
        blue.count++, blue.nearest = Math.min(blue.nearest, distance), blue.farthest = Math.max(blue.farthest, distance);
      }
    });
    // FNV-1a, 32 bits, over red, green and blue of every pixel, row by row.
    let hash = 2166136261;
    for (let i = 0; i < canvas.bytes.length; i++) if (i % 4 !== 3) hash = Math.imul(hash ^ canvas.bytes[i], 16777619);
    const { passes, width, height } = canvas;
    return { passes, width, height, hash: hash >>> 0, black, figureRed, blue, centre: middle(box) };
  }

  // The centre circle's angle (its centre is at (12 sin a, 12 cos a)) read at
  // animation frames that show a new pass, a tenth of a second apart (a
  // small part of a turn; reading costs the page frames), until `enough`: the
  // radians it turned, and the passes, frames and milliseconds that took.
  async function follow(enough) {
    const angle = () => {
      const box = newBox(), canvas = read((colour, x, y) => centre(colour, x, y, box), CENTRE_CIRCLE_REACH);
      const c = middle(box);
      return { passes: canvas.passes, angle: Math.atan2(c.x, c.y) };
    };
    const first = angle(), start = performance.now();
    const run = { turned: 0, passes: 0, frames: 0, ms: 0 };
    for (let last = first, read = start; !enough(run);) {
      await new Promise(resolve => requestAnimationFrame(resolve));
      Object.assign(run, { frames: run.frames + 1, ms: performance.now() - start });
      if (window.Module.passesShown === last.passes || performance.now() - read < 100) continue;
      read = performance.now();
      const now = angle();
      run.turned += Math.atan2(Math.sin(now.angle - last.angle), Math.cos(now.angle - last.angle));
      run.passes = now.passes - first.passes;
      last = now;
    }
    return run;
  }

  // Radians a pass over `passes` passes.
  async function speed(passes) {
    const run = await follow(run => run.passes >= passes);
    return run.turned / run.passes;
  }

  // Radians, passes and frames a second over `ms` milliseconds.
  async function pace(ms) {
    const run = await follow(run => run.ms >= ms);
    const seconds = run.ms / 1000;
    return { turned: run.turned / seconds, passes: run.passes / seconds, frames: run.frames / seconds };
  }

  return { summary, speed, pace, toPixel };
})();

// Animation frames can be held back (frameGate.hold()) and let through again
// (frameGate.release()), so that a test can act between two given passes.
window.frameGate = (() => {
  const request = window.requestAnimationFrame.bind(window);
  let waiting = null;
  window.requestAnimationFrame = callback => {
    if (!waiting) return request(callback);
    waiting.push(callback);
    return 0;
  };
  return {
    hold() { waiting = waiting ?? []; },
    release() {
      const callbacks = waiting ?? [];
      waiting = null;
      for (const callback of callbacks) request(callback);
    },
  };
})();
