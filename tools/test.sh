#!/bin/sh
# Installs what is missing, checks that the C++ files are formatted, then
# builds and runs the whole test suite three ways: a plain build (with the
# million-frame soak and the memory checker); AddressSanitizer with
# UndefinedBehaviorSanitizer (a shorter soak); and
# ThreadSanitizer for the test of the mixer's threads. Last, the Debian
# package is built, installed, started and removed. Any failure or sanitizer
# report fails the run.
set -eu
cd "$(dirname "$0")/.."
sh tools/install-deps.sh

echo "== formatting =="
# Every C++ file as the repository's .clang-format writes it.
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

jobs=$(nproc)
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1

echo "== plain build =="
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-test -j"$jobs"
ctest --test-dir build-test -j"$jobs" --output-on-failure

echo "== AddressSanitizer and UndefinedBehaviorSanitizer =="
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DSNOWPUNT_SANITIZE=address,undefined >/dev/null
cmake --build build-asan -j"$jobs"
ctest --test-dir build-asan -j"$jobs" --output-on-failure -LE no-sanitizer

echo "== ThreadSanitizer: the mixer's threads =="
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DSNOWPUNT_SANITIZE=thread >/dev/null
cmake --build build-tsan -j"$jobs" --target test_sound_threads
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ./build-tsan/tests/test_sound_threads

echo "== Debian package: build, install, run, remove =="
sh tests/package_test.sh "$PWD/build-package"
