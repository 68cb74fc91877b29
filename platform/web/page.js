// The page around the game: loads it, gives it the largest 4:3 box of the
// window in device pixels, hands it the player's keys, clicks and taps as a
// desktop window would, lets the browser keep Escape and F11, starts the
// sound at the player's first touch, and says so in the page when the game
// cannot run.
'use strict';
(function () {
  var canvas = document.getElementById('canvas');
  var status = document.getElementById('status');
  var failed = false;

  function fail(text) {
    if (failed) return;
    failed = true;
    canvas.hidden = true;
    status.textContent = text;
    status.hidden = false;
  }

  if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
    fail('Snowpunt cannot run in this browser: it has no WebAssembly.');
    return;
  }

  // The game draws its 640 x 480 screen on a canvas off the page; each flip
  // shows it here, on the page's canvas, scaled to the widest 4:3 box of the
  // window in whole device pixels. Where the box is a whole multiple of the
  // screen, each of the game's pixels is repeated that many times. Otherwise
  // each is first repeated the least whole number of times that reaches the
  // box, and the browser smooths that down onto it: no pixel is then wider
  // than another by more than the one device pixel blended where two meet.
  // That second pass is cheap where the browser draws with the graphics
  // card, and costly where it draws in software on a large box: where the
  // frames it shows come late (two runs of SLOW_RUN frames apart by more than
  // SLOW_GAP ms on average), the screen is repeated straight onto the box
  // instead, until the box changes. Each of the game's pixels is then a whole
  // number of device pixels wide, some one more than others.
  var SLOW_RUN = 16, SLOW_GAP = 16.5;
  var shownAt = 0, gaps = 0, gapCount = 0, slowRuns = 0;
  // Every canvas here is drawn in memory, not by the graphics card: the game
  // draws its screen from many small pictures held in memory, and reads it
  // back, and a browser that draws canvases with the graphics card (or with
  // its software stand-in, where there is none) would carry each of those
  // pictures over to it, and the screen over to the page's canvas, every
  // frame. The game's SDL takes the screen's context as made here.
  var memory = { alpha: false, willReadFrequently: true };
  var screen = document.createElement('canvas');
  screen.width = 640;
  screen.height = 480;
  screen.getContext('2d', { willReadFrequently: true });
  var shown = canvas.getContext('2d', memory);
  var repeated = document.createElement('canvas');
  var repeatedContext = repeated.getContext('2d', memory);
  var smooth = false;
  var frames = 0;

  function place() {
    var ratio = window.devicePixelRatio || 1;
    var width = Math.round(window.innerWidth * ratio);
    var height = Math.round(window.innerHeight * ratio);
    var span = Math.max(Math.min(width * 3, height * 4), 12);
    var w = Math.floor(span / 3), h = Math.floor(span / 4);
    var style = document.documentElement.style;
    style.setProperty('--w', w / ratio + 'px');
    style.setProperty('--h', h / ratio + 'px');
    style.setProperty('--x', Math.floor((width - w) / 2) / ratio + 'px');
    style.setProperty('--y', Math.floor((height - h) / 2) / ratio + 'px');
    if (canvas.width !== w || canvas.height !== h) {
      // What the page shows stays shown, scaled to the new box until the
      // next flip: the screen itself may already hold the next frame, or
      // the next start-up picture, drawn and not yet flipped.
      var last = frames > 0 ? document.createElement('canvas') : null;
      if (last) {
        last.width = canvas.width;
        last.height = canvas.height;
        last.getContext('2d', memory).drawImage(canvas, 0, 0);
      }
      canvas.width = w;
      canvas.height = h;
      var times = Math.max(1, Math.ceil(w / 640));
      smooth = w % 640 !== 0;
      repeated.width = smooth ? 640 * times : 0;
      repeated.height = smooth ? 480 * times : 0;
      gaps = gapCount = slowRuns = 0;
      if (last) shown.drawImage(last, 0, 0, w, h);
    }
  }

  // Whether the frames shown smoothed come late (the start-up pictures,
  // seconds apart, do not count).
  function tooSlow() {
    var now = performance.now(), gap = now - shownAt;
    shownAt = now;
    if (gap > 100) return false;
    gaps += gap;
    if (++gapCount < SLOW_RUN) return false;
    slowRuns = gaps / gapCount > SLOW_GAP ? slowRuns + 1 : 0;
    gaps = gapCount = 0;
    return slowRuns >= 2;
  }

  function present() {
    if (smooth && tooSlow()) {
      smooth = false;
      repeated.width = repeated.height = 0;
    }
    if (smooth) {
      repeatedContext.imageSmoothingEnabled = false;
      repeatedContext.drawImage(screen, 0, 0, repeated.width, repeated.height);
      shown.imageSmoothingEnabled = true;
      shown.imageSmoothingQuality = 'low';
      shown.drawImage(repeated, 0, 0, canvas.width, canvas.height);
    } else {
      shown.imageSmoothingEnabled = false;
      shown.drawImage(screen, 0, 0, canvas.width, canvas.height);
    }
    frames++;
  }
  place();

  window.addEventListener('resize', place);
  // A change of pixel density alone (a window moved to another screen, a
  // zoom) need not resize the window.
  (function watchDensity() {
    var query = window.matchMedia('(resolution: ' + (window.devicePixelRatio || 1) + 'dppx)');
    query.addEventListener('change', function () {
      place();
      watchDensity();
    }, { once: true });
  })();

  // Escape and F11 are the browser's (leaving and entering fullscreen), and
  // so is Alt+Return: the game never sees them. Space scrolls nothing.
  function keys(event) {
    if (event.key === 'Escape' || event.key === 'F11' || (event.key === 'Enter' && event.altKey)) {
      event.stopImmediatePropagation();
    } else if (event.key === ' ') {
      event.preventDefault();
    }
  }
  window.addEventListener('keydown', keys, true);
  window.addEventListener('keyup', keys, true);

  // A click or tap anywhere on the page is one on the picture, as the
  // bars of a desktop window are the window's: handed on to the game's
  // screen, which its SDL listens to; a touch is the left button. Nothing
  // else is done with it: a tap neither zooms nor scrolls.
  function toScreen(event) {
    if (failed) return;
    event.preventDefault();
    var type = event.type === 'touchstart' ? 'mousedown' : event.type === 'touchend' ? 'mouseup' : event.type;
    screen.dispatchEvent(new MouseEvent(type, { button: event.type === type ? event.button : 0 }));
  }
  ['mousedown', 'mouseup', 'touchstart', 'touchend'].forEach(function (type) {
    document.addEventListener(type, toScreen, { passive: false });
  });

  // Sound: the browser lets the game's sound (Module.sound, web_sound.cpp)
  // play only once the player has pressed, clicked or tapped; it is resumed
  // at each such moment until it plays, and the game's mixer told when.
  function wake() {
    var sound = window.Module && Module.sound;
    if (sound && sound.state !== 'running' && sound.state !== 'closed') {
      Module.soundWoken = performance.now();
      sound.resume().catch(function () {});
    }
  }
  ['keydown', 'keyup', 'mousedown', 'mouseup', 'pointerup', 'touchend', 'click'].forEach(function (type) {
    window.addEventListener(type, wake, true);
  });

  // Until the game has started, anything that goes wrong is a file that did
  // not arrive, or arrived broken; after, the game has stopped.
  var started = false;
  function broken() {
    fail(started ? 'Snowpunt has stopped: something went wrong in the game. Reload the page to play again.'
                 : 'Snowpunt could not be loaded. Check the connection and reload the page.');
  }
  window.Module = {
    canvas: screen,
    present: present,
    print: function (text) { console.log(text); },
    printErr: function (text) { console.warn(text); },
    setStatus: function () {},
    onRuntimeInitialized: function () {
      started = true;
      status.hidden = true;
    },
    onAbort: broken,
    // The game ends its process only on a fault it cannot play on.
    quit: function (code, toThrow) {
      if (code !== 0) fail('Snowpunt has stopped. Reload the page to play again.');
      throw toThrow;
    },
    monitorRunDependencies: function () {},
  };
  window.addEventListener('error', function (event) {
    if ((event.target && event.target.tagName === 'SCRIPT') || event instanceof ErrorEvent) broken();
  }, true);
  window.addEventListener('unhandledrejection', broken);

  var script = document.createElement('script');
  script.src = 'snowpunt.js';
  document.body.appendChild(script);
})();
