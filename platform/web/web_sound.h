// The sound device of a web page (web_sound.cpp): the game's mixer on the
// page's sound thread, or, where the page has none, buffers the page feeds.
#pragma once

// Mixes and queues what the device plays up to a little past the browser's
// clock, where the page feeds it; `now` is the page's clock (ms), by which
// sound held back before the player's first touch is mixed unheard. Called
// a few times a frame; true while the page feeds the sound, and so is to
// call it every few milliseconds.
bool WebSound_feed(double now);
