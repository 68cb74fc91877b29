// Plays the web page in Debian's Chromium, headless, at a window size and
// pixel density, and reports how long the page took to show its first
// picture and the time between the frames it shows while the bird waits:
// the mean and the 99th percentile over the given seconds (10 by default).
// A frame is shown when the page draws the game's screen onto its canvas.
//
//   node tools/web/frametime.mjs WIDTHxHEIGHT [DENSITY] [SECONDS] [SITE]
//
// It serves SITE (build-web/site by default; build it first with
// `sh tools/web.sh --build-only`) on a free port of 127.0.0.1.
import { createRequire } from 'module';
import { createServer } from 'http';
import { readFile } from 'fs/promises';
import { extname, join } from 'path';

const require = createRequire(import.meta.url);
const puppeteer = require('puppeteer-core');
const [size = '1920x1080', density = '1', seconds = '10', site = 'build-web/site'] =
  process.argv.slice(2);
const [width, height] = size.split('x').map(Number);
const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css',
                '.wasm': 'application/wasm', '.png': 'image/png' };

const server = createServer(async (request, response) => {
  const path = new URL(request.url, 'http://x').pathname.replace(/\/$/, '/index.html');
  try {
    const bytes = await readFile(join(site, path.replace(/\.\./g, '')));
    response.writeHead(200, { 'Content-Type': types[extname(path)] || 'application/octet-stream' });
    response.end(bytes);
  } catch {
    response.writeHead(404).end();
  }
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));

const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium', headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});
try {
  const page = await browser.newPage();
  await page.setViewport({ width, height, deviceScaleFactor: Number(density) });
  await page.evaluateOnNewDocument(() => {
    window.shownAt = [];
    const draw = CanvasRenderingContext2D.prototype.drawImage;
    CanvasRenderingContext2D.prototype.drawImage = function (...args) {
      if (this.canvas.id === 'canvas') window.shownAt.push(performance.now());
      return draw.apply(this, args);
    };
  });
  await page.goto(`http://127.0.0.1:${server.address().port}/`);
  // The promo and the title take 6 s; then the bird waits.
  await page.waitForFunction(() => window.shownAt.length > 0, { timeout: 15000 });
  const first = await page.evaluate(() => window.shownAt[0]);
  await new Promise((resolve) => setTimeout(resolve, 7000));
  const from = await page.evaluate(() => performance.now());
  await new Promise((resolve) => setTimeout(resolve, Number(seconds) * 1000));
  const shown = await page.evaluate((from) => window.shownAt.filter((t) => t >= from), from);
  const gaps = shown.slice(1).map((t, i) => t - shown[i]).sort((a, b) => a - b);
  if (gaps.length < 2) throw new Error('no frames were shown while the bird waited');
  const mean = gaps.reduce((a, b) => a + b, 0) / gaps.length;
  const p99 = gaps[Math.min(gaps.length - 1, Math.floor(gaps.length * 0.99))];
  console.log(`${size} at ${density}x: first picture ${first.toFixed(0)} ms after opening; ` +
              `${gaps.length} frames, mean ${mean.toFixed(2)} ms, 99th percentile ${p99.toFixed(2)} ms`);
} finally {
  await browser.close();
  server.close();
}
