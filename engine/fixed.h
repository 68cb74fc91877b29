// 16.16 fixed-point numbers: positions, speeds, scales, distances.
// 0x10000 is 1.0. World x grows to the right, world y grows upward.
#pragma once

#include <cstdint>

typedef int32_t fixed;

constexpr fixed FIX_ONE = 0x10000;

// The 16.16 product of a and b, formed from the exact 64-bit product and
// divided with truncation toward zero (not shifted toward minus infinity):
// fixmul(-1, 0x8000) is 0, where a shift would give -1.
constexpr fixed fixmul(fixed a, fixed b) {
    return static_cast<fixed>(static_cast<int64_t>(a) * b / 65536);
}

// 32-bit wrap-around addition and subtraction. Signed overflow is undefined in
// C++, so the sums are formed on unsigned words and converted back (modular
// since C++20).
constexpr int32_t wrap_add(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
constexpr int32_t wrap_sub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// Whole screen pixels of a 16.16 value, rounding toward minus infinity
// (an arithmetic shift, as C++20 guarantees for negative operands).
constexpr int32_t fix_floor(fixed v) {
    return v >> 16;
}

constexpr double fix_to_double(fixed v) {
    return v / 65536.0;
}

static_assert(fixmul(-1, 0x8000) == 0, "fixmul truncates toward zero");
static_assert(fixmul(0x20000, 0x18000) == 0x30000);
static_assert(fix_floor(-0x8000) == -1);
static_assert(wrap_add(INT32_MAX, 1) == INT32_MIN);
