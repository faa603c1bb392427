// Runs in the page (added before the page's own scripts): facts about the
// pixels of the page's canvas, as the tests judge them. Drawing is opaque and
// aliased, so colours are exact.
window.canvasFacts = (() => {
  // User coordinates: the left edge is x = -117, the top edge y = -100; a unit
  // is 60.636337 (x) and 60.636314 (y) twips at 15 twips a pixel at density 1.
  const UNIT_X = 60.636337 / 15, UNIT_Y = 60.636314 / 15;
  const CENTRE_TRAVEL = 12, CENTRE_RADIUS = 24, ORIGIN_RADIUS = 36;
  // The figure's curve keeps more than 60 units from its centre, so red
  // pixels this near the origin belong to the centre circle alone.
  const CENTRE_CIRCLE_REACH = CENTRE_TRAVEL + CENTRE_RADIUS + 8;

  function read() {
    const canvas = document.getElementById('canvas');
    const { width, height } = canvas;
    const scale = width / 975;
    return {
      width, height, scale,
      data: canvas.getContext('2d').getImageData(0, 0, width, height).data,
      origin: [117 * UNIT_X * scale, 100 * UNIT_Y * scale],
      passes: window.Module?.passesShown ?? 0,
    };
  }
  const is = (data, i, r, g, b) => data[i] === r && data[i + 1] === g && data[i + 2] === b;
  const RED = [255, 0, 0], BLUE = [0, 0, 255], BLACK = [0, 0, 0];

  // Middle and size of the red pixels' bounding box near the origin.
  function centreCircle(canvas = read()) {
    const { width, height, data, origin: [ox, oy], scale } = canvas;
    const reach = CENTRE_CIRCLE_REACH * UNIT_X * scale;
    let left = Infinity, right = -Infinity, top = Infinity, bottom = -Infinity;
    for (let y = Math.max(0, Math.floor(oy - reach)); y < Math.min(height, oy + reach); y++) {
      for (let x = Math.max(0, Math.floor(ox - reach)); x < Math.min(width, ox + reach); x++) {
        if (Math.hypot(x - ox, y - oy) < reach && is(data, (y * width + x) * 4, ...RED)) {
          left = Math.min(left, x); right = Math.max(right, x);
          top = Math.min(top, y); bottom = Math.max(bottom, y);
        }
      }
    }
    if (left > right) return null;
    return { x: (left + right) / 2, y: (top + bottom) / 2, width: right - left + 1, height: bottom - top + 1 };
  }

  // The centre circle's centre as the figure's angle: the centre is at
  // (12 sin a, 12 cos a) user units from the origin.
  function angle(canvas = read()) {
    const circle = centreCircle(canvas);
    if (!circle) return null;
    return Math.atan2((circle.x - canvas.origin[0]) / UNIT_X, (circle.y - canvas.origin[1]) / UNIT_Y);
  }

  function summary() {
    const canvas = read();
    const { width, height, data, origin: [ox, oy], scale } = canvas;
    // FNV-1a, 32 bits, over red, green and blue of every pixel, row by row.
    let hash = 2166136261;
    let black = 0, figureRed = 0;
    const blue = { count: 0, nearest: Infinity, farthest: 0, sectors: new Set() };
    for (let i = 0; i < data.length; i += 4) {
      hash = Math.imul(hash ^ data[i], 16777619);
      hash = Math.imul(hash ^ data[i + 1], 16777619);
      hash = Math.imul(hash ^ data[i + 2], 16777619);
      const x = (i / 4) % width, y = Math.floor(i / 4 / width);
      const distance = Math.hypot(x - ox, y - oy) / (UNIT_X * scale);
      if (is(data, i, ...BLACK)) black++;
      else if (is(data, i, ...RED) && distance > CENTRE_CIRCLE_REACH) figureRed++;
      else if (is(data, i, ...BLUE)) {
        blue.count++;
        blue.nearest = Math.min(blue.nearest, distance);
        blue.farthest = Math.max(blue.farthest, distance);
        blue.sectors.add(Math.floor((Math.atan2(y - oy, x - ox) + Math.PI) / (2 * Math.PI) * 36) % 36);
      }
    }
    return {
      passes: canvas.passes, width, height, hash: hash >>> 0, black, figureRed,
      blue: { ...blue, sectors: blue.sectors.size }, centre: centreCircle(canvas),
    };
  }

  const nextFrame = () => new Promise(resolve => requestAnimationFrame(resolve));

  // Radians a pass, from the centre circle's angle over `passes` passes, read
  // at every pass shown so that no step between two reads reaches a half turn.
  async function speed(passes) {
    let last = read(), lastAngle = angle(last), turned = 0;
    const first = last.passes;
    while (last.passes < first + passes) {
      await nextFrame();
      const now = read();
      if (now.passes === last.passes) continue;
      const a = angle(now);
      turned += Math.atan2(Math.sin(a - lastAngle), Math.cos(a - lastAngle));
      last = now, lastAngle = a;
    }
    return turned / (last.passes - first);
  }

  return { summary, centreCircle, speed, nextFrame, UNIT_X, UNIT_Y, CENTRE_TRAVEL, ORIGIN_RADIUS };
})();
