// What the game asks of SDL 1.2 and SDL_gfx that the browser's SDL lacks:
// loading a WAV from memory, converting and mixing sounds, the background in
// the display's format, and turning and zooming a sprite frame. Each does what
// classic SDL 1.2.15 (and SDL_gfx 2.0.25) do for the game's own uses; the
// browser build gives them SDL's names (platform/web/sdl_web.cpp), and the
// tests hold them against the real calls.
#pragma once

#include <SDL/SDL.h>
#include <cstdint>

// Reads a RIFF/WAVE file of 8- or 16-bit PCM from `size` bytes: fills the
// SDL_AudioSpec (freq, format AUDIO_U8 or AUDIO_S16LSB, channels, samples
// 4096, the rest zero) and sets `*data` to a copy of the samples from
// SDL_malloc (SDL_free releases it) and `*length` to their byte count, cut to
// whole sample frames. Returns the SDL_AudioSpec given, or null with SDL's
// error set for anything else, whatever the bytes claim: nothing past `size`
// is ever read, and nothing is written.
SDL_AudioSpec* Fill_loadWav(const uint8_t* bytes, uint32_t size, SDL_AudioSpec* wave,
                            uint8_t** data, uint32_t* length);

// Prepares `cvt` as SDL_BuildAudioCVT does, for a format kept as it is
// (AUDIO_U8 or AUDIO_S16LSB when anything changes), one or two channels and
// rates a power of two apart (rates within the same 100 Hz count as equal).
// Returns 0 when nothing needs converting, 1 when `cvt` holds the steps,
// -1 for any other pair.
int Fill_buildCVT(SDL_AudioCVT* cvt, uint16_t srcFormat, uint8_t srcChannels, int srcRate,
                  uint16_t dstFormat, uint8_t dstChannels, int dstRate);
// Converts cvt->len bytes at cvt->buf in place (the buffer holds
// cvt->len * cvt->len_mult bytes), setting cvt->len_cvt, as SDL_ConvertAudio
// does. Returns 0, or -1 without a buffer.
int Fill_convert(SDL_AudioCVT* cvt);

// Adds `len` bytes of signed 16-bit little-endian samples from `src`, scaled
// by volume / 128, to those at `dst`, clipped to 16 bits, as SDL_MixAudio does
// for the game's device format. Volume 0 leaves `dst` as it is.
void Fill_mixAudio(uint8_t* dst, const uint8_t* src, uint32_t len, int volume);

// A software copy of an opaque picture in the display surface's format, as
// SDL_DisplayFormat makes it; null, with SDL's error set, without a display.
SDL_Surface* Fill_displayFormat(SDL_Surface* surface);

// A new 32-bit surface with `src`'s masks holding `src` (32-bit) turned by
// `angle` degrees counter-clockwise and zoomed, interpolated, as SDL_gfx's
// rotozoomSurfaceXY with smooth set makes it: the same size and pixels. Zooms
// below 0.001 count as 0.001 (a turned frame is zoomed by `zoomx` alone, as
// SDL_gfx does); the picture is always interpolated, whatever `smooth` says.
// Null, with SDL's error set, for a null or non-32-bit `src` or when a
// surface can't be had.
SDL_Surface* Fill_rotozoom(SDL_Surface* src, double angle, double zoomx, double zoomy, int smooth);
