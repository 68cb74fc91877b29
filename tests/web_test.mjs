// The page in each browser engine (tests/web/engines.mjs): start-up pictures, frame pace, sound in
// step with its picture and whole, input on release, the picture filling every window, and a
// message when the game cannot run.   node tests/web_test.mjs [SITE [ENGINE...]]
import fs from 'node:fs'; import path from 'node:path';
import { launch, names, serve, sleep, until } from './web/engines.mjs';
import * as sounds from './web/sounds.mjs';

const root = path.resolve(path.dirname(new URL(import.meta.url).pathname), '..');
const [site = path.join(root, 'build-web/site'), ...chosen] = process.argv.slice(2);
const known = sounds.load(path.join(root, 'assets'));
let passed = 0, failed = 0, skipped = 0, engine, server;

async function check(name, body) {
  try { const note = await body(); passed++; console.log(`ok   ${engine.name}: ${name}${note ? ` (${note})` : ''}`); }
  catch (error) { failed++; console.log(`FAIL ${engine.name}: ${name}: ${error.message}`); }
}
const skip = (name, why) => { skipped++; console.log(`skip ${engine.name}: ${name}: ${why}`); };
const expect = (ok, why) => { if (!ok) throw new Error(why); };

// The start-up pictures' colours at points of the sky no sprite covers, each in a patch of one
// colour 7 pixels wide, so that a picture drawn smoothed or a pixel off reads the same.
const points = [[40, 40], [200, 50], [240, 205]];
const colours = (file, bmp = fs.readFileSync(path.join(root, 'assets', file))) => points.map(([x, y]) => {
  const at = (x, y) => [2, 1, 0].map((k) => bmp[bmp.readUInt32LE(10) + (479 - y) * 640 * 3 + x * 3 + k]);
  for (let d = 0; d < 49; d++)
    if (at(x + (d % 7) - 3, y + Math.floor(d / 7) - 3).some((c, k) => Math.abs(c - at(x, y)[k]) > 2))
      throw new Error(`${file} is no longer one colour around ${x},${y}: the test's points need moving`);
  return at(x, y);
});
const pictures = { promo: colours('PROMO1.BMP'), title: colours('TI.BMP'), 'start screen': colours('BG.BMP') };
const looksLike = (seen) => Object.keys(pictures).find((name) => pictures[name].every(
  (rgb, i) => rgb.every((c, k) => Math.abs(c - seen[i][k]) <= 4))) ?? `something else ${JSON.stringify(seen)}`;

// In the page: the game's screen around the bird on the ice, the page's canvas at points, its message.
const birdArea = () => Module.canvas.getContext('2d').getImageData(490, 40, 130, 100).data
  .reduce((h, v) => (h * 31 + v) | 0, 7);
async function shown(points, at) {
  const still = seen.stills.find(({ from, to }) => from <= at && at < to);
  const g = Object.assign(document.createElement('canvas'), { width: 640, height: 480 }).getContext('2d');
  g.drawImage(await (still?.copy ?? document.getElementById('canvas')), 0, 0, 640, 480);
  return points.map(([x, y]) => [...g.getImageData(x, y, 1, 1).data.slice(0, 3)]);
}
const failure = (status = document.getElementById('status')) =>
  (status.hidden || /^Loading/.test(status.textContent) ? '' : status.textContent);

// A sleep until `ms` after the page's first picture, answering the page's time then.
async function firstPicture(page) {
  await until('the first picture', () => page.run(() => seen.presents.length > 0), 20000);
  const t0 = await page.run(() => seen.presents[0]);
  return async (ms) => sleep(t0 + ms - (await page.run(() => performance.now()))).then(() => t0 + ms);
}

