// Measures the page in headless Chromium beside pages that show what the
// browser itself costs, each load in a fresh context, the kinds interleaved
// round by round, at device pixel ratios 1 and 2:
//   blank   an empty page: the browser's floor
//   square  a canvas of the program's size that changes one 32-pixel square
//           every animation frame: the floor of any canvas that changes
//   plain   the first red frame of the same figure drawn with Canvas 2D
//   ours    the program: navigation to its first red frame, then processor
//           use running, held (after the space bar) and behind another tab
//   before  the same for another build of the site, when its folder is given
//           (an earlier version, to compare with in the same run)
// Processor use is that of all Chromium's processes, in % of one core, over
// four seconds. Prints the medians, and the site's size. Asserts nothing.
//   scripts/build-web.sh && npm ci && node scripts/measure-web.mjs [ROUNDS [OTHER_SITE]]
import { mkdtempSync, readdirSync, readFileSync, rmSync, statSync, symlinkSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';
import { launchChromium } from '../tests/web/drivers.mjs';
import { serve, SITE } from '../tests/web/page.mjs';

const ROUNDS = Number(process.argv[2] ?? 5);
const OTHER_SITE = process.argv[3];
const SAMPLE_MS = 4000;
const SETTLE_MS = 1000;
const TICKS_PER_S = 100;  // clock ticks of /proc/PID/stat
const VIEWPORT = { width: 1100, height: 1000 };

// The comparison pages, beside the site's files.
const CANVAS_PAGE = body => `<!doctype html><meta charset="utf-8"><style>body{margin:8px}canvas{display:block;
  width:975px;height:741px}</style><canvas id="canvas"></canvas><script>
  const canvas = document.getElementById('canvas');
  canvas.width = Math.round(975 * devicePixelRatio), canvas.height = Math.round(741 * devicePixelRatio);
  const context = canvas.getContext('2d', { alpha: false });
  context.fillStyle = '#c0c0c0', context.fillRect(0, 0, canvas.width, canvas.height);
  ${body}</script>`;
const PAGES = {
  'blank.html': '<!doctype html><meta charset="utf-8"><title>blank</title>',
  'square.html': CANVAS_PAGE(`
  const square = new ImageData(32, 32);
  let frame = 0;
  (function step() {
    const shade = frame % 256;
    for (let i = 0; i < square.data.length; i += 4) square.data.set([shade, 0, 255 - shade, 255], i);
    context.putImageData(square, (frame * 32) % (canvas.width - 32), (Math.floor(frame * 32 / canvas.width) * 32) % (canvas.height - 32));
    frame++;
    requestAnimationFrame(step);
  })();`),
  // The housing curve at the program's first shown angle (three steps of
  // 15 thousandths of a turn), its centre circle and the origin's circle.
  'plain.html': CANVAS_PAGE(`
  const unit = 60.636337 / 15 * canvas.width / 975, px = x => (x + 117) * unit, py = y => (y + 100) * unit;
  const a = 3 * 15 * 2 * Math.PI / 1000, cx = 12 * Math.sin(a), cy = 12 * Math.cos(a);
  context.lineWidth = Math.max(1, Math.round(canvas.width / 975));
  context.strokeStyle = '#ff0000';
  context.beginPath();
  for (let t = 0; t <= 2 * Math.PI + 1e-9; t += 2 * Math.PI / 1000) {
    const phase = 3 * (t - a / 3);
    context.lineTo(px(cx + 12 * Math.cos(phase) + 75 * Math.cos(t)), py(cy + 12 * Math.sin(phase) + 75 * Math.sin(t)));
  }
  context.stroke();
  for (const [x, y, r, colour] of [[cx, cy, 24, '#ff0000'], [0, 0, 36, '#0000ff']]) {
    context.strokeStyle = colour, context.beginPath(), context.arc(px(x), py(y), r * unit, 0, 2 * Math.PI), context.stroke();
  }`),
};

// Processor seconds used so far by the browser this script started and every
// process under it.
function processorSeconds() {
  const stats = readdirSync('/proc').filter(name => /^\d+$/.test(name)).flatMap(pid => {
    try {
      const stat = readFileSync(`/proc/${pid}/stat`, 'utf8');
      const fields = stat.replace(/^.*\) /, '').split(' ');
      return [{ pid: Number(pid), name: stat.replace(/^.*\(|\).*$/gs, ''), parent: Number(fields[1]),
                ticks: Number(fields[11]) + Number(fields[12]) }];
    } catch {
      return [];  // ended meanwhile
    }
  });
  const tree = new Set(stats.filter(s => s.parent === process.pid && s.name.startsWith('chrom')).map(s => s.pid));
  for (let grown = true; grown;) {
    grown = false;
    for (const s of stats) if (!tree.has(s.pid) && tree.has(s.parent)) tree.add(s.pid), grown = true;
  }
  return stats.filter(s => tree.has(s.pid)).reduce((sum, s) => sum + s.ticks, 0) / TICKS_PER_S;
}

