#!/bin/sh
# Installs what is missing, checks that the C++ files are formatted, then
# builds and runs the whole test suite: a plain build (with a soak of 300000
# random frames and the memory checker) and the game in a real window (Xvfb
# with openbox), both on each SDL 1.2 that players have: Debian's classic SDL
# 1.2 and sdl12-compat (SDL 1.2 over SDL 2, chosen with LD_LIBRARY_PATH; a
# shorter soak there);
# AddressSanitizer with UndefinedBehaviorSanitizer (a shorter soak); and
# ThreadSanitizer for the test of the mixer's threads. Then the Debian
# package is built, installed, started and removed. Last, the web page is
# built with Emscripten and played in each browser engine: Chromium and
# Firefox headless, WebKitGTK's MiniBrowser on an X display of its own, with a
# sound server that plays into nothing. Any failure or sanitizer
# report fails the run, and so does any step that runs past its bound: the
# whole command never stands still.
set -eu
cd "$(dirname "$0")/.."
. tools/bounded.sh
begun=$(date +%s)
stage() {
    echo "== $* ($(($(date +%s) - begun)) s in) =="
}
bounded 900 "installing the packages the tests need" sh tools/install-deps.sh browser

stage "formatting"
# Every C++ file as the repository's .clang-format writes it.
git ls-files '*.cpp' '*.h' | bounded 120 "the formatting check" xargs clang-format --dry-run --Werror

jobs=$(nproc)
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1
export SNOWPUNT_SDL=classic

stage "plain build"
bounded 120 "configuring the plain build" cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
bounded 900 "the plain build" cmake --build build-test -j"$jobs"
stage "the plain build's tests on classic SDL 1.2"
bounded 1200 "the plain build's tests on classic SDL" ctest --test-dir build-test -j"$jobs" --output-on-failure
bounded 180 "the real window on classic SDL" sh tests/window_test.sh build-test/snowpunt

stage "the plain build's tests on sdl12-compat"
compat=/usr/lib/x86_64-linux-gnu/sdl12-compat
[ -e "$compat/libSDL-1.2.so.0" ] || fail "no sdl12-compat in $compat"
export SNOWPUNT_SDL=compat LD_LIBRARY_PATH="$compat"
# Its version as SDL reports it: sdl12-compat's patch level is 50 or more, classic SDL's 15.
patch=$(/usr/bin/python3 -c 'import ctypes; v = ctypes.CDLL("libSDL-1.2.so.0").SDL_Linked_Version
v.restype = ctypes.POINTER(ctypes.c_uint8 * 3); print(v().contents[2])')
[ "$patch" -ge 50 ] || fail "the SDL 1.2 in use reports patch level $patch, not sdl12-compat's"
# The asset check runs no SDL: once is enough. The soak here: 100000 frames of another seed,
# beside the other tests. Memcheck follows throws on classic SDL only: SDL 2 keeps 360 bytes of
# the display surface it made past SDL_Quit, which memcheck counts as the soak's leak.
SDL_VIDEODRIVER=dummy build-test/tests/soak_game --frames 100000 --seeds 1 --first-seed 11 &
soak=$!
trap '[ -z "$soak" ] || kill "$soak" 2>/dev/null || true' EXIT
bounded 1200 "the plain build's tests on sdl12-compat" \
    ctest --test-dir build-test -j"$jobs" --output-on-failure -E '^(soak|art_check|valgrind_soak)$'
waitFor 600 "the soak on sdl12-compat" ended "$soak"
wait "$soak" || fail "the soak on sdl12-compat failed"
soak=
bounded 180 "the real window on sdl12-compat" sh tests/window_test.sh build-test/snowpunt
export SNOWPUNT_SDL=classic
unset LD_LIBRARY_PATH

stage "AddressSanitizer and UndefinedBehaviorSanitizer"
bounded 120 "configuring the sanitizer build" \
    cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DSNOWPUNT_SANITIZE=address,undefined >/dev/null
bounded 900 "the sanitizer build" cmake --build build-asan -j"$jobs"
bounded 1200 "the sanitizer build's tests" \
    ctest --test-dir build-asan -j"$jobs" --output-on-failure -LE no-sanitizer

stage "ThreadSanitizer: the mixer's threads"
bounded 120 "configuring the thread sanitizer build" \
    cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DSNOWPUNT_SANITIZE=thread >/dev/null
bounded 900 "the thread sanitizer build" cmake --build build-tsan -j"$jobs" --target test_platform
bounded 300 "the mixer's thread test" env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
    ./build-tsan/tests/test_platform --gtest_filter='SoundThreads.*'

stage "Debian package: build, install, run, remove"
bounded 1800 "the package test" sh tests/package_test.sh "$PWD/build-package"
stage "the web page: built with Emscripten, played in Chromium, Firefox and WebKit"
bounded 600 "building the web page" sh tools/web.sh --build-only
# puppeteer-core as the lockfile pins it: it drives Debian's Chromium and downloads no browser.
bounded 300 "installing the page test's tools" npm ci --prefix tools/web --no-audit --no-fund --loglevel=error
bounded 600 "the web page in the three engines" node tests/web_test.mjs build-web/site
stage "all passed"
