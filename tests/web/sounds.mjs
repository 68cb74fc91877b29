// What the page's sound output should be: the game's six sounds as its mixer plays them, and a
// reading of what the probe heard as those sounds, each whole, and silence.
import fs from 'node:fs'; import path from 'node:path';

// In the mixer's order, 16-bit mono at 22050 Hz: a sound stored at 11025 Hz has each sample twice.
export const names = ['BEAT', 'READY', 'HUI', 'HEPP', 'BOUNCE', 'LIFT'];
export function load(assets) {
  return names.map((name) => {
    const wav = fs.readFileSync(path.join(assets, `${name}.WAV`)), rate = wav.readUInt32LE(24);
    const data = wav.indexOf('data', 12), samples = new Int16Array(wav.readUInt32LE(data + 4) / 2);
    for (let i = 0; i < samples.length; i++) samples[i] = wav.readInt16LE(data + 8 + 2 * i);
    return rate === 22050 ? samples : Int16Array.from({ length: samples.length * 2 }, (_, i) => samples[i >> 1]);
  });
}
const clip = (v) => Math.max(-32768, Math.min(32767, v));

// Reads `heard` (16-bit samples from sound-clock frame `first` on) as the sounds starting where
// they start, played whole and mixed as the mixer mixes them, with silence wherever none plays.
// Returns [{name, frame}] for each sound started up to where the output is none of that (a gap, a
// sample repeated or missing, a click, noise): `fault` then says where.
export function read(sounds, { first, samples }) {
  const heard = new Int16Array(Uint8Array.from(Buffer.from(samples, 'base64')).buffer);
  const started = [];
  let playing = []; // [index, frame it started at]
  const mixed = (set, at) => set.reduce((sum, [i, from]) => (at - from < sounds[i].length
    ? clip(sum + sounds[i][at - from]) : sum), 0);
  const fits = (set, at) => heard.subarray(at, at + 64).every((v, k) => mixed(set, at + k) === v);
  // How many samples of silence each sound begins with.
  const quiet = sounds.map((sound) => sound.findIndex((v) => v !== 0));
  for (let at = 0; at < heard.length; at++) {
    playing = playing.filter(([i, from]) => at - from < sounds[i].length);
    if (mixed(playing, at) === heard[at]) continue;
    // One sound, or two at once, started here or within the silence they begin with (a sound
    // started again replaces itself).
    const tries = names.flatMap((_, i) => [[i], ...names.slice(i + 1).map((__, j) => [i, i + 1 + j])]);
    const fresh = tries.flatMap((set) => Array.from({ length: Math.min(...set.map((i) => quiet[i])) + 1 },
      (_, back) => [...playing.filter(([i]) => !set.includes(i)), ...set.map((i) => [i, at - back])]
        .sort((a, b) => a[0] - b[0]))).find((set) => fits(set, at));
    if (!fresh) return Object.assign(started, { fault: `at ${((first + at) / 22050).toFixed(3)} s of the sound's ` +
      `clock the output is ${heard[at]} where the sounds give ${mixed(playing, at)}` });
    for (const [i, from] of fresh) if (!playing.some(([j, f]) => j === i && f === from)) started.push({ name: names[i], frame: first + from });
    playing = fresh;
  }
  return started;
}