async function percentOfOneCore(page) {
  const start = processorSeconds();
  await page.waitForTimeout(SAMPLE_MS);
  return (processorSeconds() - start) / (SAMPLE_MS / 1000) * 100;
}

// Notes, from before the page's own scripts, the first animation frame whose
// canvas has red on the row through the origin. The row is read through a
// copy: asking the page's canvas for a context would create it before the
// page does, with other options (not opaque) than the page's.
function watchForRed() {
  const copy = new OffscreenCanvas(1, 1).getContext('2d', { willReadFrequently: true });
  const look = () => {
    const canvas = document.getElementById('canvas');
    let row = [];
    if (canvas?.width > 0) {
      if (copy.canvas.width !== canvas.width) copy.canvas.width = canvas.width;
      copy.drawImage(canvas, 0, Math.round(canvas.height * 0.545), canvas.width, 1, 0, 0, canvas.width, 1);
      row = copy.getImageData(0, 0, canvas.width, 1).data;
    }
    for (let i = 0; i < row.length; i += 4) {
      // At least half red over the grey: Canvas 2D's strokes are anti-aliased.
      if (row[i] >= 224 && row[i + 1] <= 96 && row[i + 2] <= 96) return (window.firstRedMs = performance.now());
    }
    requestAnimationFrame(look);
  };
  requestAnimationFrame(look);
}

const figures = {};
const note = (name, value) => (figures[name] ??= []).push(value);
const median = values => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

async function measure(browser, origin, kind, ratio) {
  const context = await browser.newContext({ viewport: VIEWPORT, deviceScaleFactor: ratio });
  try {
    const page = await context.newPage();
    const program = kind === 'ours' || kind === 'before';
    if (program || kind === 'plain') await page.addInitScript(watchForRed);
    await page.goto(`${origin}/${kind === 'ours' ? '' : kind === 'before' ? 'before/' : `${kind}.html`}`);
    if (program || kind === 'plain') {
      note(`${kind} first red ms @${ratio}`, await (await page.waitForFunction(() => window.firstRedMs)).jsonValue());
      if (kind === 'plain') return;
    }
    await page.waitForTimeout(SETTLE_MS);
    note(`${kind} running % @${ratio}`, await percentOfOneCore(page));
    if (!program) return;
    await page.keyboard.press('Space');
    await page.waitForTimeout(SETTLE_MS / 2);
    note(`${kind} held % @${ratio}`, await percentOfOneCore(page));
    await page.keyboard.press('Space');
    const other = await context.newPage();
    await other.bringToFront();
    await page.waitForTimeout(SETTLE_MS / 2);
    note(`${kind} behind another tab % @${ratio}`, await percentOfOneCore(page));
  } finally {
    await context.close();
  }
}

const directory = mkdtempSync(join(tmpdir(), 'rotary-measure-'));
for (const name of readdirSync(SITE)) symlinkSync(join(SITE, name), join(directory, name));
for (const [name, html] of Object.entries(PAGES)) writeFileSync(join(directory, name), html);
if (OTHER_SITE) symlinkSync(OTHER_SITE, join(directory, 'before'));
const [server, browser] = await Promise.all([serve(directory, { seconds: 3600, inPage: false }), launchChromium()]);
try {
  const kinds = ['blank', 'square', 'plain', 'ours', ...(OTHER_SITE ? ['before'] : [])];
  for (const ratio of [1, 2]) {
    for (let round = 0; round < ROUNDS; round++) {
      for (const kind of [...kinds.slice(round % kinds.length), ...kinds.slice(0, round % kinds.length)]) {
        await measure(browser, server.origin, kind, ratio);
      }
    }
  }
} finally {
  await browser.close();
  await server.stop();
  rmSync(directory, { recursive: true });
}

console.log(`medians of ${ROUNDS} rounds, load average ${readFileSync('/proc/loadavg', 'utf8').split(' ')[0]}:`);
for (const [name, values] of Object.entries(figures).sort()) {
  console.log(`${name.padEnd(36)} ${median(values).toFixed(1).padStart(7)}   (${values.map(v => v.toFixed(1)).join(' ')})`);
}
const files = readdirSync(SITE).sort();
const bytes = files.map(name => readFileSync(join(SITE, name)));
for (const [i, name] of files.entries()) {
  console.log(`${name}: ${statSync(join(SITE, name)).size} bytes, ${gzipSync(bytes[i], { level: 9 }).length} gzipped`);
}
const total = bytes.reduce((sum, b) => sum + b.length, 0);
const gzipped = bytes.reduce((sum, b) => sum + gzipSync(b, { level: 9 }).length, 0);
console.log(`site: ${total} bytes, ${gzipped} gzipped`);
