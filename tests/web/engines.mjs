// The three browser engines players use, each driven through one small adapter so that the page
// test and the measuring tools are written once: Chromium (puppeteer over CDP), Firefox (puppeteer
// over WebDriver BiDi) and WebKit (WebKitGTK's MiniBrowser through WebKitWebDriver). A page is
//   run(fn, ...args)  fn(...args) in the page, awaited, its result as JSON; never a gesture
//   key('down' | 'up', key), press(key)   ' ', 'Enter', 'Escape', 'F11', 'a'
//   pointer('down' | 'up', x, y, touch)   the left mouse button, or a finger
//   view([width, height, ratio, touch])   the window's inner size, pixel ratio and touch screen
//   close()
// An engine names the checks it cannot make (`skips`: what, and why).
import { spawn, spawnSync } from 'node:child_process';
import { createRequire } from 'node:module';
import fs from 'node:fs'; import http from 'node:http'; import os from 'node:os'; import path from 'node:path';

const root = path.resolve(path.dirname(new URL(import.meta.url).pathname), '../..');
const puppeteer = createRequire(path.join(root, 'tools/web/package.json'))('puppeteer-core');
export const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
const children = [], temporary = [];
const started = (child) => (children.push(child), child);
// Whatever was started goes, whichever way the process ends.
process.on('exit', () => {
  for (const child of children.reverse()) child.exitCode === null && child.kill('SIGKILL');
  for (const dir of temporary) fs.rmSync(dir, { recursive: true, force: true, maxRetries: 3 });
});
const scratch = (name) => { const dir = fs.mkdtempSync(path.join(os.tmpdir(), `snowpunt-${name}-`)); temporary.push(dir); return dir; };
// Polls `probe` until it returns true; anything else it returns (or throws) is what it saw.
export async function until(what, probe, ms) {
  for (let end = Date.now() + ms, seen; (seen = await probe().catch((error) => error.message)) !== true; await sleep(40))
    if (Date.now() > end) throw new Error(`waited ${ms} ms for ${what}${seen ? `, saw ${seen}` : ''}`);
}
// The page's function, run and answered as JSON text.
const script = (fn, args) => `(async () => JSON.stringify({ value: await (${fn})(...${JSON.stringify(args)}) }))()`;
const answer = (text) => JSON.parse(text).value;

// The site, with the probe put into the page before its own scripts; under /wasm404/, /wasmbad/,
// /js404/ and /nomixer/ a file is missing or arrives broken, under /nowasm/ the browser has no
// WebAssembly.
const faults = { wasm404: ['snowpunt.wasm', 404], wasmbad: ['snowpunt.wasm', 200], js404: ['snowpunt.js', 404],
  nomixer: ['snowpunt_mixer.wasm', 404] };
const types = { wasm: 'application/wasm', js: 'text/javascript', html: 'text/html', css: 'text/css', png: 'image/png' };
export async function serve(site) {
  const probe = fs.readFileSync(path.join(root, 'tests/web/probe.js'), 'utf8');
  const server = http.createServer((request, response) => {
    const [, where, file] = new URL(request.url, 'http://x').pathname.split('/');
    const name = file || 'index.html', [faulty, status] = faults[where] ?? [];
    fs.readFile(path.join(site, path.basename(name)), (error, body) => {
      if (error || (name === faulty && status === 404)) return response.writeHead(404).end('not found');
      response.writeHead(200, { 'content-type': types[path.extname(name).slice(1)] ?? 'application/octet-stream' });
      const before = where === 'nowasm' ? 'delete window.WebAssembly;' : probe;
      if (name === 'index.html') body = String(body).replace('<head>', `<head>\n<script>${before}</script>`);
      response.end(name === faulty ? Buffer.from(body).fill(0x5a, 8) : body);
    });
  });
  await new Promise((listening) => server.listen(0, '127.0.0.1', listening));
  server.url = (where = 'ok') => `http://127.0.0.1:${server.address().port}/${where}/`;
  return server;
}