// The picture is the largest 4:3 box of the window, centred, in whole device pixels; nothing scrolls.
const layouts = [[640, 480, 1], [1920, 1080, 1], [1920, 1080, 2], [390, 844, 3, 'touch'], [844, 390, 3, 'touch']];
const fits = (page, layout) => {
  let [width, height, ratio, touch] = layout, name = `the picture fills a ${width}x${height} window at ${ratio}x${touch ? ', touch' : ''}`;
  if (ratio !== 1 && engine.skips.ratio) {
    skip(name, `${engine.skips.ratio}: at 1x instead`);
    [ratio, name] = [1, name.replace(/at \d+x/, 'at 1x')];
  }
  return check(name, async () => {
    await page.view([width, height, ratio, touch]);
    // A window the engine cannot make as small as asked is checked at the size it has.
    const [w0, h0] = await page.run(() => [innerWidth, innerHeight]), note = w0 !== width || h0 !== height;
    [width, height] = [w0, h0];
    const span = Math.min(width * ratio * 3, height * ratio * 4), w = Math.floor(span / 3), h = Math.floor(span / 4);
    const want = [w, h, (width - w / ratio) / 2, (height - h / ratio) / 2, w / ratio, h / ratio, 0];
    await until(`the canvas to be ${w}x${h} device pixels at ${want.slice(2, 4)}`, () => page.run((want) => {
      const c = document.getElementById('canvas'), r = c.getBoundingClientRect();
      const seen = [c.width, c.height, r.left, r.top, r.width, r.height, document.scrollingElement.scrollTop];
      return seen.every((v, i) => Math.abs(v - want[i]) <= (i < 2 ? 0 : 1)) || JSON.stringify(seen);
    }, want), 3000);
    return note && `the engine's window is no smaller than ${width}x${height}`;
  });
};

// Pressed with `down`, held 300 ms, let go with `up`: the bird stays on the ice (`rest`) until let go.
function dive(page, input, down, up, rest) {
  return check(`${input} acts when let go, not when pressed`, async () => {
    await down();
    await sleep(300);
    expect((await page.run(birdArea)) === rest, `the bird moved while ${input} was held`);
    await up();
    await until(`the bird to dive after ${input} was let go`, async () => (await page.run(birdArea)) !== rest, 2000);
  });
}

// The sounds heard from the last release on: which started when, read from the output whole.
async function heardSince(page) {
  const release = await page.run(() => seen.releases.at(-1));
  const read = sounds.read(known, await page.run((from) => seen.heard(from), Math.floor(release.clock * 22050)));
  expect(!read.fault, `not whole: ${read.fault}`);
  return read.map((sound) => ({ ...sound, lag: sound.frame / 22050 + release.base - release.clock }));
}

async function desktop() {
  const page = await engine.open(server.url(), layouts[0]);
  await fits(page, layouts[0]);
  const at = await firstPicture(page);
  for (const [name, ms] of [['promo', 1000], ['title', 4500], ['start screen', 7500]])
    await check(`${ms / 1000} s after the first picture, the page shows the ${name}`, async () => {
      const seen = looksLike(await page.run(shown, points, await at(ms)));
      expect(seen === name, `it shows ${seen}`);
    });
  await check('frames come every 16 ms or so while the bird waits', async () => {
    const from = await page.run(() => performance.now());
    await at(11600);
    const times = await page.run((from) => seen.presents.filter((t) => t >= from), from);
    const gaps = times.slice(1).map((t, i) => t - times[i]), slow = gaps.filter((gap) => gap > 40).length;
    const mean = (times.at(-1) - times[0]) / gaps.length, note = `mean ${mean.toFixed(2)} ms, ${slow} of ${gaps.length} over 40 ms`;
    expect(mean >= 15 && mean <= 18 && slow <= gaps.length * 0.03, note);
    return note;
  });
  const rest = await page.run(birdArea);
  await check('the sound is held back until the first key', async () => expect(await page.run(() =>
    Module.sound.state === 'suspended' && seen.quanta.length === 0), 'the sound ran before any key'));
  await dive(page, 'Space', () => page.key('down', ' '), () => page.key('up', ' '), rest);
  await check('the dive is heard within 120 ms of letting go, whole, then silence', async () => {
    await sleep(1500);
    const heard = await heardSince(page), first = heard.filter((sound) => sound.frame === heard[0].frame);
    const names = first.map((sound) => sound.name).sort().join(' ');
    expect(names === 'HEPP LIFT', `heard ${names || 'nothing'} first`);
    expect(heard[0].lag < 0.12, `heard ${(heard[0].lag * 1000).toFixed(0)} ms after`);
    return `${(heard[0].lag * 1000).toFixed(0)} ms after`;
  });
  await check('Space scrolls nothing', async () => expect(await page.run(
    () => seen.spaceLeft === 0 && document.scrollingElement.scrollTop === 0), 'Space is left to the browser'));
  for (const key of ['Escape', 'F11'])
    await check(`${key} leaves the game running`, async () => {
      const count = await page.run(() => seen.presents.length);
      await page.press(key);
      await until('20 more frames', () => page.run((count) => seen.presents.length > count + 20, count), 2000);
      expect((await page.run(failure)) === '', `the page says: ${await page.run(failure)}`);
    });
  await page.run(() => (pad.shown = true) && window.dispatchEvent(new Event('gamepadconnected')));
  const button = (pressed) => page.run((pressed) =>
    (pad.buttons[0] = { pressed, touched: pressed, value: +pressed }) && pad.timestamp++, pressed);
  for (const [input, down, up] of [['the left mouse button', () => page.pointer('down', 320, 240), () => page.pointer('up', 320, 240)],
    ['a gamepad button', () => button(true), () => button(false)]]) {
    // Return restarts the throw: the ready sound again, then the bird on the ice.
    const count = await page.run(() => seen.quanta.length);
    await page.press('Enter');
    await until('the ready sound after Return', () => page.run((count) => seen.quanta.length > count, count), 4000);
    await until('the bird back on the ice after Return', async () => (await page.run(birdArea)) === rest, 3000);
    await dive(page, input, down, up, rest);
  }
  await fits(page, layouts[1]);
  await check('a fault while the game runs says the game has stopped', async () => {
    await page.run(() => setTimeout(() => { throw new Error('a fault in the game'); }));
    await until('the message', async () => /has stopped/.test(await page.run(failure)) || await page.run(failure), 2000);
  });
  await page.close();
}

