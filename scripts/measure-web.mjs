// Measures the page in headless Chromium: time from navigation to the first
// frame with red in it, Chromium's processor use (all its processes) while the
// animation runs and while it is held, and the site's size. Asserts nothing.
//   scripts/build-web.sh && npm ci && node scripts/measure-web.mjs
import { readdirSync, readFileSync, statSync } from 'node:fs';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';
import { launch, serve, SITE } from '../tests/web/page.mjs';

const SAMPLE_MS = 4000;
const TICKS_PER_S = 100;  // clock ticks of /proc/PID/stat

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

const [server, browser] = await Promise.all([serve(), launch()]);
try {
  const page = await (await browser.newContext({ viewport: { width: 1100, height: 1000 } })).newPage();
  // Looks at one row through the origin every frame, from before the page's own scripts.
  await page.addInitScript(() => {
    const look = () => {
      const canvas = document.getElementById('canvas');
      const row = canvas?.getContext('2d').getImageData(0, Math.round(canvas.height * 0.545), canvas.width, 1).data;
      for (let i = 0; row && i < row.length; i += 4) {
        if (row[i] === 255 && row[i + 1] === 0 && row[i + 2] === 0) return (window.firstRedMs = performance.now());
      }
      requestAnimationFrame(look);
    };
    requestAnimationFrame(look);
  });
  await page.goto(`${server.origin}/`);
  const firstRed = await (await page.waitForFunction(() => window.firstRedMs, null, { polling: 100 })).jsonValue();
  await page.waitForTimeout(1000);
  const running = await percentOfOneCore(page);
  await page.keyboard.press('Space');
  const held = await percentOfOneCore(page);

  const files = readdirSync(SITE).sort();
  const bytes = files.map(name => readFileSync(join(SITE, name)));
  console.log(`first red frame: ${firstRed.toFixed(0)} ms after navigation`);
  console.log(`Chromium, all processes: ${running.toFixed(1)} % of one core running, ${held.toFixed(1)} % held`);
  for (const [i, name] of files.entries()) {
    console.log(`${name}: ${statSync(join(SITE, name)).size} bytes, ${gzipSync(bytes[i], { level: 9 }).length} gzipped`);
  }
  const total = bytes.reduce((sum, b) => sum + b.length, 0);
  const gzipped = bytes.reduce((sum, b) => sum + gzipSync(b, { level: 9 }).length, 0);
  console.log(`site: ${total} bytes, ${gzipped} gzipped`);
} finally {
  await browser.close();
  server.stop();
}
