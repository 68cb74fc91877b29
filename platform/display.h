// The display: a window of any size, or fullscreen at the desktop's own size.
// The game's 640 x 480 picture is drawn straight onto the display when that
// is the display's size; at any other size it is drawn into a picture of the
// display's format, which showing the frame scales onto the display, aspect
// kept and centred, the rest black.
#pragma once

#include <SDL/SDL.h>
#include <cstdint>

struct DisplaySize {
    int w, h;
};

// The video surface of the mode in use; null before the window opens.
extern SDL_Surface* display;
// The desktop's size as SDL reported it before the window opened; 0 x 0
// where it reports none.
extern DisplaySize Display_desktop;
// The call that sets a video mode; tests replace it.
extern SDL_Surface* (*Display_setVideoMode)(int width, int height, int bpp, uint32_t flags);
// Called once a frame or start-up picture has been handed to the window
// system; none on the desktop. A web page, whose SDL only draws into its own
// screen, shows the frame here.
extern void (*Display_shown)();

// The window's opening size on a desktop of that size: the largest whole
// multiple of 640 x 480 within 85 % of its width and height, and 640 x 480
// where none fits or the size is unknown.
DisplaySize Display_openingSize(DisplaySize desktop);
// Reads the desktop's size and opens the window at its opening size (at
// 640 x 480 if that size cannot be had); 0 when no window can be opened.
uint8_t Display_open();
// The window resized to w x h by the player (nothing happens in fullscreen).
void Display_resize(int w, int h);
// Switches from the window to fullscreen at the desktop's size, or back to
// the window at the size it had. Where fullscreen cannot be had, the window
// stays as it was.
void Display_toggleFullscreen();
// Whether the display is fullscreen.
uint8_t Display_isFullscreen();
// Where the 640 x 480 picture lies on the display.
SDL_Rect Display_pictureRect();

// Shows what has been drawn into `screen`, in two steps so that the frame's
// pacing can wait between them: composing puts it onto the display (at
// 640 x 480 it is already there; at any other size the bars are painted
// black and the picture scaled into its place), and sending flips the
// display to the window system (then calls Display_shown).
void Display_compose();
void Display_send();
// Shows it at once: by updating the whole display (update) or by composing
// and sending it (flip); either then calls Display_shown.
void Display_update();
void Display_flip();
