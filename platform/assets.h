// The assets the executable carries, and their lookup by name.
//
// The lookup is written against the resource calls of the program's first
// platform (find a named raw-data resource of the executable, size it, load
// it, lock it). Here those calls are a thin layer over the table of assets
// that the build links into the executable.
#pragma once

#include <SDL/SDL.h>
#include <cstdint>

// One asset: its catalogue name and its bytes, which live as long as the
// process and are never written.
struct ResAsset {
    const char* name;     // upper-case 8.3 name, e.g. "FLY.PNG"
    const uint8_t* begin; // first byte
    const uint8_t* end;   // one past the last byte
};

// A module: the set of assets one executable carries.
struct ResModule {
    const ResAsset* assets;
    uint16_t count;
};

typedef const ResModule* HMODULE;
typedef const ResAsset* HRSRC;
typedef const ResAsset* HGLOBAL;

constexpr int RT_RCDATA = 10; // the raw-data resource type

// The assets linked into this executable.
extern const ResModule RES_executable;

// The module every lookup searches; set by RES_init.
extern HMODULE hInstance;

// The module that stands for the running executable: RES_executable. Tests
// point it at a module of their own to stand for a catalogue with an asset
// missing or broken.
extern HMODULE RES_ownModule;

// The module of the running executable, or null.
HMODULE GetModuleHandleA(const char* moduleName);
// The asset of that name and type, the name compared ignoring ASCII case, or null.
HRSRC FindResourceA(HMODULE module, const char* name, int type);
uint32_t SizeofResource(HMODULE module, HRSRC resource);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
const void* LockResource(HGLOBAL loaded);

HMODULE RES_init();
// A new read stream over the named asset's bytes, or null (with a message on
// standard error) when there is no such asset.
SDL_RWops* RES_toSDL_RWops(const char* name);
