// Plays throws in the web page in one browser engine and reports how long after the key's release
// each throw's dive and swing are heard, whether every sound came out whole, and the frame pace
// meanwhile. A sound is heard when its first sample reaches the output of the page's sound, by the
// sound's own clock and the latency it states (the device's output latency, which the page cannot
// change, is reported beside it); a release is taken on the same clock, in the page.
//
//   node tools/web/soundlag.mjs ENGINE [WIDTHxHEIGHT] [THROWS] [SITE]
//
// ENGINE is chromium, firefox or webkit; 640x480, 5 throws and build-web/site by default (build it
// with `sh tools/web.sh --build-only`, then `npm ci --prefix tools/web`).
import path from 'node:path';
import { launch, serve, sleep } from '../../tests/web/engines.mjs';
import * as sounds from '../../tests/web/sounds.mjs';

const root = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../..');
const [name, size = '640x480', throws = '5', site = path.join(root, 'build-web/site')] = process.argv.slice(2);
const [width, height] = size.split('x').map(Number);
const known = sounds.load(path.join(root, 'assets'));
const stats = (values) => {
  const sorted = [...values].sort((a, b) => a - b), mean = sorted.reduce((a, b) => a + b, 0) / sorted.length;
  return { mean, max: sorted.at(-1), p99: sorted[Math.min(sorted.length - 1, Math.floor(sorted.length * 0.99))] };
};
const ms = (seconds) => (seconds * 1000).toFixed(1);

const server = await serve(site), engine = await launch(name);
setTimeout(() => { console.log('gave up after 300 s'); process.exit(1); }, 300000).unref();
try {
  const page = await engine.open(server.url(), [width, height, 1]);
  await sleep(9000);
  // A first key lets the page's sound play; the measures start once it has.
  await page.press('a');
  await sleep(2500);
  const from = await page.run(() => [performance.now(), Math.floor(Module.sound.currentTime * 22050)]);
  const lags = { dive: [], swing: [] };
  for (let n = 0; n < Number(throws); n++) {
    // Space once to dive, again to swing at the bird as it passes the club; Space again once it is
    // all over, and the next throw is ready. Lets go while all is quiet.
    for (const [what, wait] of [['dive', 630], ['swing', 8500], ['', 3000]]) {
      await page.key('down', ' ');
      await sleep(40);
      await page.key('up', ' ');
      if (what) lags[what].push(await page.run(() => seen.releases.at(-1)));
      await sleep(wait);
    }
  }
  const heard = sounds.read(known, await page.run((from) => seen.heard(from), from[1]));
  const info = await page.run(() => [Module.sound.sampleRate, Module.sound.baseLatency ?? 0, Module.sound.outputLatency ?? 0]);
  console.log(`${name} at ${size}: the sound at ${info[0]} Hz, base latency ${ms(info[1])} ms, output latency ${ms(info[2])} ms`);
  for (const [what, releases] of Object.entries(lags)) {
    const after = releases.map((release) => {
      const first = heard.find((sound) => sound.frame / 22050 >= release.clock - 0.001);
      return first ? first.frame / 22050 + release.base - release.clock : Infinity;
    });
    const { mean, max } = stats(after);
    console.log(`  ${what}: heard ${after.map(ms).join(', ')} ms after letting go: mean ${ms(mean)}, largest ${ms(max)}`);
  }
  // The dive starts two sounds in one frame: they should start on the same sample.
  const together = heard.filter((sound) => sound.name === 'HEPP')
    .filter((hepp) => heard.some((sound) => sound.name === 'LIFT' && sound.frame === hepp.frame)).length;
  console.log(`  the dive's two sounds start on the same sample in ${together} of ${lags.dive.length} throws`);
  const times = await page.run((from) => seen.presents.filter((t) => t >= from), from[0]);
  const pace = stats(times.slice(1).map((t, i) => t - times[i]));
  console.log(`  ${heard.fault ? `NOT WHOLE: ${heard.fault}; before that` : 'every sound whole:'} ${heard.length} sounds (${[...new Set(heard.map((s) => s.name))].join(', ')}); ` +
    `frames: mean ${pace.mean.toFixed(2)} ms, 99th percentile ${pace.p99.toFixed(2)} ms`);
} finally {
  await Promise.race([engine.close(), sleep(5000)]);
  server.close();
}
process.exit(0);
