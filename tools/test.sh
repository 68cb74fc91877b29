#!/bin/sh
# Installs what is missing, checks that the C++ files are formatted, then
# builds and runs the whole test suite three ways: a plain build (with the
# million-frame soak and the memory checker); AddressSanitizer with
# UndefinedBehaviorSanitizer (a shorter soak); and
# ThreadSanitizer for the test of the mixer's threads. Last, the Debian
# package is built, installed, started and removed. Any failure or sanitizer
# report fails the run, and so does any step that runs past its bound: the
# whole command never stands still.
set -eu
cd "$(dirname "$0")/.."
. tools/bounded.sh
bounded 900 "installing the packages the tests need" sh tools/install-deps.sh

echo "== formatting =="
# Every C++ file as the repository's .clang-format writes it.
git ls-files '*.cpp' '*.h' | bounded 120 "the formatting check" xargs clang-format --dry-run --Werror

jobs=$(nproc)
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1

echo "== plain build =="
bounded 120 "configuring the plain build" cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
bounded 900 "the plain build" cmake --build build-test -j"$jobs"
bounded 1200 "the plain build's tests" ctest --test-dir build-test -j"$jobs" --output-on-failure

echo "== AddressSanitizer and UndefinedBehaviorSanitizer =="
bounded 120 "configuring the sanitizer build" \
    cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DSNOWPUNT_SANITIZE=address,undefined >/dev/null
bounded 900 "the sanitizer build" cmake --build build-asan -j"$jobs"
bounded 1200 "the sanitizer build's tests" \
    ctest --test-dir build-asan -j"$jobs" --output-on-failure -LE no-sanitizer

echo "== ThreadSanitizer: the mixer's threads =="
bounded 120 "configuring the thread sanitizer build" \
    cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DSNOWPUNT_SANITIZE=thread >/dev/null
bounded 900 "the thread sanitizer build" cmake --build build-tsan -j"$jobs" --target test_platform
bounded 300 "the mixer's thread test" env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
    ./build-tsan/tests/test_platform --gtest_filter='SoundThreads.*'

echo "== Debian package: build, install, run, remove =="
bounded 1800 "the package test" sh tests/package_test.sh "$PWD/build-package"
