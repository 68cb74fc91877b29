// The page in headless Chromium: start-up pictures, frame pace, sound, input on release, the picture
// filling every window, and a message when the game cannot run.   node tests/web_test.mjs [SITE]
import { createRequire } from 'node:module';
import fs from 'node:fs'; import http from 'node:http'; import os from 'node:os'; import path from 'node:path';

const root = path.resolve(path.dirname(new URL(import.meta.url).pathname), '..');
const site = path.resolve(process.argv[2] ?? path.join(root, 'build-web/site'));
const puppeteer = createRequire(path.join(root, 'tools/web/package.json'))('puppeteer-core');
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
let passed = 0, failed = 0, browser, server, profile;

async function check(name, body) {
  try { const note = await body(); passed++; console.log(`ok   ${name}${note ? ` (${note})` : ''}`); }
  catch (error) { failed++; console.log(`FAIL ${name}: ${error.message}`); }
}
const expect = (ok, why) => { if (!ok) throw new Error(why); };
// Polls `probe` until it returns true; anything else it returns is what it saw.
async function until(what, probe, ms) {
  for (let end = Date.now() + ms, seen; (seen = await probe()) !== true; await sleep(40))
    if (Date.now() > end) throw new Error(`waited ${ms} ms for ${what}${seen ? `, saw ${seen}` : ''}`);
}

// The start-up pictures' colours at points of the sky no sprite covers (24-bit, bottom row first).
const points = [[100, 100], [400, 40], [250, 250]];
const colours = (file, bmp = fs.readFileSync(path.join(root, 'assets', file))) => points.map(([x, y]) =>
  [2, 1, 0].map((k) => bmp[bmp.readUInt32LE(10) + (479 - y) * 640 * 3 + x * 3 + k]));
const pictures = { promo: colours('PROMO1.BMP'), title: colours('TI.BMP'), 'start screen': colours('BG.BMP') };
const looksLike = (seen) => Object.keys(pictures).find((name) => pictures[name].every(
  (rgb, i) => rgb.every((c, k) => Math.abs(c - seen[i][k]) <= 4))) ?? `something else ${JSON.stringify(seen)}`;

// In the page, first: records of presents, sound buffers (loudest sample), Space keydowns left to scroll with.
function hooks() {
  const seen = (window.seen = { presents: [], buffers: [], spaceLeft: 0 });
  addEventListener('keydown', (event) => { seen.spaceLeft += event.key === ' ' && !event.defaultPrevented; });
  const draw = CanvasRenderingContext2D.prototype.drawImage, start = AudioBufferSourceNode.prototype.start;
  CanvasRenderingContext2D.prototype.drawImage = function (...args) {
    return this.canvas.id === 'canvas' && seen.presents.push(performance.now()), draw.apply(this, args);
  };
  AudioBufferSourceNode.prototype.start = function (...args) {
    const peak = this.buffer.getChannelData(0).reduce((m, v) => Math.max(m, Math.abs(v)), 0);
    return seen.buffers.push({ t: performance.now(), peak, state: this.context.state }), start.apply(this, args);
  };
  const pad = (window.pad = { id: 'pad', index: 0, connected: true, timestamp: 1, axes: [], buttons: [{}] });
  navigator.getGamepads = () => [pad.shown ? pad : null, null, null, null]; // listed once pressed, as a browser does
}
// In the page: the game's screen around the bird on the ice, the page's canvas at points, its message.
const birdArea = () => Module.canvas.getContext('2d').getImageData(490, 40, 130, 100).data
  .reduce((h, v) => (h * 31 + v) | 0, 7);
function shown(points) {
  const g = Object.assign(document.createElement('canvas'), { width: 640, height: 480 }).getContext('2d');
  g.drawImage(document.getElementById('canvas'), 0, 0, 640, 480);
  return points.map(([x, y]) => [...g.getImageData(x, y, 1, 1).data.slice(0, 3)]);
}
const failure = (status = document.getElementById('status')) =>
  (status.hidden || /^Loading/.test(status.textContent) ? '' : status.textContent);

// Runs `fn(...args)` in the page, not as a gesture of the player's (puppeteer's evaluate is one).
async function run(page, fn, ...args) {
  const reply = await page.cdp.send('Runtime.evaluate',
    { expression: `(${fn})(...${JSON.stringify(args)})`, returnByValue: true, awaitPromise: true });
  if (reply.exceptionDetails) throw new Error(`in the page: ${reply.exceptionDetails.exception?.description}`);
  return reply.result.value;
}
const now = (page) => run(page, () => performance.now());
const till = async (page, t) => sleep(t - (await now(page)));
const buffers = (page, from, to) =>
  run(page, (from, to) => seen.buffers.filter((b) => b.t >= from && b.t < to), from, to);
