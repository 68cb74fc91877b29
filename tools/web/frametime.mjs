// Plays the web page in one browser engine at a window size and pixel density, and reports how
// long the page took to show its first picture and the time between the frames it shows, while
// the bird waits and during throws: the mean and the 99th percentile over the given seconds each
// (10 by default), and the longest frame when the first key starts the page's sound. A frame is
// shown when the page draws the game's screen onto its canvas.
//
//   node tools/web/frametime.mjs ENGINE WIDTHxHEIGHT [DENSITY] [SECONDS] [SITE]
//
// ENGINE is chromium, firefox or webkit (which sets no density). It serves SITE
// (build-web/site by default; build it first with `sh tools/web.sh --build-only`, then
// `npm ci --prefix tools/web`) on a free port of 127.0.0.1.
import path from 'node:path';
import { launch, serve, sleep } from '../../tests/web/engines.mjs';

const root = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../..');
const [name, size = '1920x1080', density = '1', seconds = '10', site = path.join(root, 'build-web/site')] =
  process.argv.slice(2);
const [width, height] = size.split('x').map(Number);
const server = await serve(site), engine = await launch(name);
setTimeout(() => { console.log('gave up after 120 s'); process.exit(1); }, 120000).unref();
try {
  const page = await engine.open(server.url(), [width, height, Number(density)]);
  // The promo and the title take 6 s; then the bird waits.
  await sleep(8000);
  const first = await page.run(() => seen.presents[0]);
  const pace = async (what, play) => {
    const from = await page.run(() => performance.now());
    await play();
    const shown = await page.run((from) => seen.presents.filter((t) => t >= from), from);
    const gaps = shown.slice(1).map((t, i) => t - shown[i]).sort((a, b) => a - b);
    if (gaps.length < 2) throw new Error(`no frames were shown ${what}`);
    const mean = gaps.reduce((a, b) => a + b, 0) / gaps.length;
    const p99 = gaps[Math.min(gaps.length - 1, Math.floor(gaps.length * 0.99))];
    return `${what}: ${gaps.length} frames, mean ${mean.toFixed(2)} ms, 99th percentile ${p99.toFixed(2)} ms`;
  };
  const waiting = await pace('while the bird waits', () => sleep(Number(seconds) * 1000));
  // The first key starts the page's sound, which holds some engines up once (WebKit's for about a
  // tenth of a second): a key the game leaves alone, before the throws and apart from them.
  const from = await page.run(() => performance.now());
  await page.press('a').then(() => sleep(1000));
  const started = await page.run((from) => seen.presents.filter((t) => t >= from)
    .reduce((most, t, i, all) => Math.max(most, i ? t - all[i - 1] : 0), 0), from);
  // Throws: Space to dive, again to strike, again once the sign is down.
  const throwing = await pace('during throws', async () => {
    for (const end = Date.now() + Number(seconds) * 1000; Date.now() < end;) {
      for (const wait of [630, 8500, 1500]) await page.press(' ').then(() => sleep(wait));
    }
  });
  console.log(`${name}, ${size} at ${density}x: first picture ${first.toFixed(0)} ms after opening;\n  ${waiting}\n` +
    `  the first key, which starts the sound: the longest frame ${started.toFixed(2)} ms\n  ${throwing}`);
} finally {
  await Promise.race([engine.close(), sleep(5000)]);
  server.close();
}
process.exit(0);
