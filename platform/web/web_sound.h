// The sound device of a web page (web_sound.cpp), which the page feeds
// itself.
#pragma once

// Mixes and queues what the device plays up to a little past the browser's
// clock; `now` is the page's clock (ms), by which sound held back before the
// player's first touch is mixed unheard. Called a few times a frame.
void WebSound_feed(double now);