async function open(where, [width, height, deviceScaleFactor, touch], before = hooks) {
  const page = await browser.newPage();
  await page.setViewport({ width, height, deviceScaleFactor, isMobile: !!touch, hasTouch: !!touch });
  await page.evaluateOnNewDocument(before);
  page.cdp = await page.createCDPSession();
  await page.goto(`http://127.0.0.1:${server.address().port}/${where}/`, { timeout: 10000 });
  return page;
}
// The page's time of its first picture, and a sleep until `ms` after it.
async function firstPicture(page) {
  await until('the first picture', () => run(page, () => seen.presents.length > 0), 20000);
  const t0 = await run(page, () => seen.presents[0]);
  return (ms) => till(page, t0 + ms);
}

// The picture is the largest 4:3 box of the window, centred, in whole device pixels; nothing scrolls.
const layouts = [[640, 480, 1], [1920, 1080, 1], [1920, 1080, 2], [390, 844, 3, 'touch'], [844, 390, 3, 'touch']];
const fits = (page, [width, height, ratio, touch]) =>
  check(`the picture fills a ${width}x${height} window at ${ratio}x${touch ? ', touch' : ''}`, async () => {
    await page.setViewport({ width, height, deviceScaleFactor: ratio, isMobile: !!touch, hasTouch: !!touch });
    const span = Math.min(width * ratio * 3, height * ratio * 4), w = Math.floor(span / 3), h = Math.floor(span / 4);
    const want = [w, h, (width - w / ratio) / 2, (height - h / ratio) / 2, w / ratio, h / ratio, 0];
    await until(`the canvas to be ${w}x${h} device pixels at ${want.slice(2, 4)}`, () => run(page, (want) => {
      const c = document.getElementById('canvas'), r = c.getBoundingClientRect();
      const seen = [c.width, c.height, r.left, r.top, r.width, r.height, document.scrollingElement.scrollTop];
      return seen.every((v, i) => Math.abs(v - want[i]) <= (i < 2 ? 0 : 1)) || JSON.stringify(seen);
    }, want), 3000);
  });

// Pressed with `down`, held 300 ms, let go with `up`: the bird stays on the ice (`rest`) until let go.
async function dive(page, input, down, up, rest) {
  const times = {};
  await check(`${input} acts when let go, not when pressed`, async () => {
    times.down = await now(page);
    await down();
    await sleep(300);
    expect((await run(page, birdArea)) === rest, `the bird moved while ${input} was held`);
    times.up = await now(page);
    await up();
    await until(`the bird to dive after ${input} was let go`, async () => (await run(page, birdArea)) !== rest, 2000);
  });
  return times;
}

// Each section goes on to the next whatever befalls it, its pages closed.
async function section(what, body) {
  try { await body(); } catch (error) { failed++; console.log(`FAIL ${what}: ${error.message}`); }
  finally { for (const page of await browser.pages()) await page.close(); }
}

async function desktop() {
  const page = await open('ok', layouts[0]);
  await fits(page, layouts[0]);
  const at = await firstPicture(page);
  for (const [name, ms] of [['promo', 1000], ['title', 4500], ['start screen', 7500]]) {
    await check(`${ms / 1000} s after the first picture, the page shows the ${name}`, async () => {
      const seen = looksLike(await at(ms).then(() => run(page, shown, points)));
      expect(seen === name, `it shows ${seen}`);
    });
  }
  await check('frames come every 16 ms or so while the bird waits', async () => {
    const from = await now(page);
    await at(11600);
    const times = await run(page, (from) => seen.presents.filter((t) => t >= from), from);
    const gaps = times.slice(1).map((t, i) => t - times[i]), slow = gaps.filter((gap) => gap > 40).length;
    const mean = (times.at(-1) - times[0]) / gaps.length, note = `mean ${mean.toFixed(2)} ms`;
    expect(mean >= 15 && mean <= 18 && slow <= gaps.length * 0.03, `${note}, ${slow} of ${gaps.length} over 40 ms`);
    return `${note}, ${slow} of ${gaps.length} over 40 ms`;
  });
  const rest = await run(page, birdArea);
  const space = await dive(page, 'Space', () => page.keyboard.down('Space'), () => page.keyboard.up('Space'), rest);
  await check('silent before the first sound, and held back until the first key', async () => {
    const early = await buffers(page, 0, space.up), loud = early.filter((b) => b.peak !== 0);
    expect(early.length >= 3 && loud.length === 0, `${loud.length} of ${early.length} buffers carry samples`);
    expect(early.every((b) => b.t > space.down || b.state === 'suspended'), 'the sound ran before the first key');
    expect(early.some((b) => b.t > space.down && b.state === 'running'), 'the sound did not start at the first key');
  });
  await check('Space scrolls nothing', async () => expect(await run(page,
    () => seen.spaceLeft === 0 && document.scrollingElement.scrollTop === 0), 'Space is left to the browser'));
  for (const key of ['Escape', 'F11']) {
    await check(`${key} leaves the game running`, async () => {
      const count = await run(page, () => seen.presents.length);
      await page.keyboard.press(key);
      await until('20 more frames', () => run(page, (count) => seen.presents.length > count + 20, count), 2000);
      expect((await run(page, failure)) === '', `the page says: ${await run(page, failure)}`);
    });
  }
  await check('the dive is heard, then silence once every sound has ended', async () => {
    await till(page, space.up + 5500);
    const peak = Math.max(0, ...(await buffers(page, space.up, space.up + 600)).map((b) => b.peak));
    const after = await buffers(page, space.up + 4500, space.up + 5500), loud = after.filter((b) => b.peak !== 0);
    expect(peak > 0.01, `the loudest sample of the dive is ${peak}`);
    expect(after.length >= 15 && loud.length === 0, `${loud.length} of ${after.length} buffers carry samples after it`);
  });
  await page.mouse.move(320, 240);
  await run(page, () => (pad.shown = true) && window.dispatchEvent(new Event('gamepadconnected')));
  const button = (pressed) => run(page, (pressed) =>
    (pad.buttons[0] = { pressed, touched: pressed, value: +pressed }) && pad.timestamp++, pressed);
  for (const [input, down, up] of [['the left mouse button', () => page.mouse.down(), () => page.mouse.up()],
    ['a gamepad button', () => button(true), () => button(false)]]) {
    // Return restarts the throw: the ready sound again, then the bird on the ice.
    const t = await now(page);
    await page.keyboard.press('Enter');
    await until('the ready sound after Return', async () => (await buffers(page, t, 1e9)).some((b) => b.peak), 4000);
    await until('the bird back on the ice after Return', async () => (await run(page, birdArea)) === rest, 3000);
    await dive(page, input, down, up, rest);
  }
  await fits(page, layouts[1]);
}
// On a phone: a tap, a drag that scrolls nothing, then the phone turned.
async function phone() {
  const page = await open('ok', layouts[3]);
  await fits(page, layouts[3]);
  await (await firstPicture(page))(9000);
  const touch = page.touchscreen;
  await dive(page, 'a tap', () => touch.touchStart(195, 420), () => touch.touchEnd(), await run(page, birdArea));
  await check('the sound starts at the first tap', () => until('a sound buffer played after the tap',
    () => run(page, () => seen.buffers.at(-1)?.state === 'running'), 2000));
  await touch.touchStart(195, 700).then(() => touch.touchMove(195, 100)).then(() => touch.touchEnd());
  await fits(page, layouts[4]);
}