// A sound server that plays into nothing (PulseAudio with a null sink), kept awake by a stream of
// silence so that a page's sound starts at once; its address for the engines that play through it.
async function soundServer() {
  const dir = scratch('pulse'), env = { ...process.env, XDG_RUNTIME_DIR: dir, HOME: dir, PULSE_SERVER: `unix:${dir}/pulse/native` };
  started(spawn('pulseaudio', ['-n', '--daemonize=no', '--exit-idle-time=-1', '--disallow-exit', '--log-target=stderr',
    '-L', 'module-null-sink sink_name=nothing', '-L', 'module-native-protocol-unix auth-anonymous=1'], { env, stdio: 'ignore' }));
  await until('the sound server', async () => spawnSync('pactl', ['info'], { env, timeout: 2000 }).status === 0, 10000);
  spawnSync('pactl', ['set-default-sink', 'nothing'], { env, timeout: 2000 });
  started(spawn('pacat', ['--playback', '--raw', '--latency-msec=100', '/dev/zero'], { env, stdio: 'ignore' }));
  return env.PULSE_SERVER;
}
// An X display for a browser that needs one (Xvfb), large enough for every window the tests open.
async function display() {
  const xvfb = started(spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '2048x1536x24', '-nolisten', 'tcp', '-noreset'],
    { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] }));
  let number = '';
  xvfb.stdio[3].on('data', (data) => (number += data));
  await until('an X display', async () => number.includes('\n'), 10000);
  return `:${number.trim()}`;
}

// puppeteer's page: `evaluate` counts as a gesture, so the page's functions go another way.
function puppeteerPage(page, evaluate) {
  return {
    run: async (fn, ...args) => answer(await evaluate(script(fn, args))),
    key: (action, key) => page.keyboard[action](key),
    press: (key) => page.keyboard.press(key),
    pointer: (action, x, y, touch) => (touch ? action === 'down' ? page.touchscreen.touchStart(x, y)
      : page.touchscreen.touchEnd() : page.mouse.move(x, y).then(() => page.mouse[action]())),
    view: ([width, height, deviceScaleFactor, touch]) =>
      page.setViewport({ width, height, deviceScaleFactor, isMobile: !!touch, hasTouch: !!touch }),
    close: () => page.close(),
  };
}
const chromiumArgs = ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
  '--disable-component-update', '--disable-sync', '--autoplay-policy=document-user-activation-required'];

// A puppeteer browser's pages, each answering the page's functions through `evaluate(session,
// expression)`, where `session(page)` is what the engine evaluates through.
const puppeteerEngine = (browser, session, evaluate) => ({ skips: {}, close: () => browser.close(), async open(url, view) {
  const page = await browser.newPage(), through = await session(page);
  await puppeteerPage(page).view(view);
  await page.goto(url, { timeout: 10000 });
  return puppeteerPage(page, (expression) => evaluate(through, expression));
} });