// On a phone: a tap, a drag that scrolls nothing, then the phone turned. The page has no sound
// thread here (its mixer is not found): the page feeds the sound itself.
async function phone() {
  const page = await engine.open(server.url('nomixer'), layouts[3]);
  await fits(page, layouts[3]);
  await (await firstPicture(page))(9000);
  const tap = (action, y = 420) => page.pointer(action, 195, y, true);
  await dive(page, 'a tap', () => tap('down'), () => tap('up'), await page.run(birdArea));
  await check('without the sound thread, the dive is heard within 120 ms of the tap, whole', async () => {
    await until('the sound to play after the tap', () => page.run(() => Module.sound.state === 'running' || Module.sound.state), 2000);
    await sleep(1500);
    const dived = (await heardSince(page)).find((sound) => sound.name === 'HEPP'), lag = `${(dived?.lag * 1000).toFixed(0)} ms after`;
    expect(dived?.lag < 0.12, dived ? `heard ${lag}` : 'no dive heard');
    expect(await page.run(() => Module.soundMixer === null), 'the sound thread ran');
    return lag;
  });
  await tap('down', 700).then(() => tap('up', 100));
  await fits(page, layouts[4]);
  await page.close();
}

async function main() {
  await desktop();
  // A change of density alone fires nothing in some engines' emulation: a page of its own.
  if (!engine.skips.ratio) await engine.open(server.url(), layouts[2]).then(async (page) => fits(page, layouts[2]).then(page.close));
  await phone();
  // A download that fails, a file that is broken, a browser without WebAssembly.
  for (const [where, what, says] of [['wasm404', 'the game\'s code is not found', /could not be loaded/],
    ['wasmbad', 'the game\'s code is broken', /could not be loaded/], ['js404', 'the game\'s script is not found', /could not be loaded/],
    ['nowasm', 'the browser has no WebAssembly', /no WebAssembly/]])
    await check(`the page says so when ${what}`, async () => {
      const page = await engine.open(server.url(where), layouts[0]);
      await until('the message', async () => says.test(await page.run(failure)) || await page.run(failure), 10000)
        .finally(() => page.close());
    });
}

// Each engine has 150 s; what was started goes with the process.
try {
  server = await serve(site);
  for (const name of chosen.length ? chosen : names) {
    engine = { name, skips: {} };
    const timer = setTimeout(() => { console.log(`FAIL ${name}: ran past 150 s\n${passed} passed, ${failed + 1} failed`);
      process.exit(1); }, 150000);
    try {
      engine = await launch(name);
      for (const note of engine.notes ?? []) console.log(`note ${name}: ${note}`);
      await main();
    } catch (error) { failed++; console.log(`FAIL ${name}: the test could not go on: ${error.message}`); }
    await Promise.race([engine.close?.(), sleep(5000)]);
    clearTimeout(timer);
  }
} finally { server?.close(); }
console.log(`${passed} passed, ${failed} failed, ${skipped} skipped`);
process.exit(failed ? 1 : 0);