async function main() {
  await section('the game on a desktop', desktop);
  // A change of density alone fires nothing in this browser's emulation: a page of its own.
  await section('the 1920x1080 window at 2x', async () => fits(await open('ok', layouts[2]), layouts[2]));
  await section('the game on a phone', phone);
  // A download that fails, a file that is broken, a browser without WebAssembly.
  for (const [where, what, before] of [['wasm404', 'the game\'s code is not found'],
    ['wasmbad', 'the game\'s code is broken'], ['js404', 'the game\'s script is not found'],
    ['ok', 'the browser has no WebAssembly', () => delete window.WebAssembly]]) {
    await check(`the page says so when ${what}`, async () => {
      const broken = await open(where, layouts[0], before);
      await until('a message in the page', async () => (await run(broken, failure)) !== '', 10000)
        .finally(() => broken.close());
    });
  }
}

// The site as a web server gives it; under /wasm404/, /wasmbad/ and /js404/ a file is missing or broken.
const faults = { wasm404: ['snowpunt.wasm', 404], wasmbad: ['snowpunt.wasm', 200], js404: ['snowpunt.js', 404] };
const types = { wasm: 'application/wasm', js: 'text/javascript', html: 'text/html', css: 'text/css', png: 'image/png' };
server = http.createServer((request, response) => {
  const [, where, file] = new URL(request.url, 'http://x').pathname.split('/');
  const name = file || 'index.html', [faulty, status] = faults[where] ?? [];
  fs.readFile(path.join(site, path.basename(name)), (error, body) => {
    if (error || (name === faulty && status === 404)) return response.writeHead(404).end('not found');
    response.writeHead(200, { 'content-type': types[path.extname(name).slice(1)] ?? 'application/octet-stream' });
    response.end(name === faulty ? Buffer.from(body).fill(0x5a, 8) : body);
  });
});
// Chromium and its profile go whatever way the test ends, at 100 s at the latest.
process.on('exit', () => {
  browser?.process()?.kill('SIGKILL');
  if (profile) fs.rmSync(profile, { recursive: true, force: true, maxRetries: 3 });
});
setTimeout(() => { console.log(`FAIL the whole test ran past 100 s\n${passed} passed, ${failed + 1} failed`);
  process.exit(1); }, 100000);
try {
  await new Promise((listening) => server.listen(0, '127.0.0.1', listening));
  profile = fs.mkdtempSync(path.join(os.tmpdir(), 'snowpunt-web-'));
  // No sound before the player's first gesture ("user-gesture-required" would let Web Audio run).
  browser = await puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: true, userDataDir: profile,
    protocolTimeout: 20000, args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--autoplay-policy=document-user-activation-required'] });
  await main();
} catch (error) {
  failed++;
  console.log(`FAIL the test could not go on: ${error.message}`);
} finally {
  await Promise.race([browser?.close(), sleep(5000)]);
  server.close();
}
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
