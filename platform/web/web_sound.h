// The sound device of a web page (web_sound.cpp), which the page feeds
// itself.
#pragma once

// What the page does between one feed and the next: sleeps a piece of the
// frame's wait, shows the frame, or works out the next one. Each is timed on
// its own, so that what is queued at a feed lasts through the wait that
// follows it, and no longer.
enum WebSound_wait { WAIT_SLEEP, WAIT_SHOW, WAIT_WORK, WAIT_KINDS };

// Mixes and queues what the device plays up to a little past the browser's
// clock, enough to last until the next feed after `next`; `now` is the
// page's clock (ms), by which sound held back before the player's first
// touch is mixed unheard. Called a few times a frame.
void WebSound_feed(double now, WebSound_wait next);
