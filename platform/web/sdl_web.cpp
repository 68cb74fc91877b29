// The SDL 1.2 and SDL_gfx calls the game makes that the browser's SDL 1.2
// does not have, under their own names, each done by its stand-in in
// platform/web/sdl_fill.cpp. Built for the browser only.
#include <SDL/SDL.h>
#include <SDL/SDL_rotozoom.h>
#include <emscripten.h>

#include "platform/web/sdl_fill.h"

// The browser's streams are numbers indexing its list of them, 0 included:
// once every stream has been freed, the list is empty and the next stream
// made is number 0. One over memory holds the address and size of its bytes.
// Whether `stream` is open; `*bytes` stays null unless it is over memory.
// (The body is JavaScript passed through the preprocessor, which would split a
// "===": hence the plain truth tests.)
EM_JS(int, Web_openStream, (int stream, const uint8_t** bytes, uint32_t* size), {
    var s = SDL.rwops[stream];
    if (!s) {
        return 0;
    }
    if (s.bytes) {
        HEAPU32[bytes >> 2] = s.bytes;
        HEAPU32[size >> 2] = s.count;
    }
    return 1;
});

extern "C" {

// The browser's SDL starts nothing after SDL_Init, and polls the gamepads'
// buttons only when joysticks were among what it was started with: a
// subsystem started later is noted as if it had been.
int SDL_InitSubSystem(Uint32 flags) {
    EM_ASM({ SDL.initFlags |= $0; }, flags);
    return 0;
}

// No WAV loader: the stream's bytes are read in place.
SDL_AudioSpec* SDL_LoadWAV_RW(SDL_RWops* src, int freesrc, SDL_AudioSpec* wave, Uint8** audio_buf,
                              Uint32* audio_len) {
    const int stream = static_cast<int>(reinterpret_cast<intptr_t>(src));
    const uint8_t* bytes = nullptr;
    uint32_t size = 0;
    const bool open = Web_openStream(stream, &bytes, &size) != 0;
    SDL_AudioSpec* loaded = nullptr;
    if (bytes != nullptr) {
        loaded = Fill_loadWav(bytes, size, wave, audio_buf, audio_len);
    } else {
        SDL_SetError("Not a stream over memory");
    }
    // Its SDL_RWclose would call through a null pointer; SDL_FreeRW frees the handle.
    if (open && freesrc != 0) {
        SDL_FreeRW(src);
    }
    return loaded;
}

// No WAV loader, so nothing to free what it loads either.
void SDL_FreeWAV(Uint8* audio_buf) {
    SDL_free(audio_buf);
}

// No sample conversion: the sounds are converted for the device here.
int SDL_BuildAudioCVT(SDL_AudioCVT* cvt, SDL_AudioFormat src_format, Uint8 src_channels,
                      int src_rate, SDL_AudioFormat dst_format, Uint8 dst_channels, int dst_rate) {
    return Fill_buildCVT(cvt, src_format, src_channels, src_rate, dst_format, dst_channels,
                         dst_rate);
}

int SDL_ConvertAudio(SDL_AudioCVT* cvt) {
    return Fill_convert(cvt);
}

// No mixing of sample buffers: the sounds are mixed into the device's buffer here.
void SDL_MixAudio(Uint8* dst, const Uint8* src, Uint32 len, int volume) {
    Fill_mixAudio(dst, src, len, volume);
}

// Only SDL_DisplayFormatAlpha, no SDL_DisplayFormat: the opaque background's copy.
SDL_Surface* SDL_DisplayFormat(SDL_Surface* surface) {
    return Fill_displayFormat(surface);
}

// SDL_gfx's header comes with the browser's SDL, but not its rotozoomer.
SDL_Surface* rotozoomSurfaceXY(SDL_Surface* src, double angle, double zoomx, double zoomy,
                               int smooth) {
    return Fill_rotozoom(src, angle, zoomx, zoomy, smooth);
}
}