const engines = {
  // Headless Chromium plays its sound through a device of its own that plays into nothing.
  async chromium() {
    return puppeteerEngine(await puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: true, userDataDir: scratch('chromium'),
      protocolTimeout: 20000, args: chromiumArgs }), (page) => page.createCDPSession(), async (cdp, expression) => {
      const reply = await cdp.send('Runtime.evaluate', { expression, returnByValue: true, awaitPromise: true });
      if (reply.exceptionDetails) throw new Error(`in the page: ${reply.exceptionDetails.exception?.description}`);
      return reply.result.value;
    });
  },
  // Firefox: sound only after a gesture, as on a desktop.
  async firefox() {
    const pulse = await soundServer();
    return puppeteerEngine(await puppeteer.launch({ browser: 'firefox', executablePath: '/usr/lib/firefox-esr/firefox-esr',
      headless: true, userDataDir: scratch('firefox'), protocolTimeout: 20000, env: { ...process.env, PULSE_SERVER: pulse },
      extraPrefsFirefox: { 'media.autoplay.default': 1, 'media.autoplay.blocking_policy': 0,
        'media.autoplay.block-webaudio': true, 'privacy.reduceTimerPrecision': false } }), (page) => page, async (page, expression) => {
      const realm = page.mainFrame().browsingContext.defaultRealm;
      const reply = await realm.evaluate(expression, true, { userActivation: false, resultOwnership: 'none' });
      if (reply.type === 'exception') throw new Error(`in the page: ${reply.exceptionDetails.text}`);
      return reply.result.value;
    });
  },
  // WebKit: MiniBrowser on an X display, driven through WebDriver, which sets no pixel ratio.
  async webkit() {
    const env = { ...process.env, DISPLAY: await display(), PULSE_SERVER: await soundServer() };
    const port = 4400 + (process.pid % 500), base = `http://127.0.0.1:${port}`;
    started(spawn('/usr/bin/WebKitWebDriver', [`--port=${port}`], { env, stdio: 'ignore' }));
    await until('WebKitWebDriver', async () => (await fetch(`${base}/status`, { signal: AbortSignal.timeout(1000) })).ok, 10000);
    const command = async (method, url, body) => {
      const reply = await fetch(base + url, { method, signal: AbortSignal.timeout(20000), body: body && JSON.stringify(body),
        headers: body ? { 'content-type': 'application/json' } : {} }).then((r) => r.json());
      if (reply.value?.error) throw new Error(`${method} ${url}: ${reply.value.error}: ${reply.value.message}`);
      return reply.value;
    };
    const { sessionId } = await command('POST', '/session', { capabilities: { alwaysMatch: { 'webkitgtk:browserOptions': {
      binary: '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser', args: ['--automation'] } } } });
    const session = (method, url, body) => command(method, `/session/${sessionId}${url}`, body);
    const keys = { ' ': '\uE00D', Enter: '\uE007', Escape: '\uE00C', F11: '\uE03B' };
    const key = (action, key) => session('POST', '/actions', { actions: [{ type: 'key', id: 'keys',
      actions: [{ type: action === 'down' ? 'keyDown' : 'keyUp', value: keys[key] ?? key }] }] });
    const page = {
      run: async (fn, ...args) => answer(await session('POST', '/execute/async', { args: [], script:
        `${script(fn, args)}.then(arguments[0], (error) => arguments[0](JSON.stringify({ value: 'in the page: ' + error })))` })),
      key,
      press: (name) => key('down', name).then(() => key('up', name)),
      pointer: (action, x, y, touch) => session('POST', '/actions', { actions: [{ type: 'pointer', id: touch ? 'finger' : 'mouse',
        parameters: { pointerType: touch ? 'touch' : 'mouse' }, actions: [{ type: 'pointerMove', x, y, origin: 'viewport' },
          { type: action === 'down' ? 'pointerDown' : 'pointerUp', button: 0 }] }] }),
      // The window's outer size is what WebDriver sets: it is set again by what the inner size misses.
      async view([width, height]) {
        for (let tries = 0; tries < 3; tries++) {
          const [w, h] = await page.run(() => [innerWidth, innerHeight]), rect = await session('GET', '/window/rect');
          if (w === width && h === height) return;
          await session('POST', '/window/rect', { width: rect.width + width - w, height: rect.height + height - h });
          await sleep(200);
        }
      },
      close: () => session('POST', '/url', { url: 'about:blank' }),
    };
    return { skips: { ratio: 'WebDriver sets no pixel ratio, and MiniBrowser has none of its own' },
      notes: ['WebKitGTK hands on WebDriver\'s touch pointer as a mouse: a tap is a click there'],
      close: () => session('DELETE', ''), async open(url, view) {
        await session('POST', '/url', { url });
        await page.view(view);
        return page;
      } };
  },
};

export const names = Object.keys(engines);
export async function launch(name) {
  if (!engines[name]) throw new Error(`no engine ${name}: ${names.join(', ')}`);
  return { name, ...(await engines[name]()) };
}
