#include "platform/assets.h"

#include <cinttypes>
#include <cstdio>

const AssetCatalogue* RES_catalogue = &RES_linked;

static int fold(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c;
}

static bool sameName(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        if (fold(static_cast<unsigned char>(*a)) != fold(static_cast<unsigned char>(*b))) {
            return false;
        }
    }
    return *a == *b;
}

const Asset* RES_find(const char* name) {
    if (name == nullptr || RES_catalogue == nullptr) {
        return nullptr;
    }
    for (uint16_t i = 0; i < RES_catalogue->count; i++) {
        if (sameName(RES_catalogue->assets[i].name, name)) {
            return &RES_catalogue->assets[i];
        }
    }
    return nullptr;
}

SDL_RWops* RES_toSDL_RWops(const char* name) {
    const Asset* found = RES_find(name);
    if (found == nullptr) {
        fprintf(stderr, "Error finding resource %s!\n", name ? name : "(null)");
        return nullptr;
    }
    const uint8_t* bytes = found->begin;
    const uint32_t size = static_cast<uint32_t>(found->end - found->begin);
    // The address is printed whole, as a decimal number of pointer width.
    printf("Resource: %s, buffer: %" PRIuPTR ", size: %" PRIu32 "\n", name,
           reinterpret_cast<uintptr_t>(bytes), size);
    // The first four bytes (every asset of the catalogue has them; a
    // shorter one shows what it has).
    fputs("Bytes:", stdout);
    for (uint32_t i = 0; i < size && i < 4; i++) {
        printf(" %x", bytes[i]);
    }
    putchar('\n');
    // A read-only stream: the asset bytes belong to the executable.
    return SDL_RWFromConstMem(bytes, static_cast<int>(size));
}
