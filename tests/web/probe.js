// Put into the page before its own scripts (engines.mjs serves it so): records, in `seen`, when
// the page shows a frame, the player's releases, Space keydowns left to scroll with, and every
// sample that reaches the sound's output, with the frame of the sound's clock it plays at; and
// a gamepad to press (`pad`).
(() => {
  const seen = (window.seen = { presents: [], stills: [], releases: [], spaceLeft: 0, quanta: [] });
  addEventListener('keydown', (event) => { seen.spaceLeft += event.key === ' ' && !event.defaultPrevented; });
  // Each release, on the sound's clock, with the base latency the sound states then.
  for (const type of ['keyup', 'mouseup', 'touchend'])
    addEventListener(type, () => { const sound = window.Module?.sound;
      seen.releases.push({ clock: sound?.currentTime, base: sound?.baseLatency ?? 0 }); }, true);
  // A gamepad the browser lists once it is shown (as a browser lists one only once it is pressed).
  const pad = (window.pad = { id: 'pad', index: 0, connected: true, timestamp: 1, axes: [], buttons: [{}] });
  navigator.getGamepads = () => [pad.shown ? pad : null, null, null, null];
  // A picture up over 100 ms (the start-up's) is kept as the next replaces it, to be read late.
  const draw = CanvasRenderingContext2D.prototype.drawImage;
  CanvasRenderingContext2D.prototype.drawImage = function (...args) {
    if (this.canvas.id === 'canvas') {
      const now = performance.now(), from = seen.presents.at(-1);
      if (now - from > 100) seen.stills.push({ from, to: now, copy: createImageBitmap(this.canvas) });
      seen.presents.push(now);
    }
    return draw.apply(this, args);
  };
  // The tap: every context's destination is a unit gain into the real one, and a worklet hears it.
  // It counts the frames itself, 128 a call: a browser that works several calls at once may give
  // them all the same currentFrame.
  const tap = `registerProcessor('tap', class extends AudioWorkletProcessor {
    process([input]) { const samples = input[0]; this.frame ??= currentFrame;
      if (samples?.some((v) => v !== 0)) this.port.postMessage([this.frame, samples.slice()]);
      this.frame += 128; return true; } });`;
  const Context = window.AudioContext ?? window.webkitAudioContext;
  window.AudioContext = function (...options) {
    const context = new Context(...options), gain = context.createGain(), out = context.destination;
    gain.connect(out);
    Object.defineProperty(context, 'destination', { value: gain });
    context.audioWorklet.addModule(URL.createObjectURL(new Blob([tap], { type: 'text/javascript' }))).then(() => {
      const node = new AudioWorkletNode(context, 'tap', { channelCount: 1, channelCountMode: 'explicit' });
      node.port.onmessage = ({ data }) => seen.quanta.push(data);
      gain.connect(node);
      node.connect(out);
    });
    return context;
  };
  window.AudioContext.prototype = Context.prototype;
  // The samples heard from sound-clock frame `from` on, as 16-bit numbers in base 64, and the
  // first frame they begin at (silence between).
  seen.heard = (from) => {
    const quanta = seen.quanta.filter(([frame]) => frame + 128 > from);
    if (!quanta.length) return { first: from, samples: '' };
    const first = quanta[0][0], last = quanta.at(-1), all = new Int16Array(last[0] + last[1].length - first);
    for (const [frame, samples] of quanta) all.set(samples.map((v) => Math.round(v * 32768)), frame - first);
    const bytes = new Uint8Array(all.buffer);
    let text = '';
    for (let i = 0; i < bytes.length; i += 8192) text += String.fromCharCode(...bytes.subarray(i, i + 8192));
    return { first, samples: btoa(text) };
  };
})();
