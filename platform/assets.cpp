#include "platform/assets.h"

#include <cinttypes>
#include <cstdio>

HMODULE hInstance = nullptr;
HMODULE RES_ownModule = &RES_executable;

static int fold(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c;
}

static bool same_name(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        if (fold(static_cast<unsigned char>(*a)) != fold(static_cast<unsigned char>(*b)))
            return false;
    }
    return *a == *b;
}

HMODULE GetModuleHandleA(const char* moduleName) {
    // Only the executable's own module (a null name) is known here.
    return moduleName ? nullptr : RES_ownModule;
}

HRSRC FindResourceA(HMODULE module, const char* name, int type) {
    if (!name || type != RT_RCDATA)
        return nullptr;
    if (!module)
        module = RES_ownModule;
    if (!module)
        return nullptr;
    for (uint16_t i = 0; i < module->count; i++) {
        if (same_name(module->assets[i].name, name))
            return &module->assets[i];
    }
    return nullptr;
}

uint32_t SizeofResource(HMODULE, HRSRC resource) {
    return resource ? static_cast<uint32_t>(resource->end - resource->begin) : 0;
}

HGLOBAL LoadResource(HMODULE, HRSRC resource) {
    return resource;
}

const void* LockResource(HGLOBAL loaded) {
    return loaded ? loaded->begin : nullptr;
}

HMODULE RES_init() {
    hInstance = GetModuleHandleA(nullptr);
    if (!hInstance)
        fputs("Error getting hInstance!\n", stderr);
    return hInstance;
}

SDL_RWops* RES_toSDL_RWops(const char* name) {
    HRSRC found = FindResourceA(hInstance, name, RT_RCDATA);
    if (!found) {
        fprintf(stderr, "Error finding resource %s!\n", name ? name : "(null)");
        return nullptr;
    }
    uint32_t size = SizeofResource(hInstance, found);
    HGLOBAL loaded = LoadResource(hInstance, found);
    if (!loaded) {
        fprintf(stderr, "Error loading resource %s!\n", name);
        return nullptr;
    }
    const uint8_t* bytes = static_cast<const uint8_t*>(LockResource(loaded));
    if (!bytes) {
        fprintf(stderr, "Error locking resource %s!\n", name);
        return nullptr;
    }
    // The address is printed whole, as a decimal number of pointer width.
    printf("Resource: %s, buffer: %" PRIuPTR ", size: %" PRIu32 "\n", name,
           reinterpret_cast<uintptr_t>(bytes), size);
    if (size >= 4) {
        printf("Bytes: %x %x %x %x\n", bytes[0], bytes[1], bytes[2], bytes[3]);
    } else {
        // Every asset of the catalogue is longer; a shorter one shows what it has.
        fputs("Bytes:", stdout);
        for (uint32_t i = 0; i < size; i++)
            printf(" %x", bytes[i]);
        putchar('\n');
    }
    // A read-only stream: the asset bytes belong to the executable.
    return SDL_RWFromConstMem(bytes, static_cast<int>(size));
}
