// The page's sound thread: plays the game's own mixer (snowpunt_mixer.wasm,
// sound_mixer.cpp) a step at a time as the browser asks for sound, with the
// sounds and voices the page hands it (web_sound.cpp) as the game starts
// them. The browser plays it at the rate the game mixes at.
'use strict';
class Mixer extends AudioWorkletProcessor {
  constructor(options) {
    super();
    var module = new WebAssembly.Module(options.processorOptions.module);
    this.mixer = new WebAssembly.Instance(module, {}).exports;
    this.mixer._initialize();
    // A list of ['sound', voice, its samples' bytes] and ['voice', voice, at, remaining, playing],
    // all taken before the next step.
    this.port.onmessage = (event) => {
      var mixer = this.mixer;
      for (var what of event.data) {
        if (what[0] == 'sound') {
          var at = mixer.Mixer_sound(what[1], what[2].length);
          if (at) new Uint8Array(mixer.memory.buffer, at, what[2].length).set(what[2]);
        } else {
          mixer.Mixer_voice(what[1], what[2], what[3], what[4]);
        }
      }
    };
  }

  // Nothing is made here as it plays: the view of the module's memory is
  // made again only if the memory has grown.
  process(inputs, outputs) {
    var out = outputs[0][0];
    var from = this.mixer.Mixer_mix(out.length) >> 1;
    if (!this.memory || this.memory.buffer !== this.mixer.memory.buffer) {
      this.memory = new Int16Array(this.mixer.memory.buffer);
    }
    for (var i = 0; i < out.length; i++) out[i] = this.memory[from + i] / 32768;
    return true;
  }
}
registerProcessor('snowpunt-mixer', Mixer);
