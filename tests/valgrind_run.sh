#!/bin/sh
# Runs a program headless under valgrind's memcheck and fails on any invalid
# read or write, any use of an uninitialised value and any definite or
# indirect leak.
#
#   valgrind_run.sh SUPPRESSIONS SECONDS PROGRAM [ARGUMENT...]
#
# SECONDS 0: the program runs until it ends by itself. Otherwise it gets a
# termination signal after SECONDS, which the multimedia layer turns into the
# quit event of a closed window, so the game ends with status 0 as it would
# when its window is closed. Either way the status must be 0. When
# VALGRIND_EXPECT_STDOUT is set, the program's standard output must hold it.
set -eu

supp=$1
seconds=$2
shift 2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

SDL_VIDEODRIVER=${SDL_VIDEODRIVER:-dummy}
SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
export SDL_VIDEODRIVER SDL_AUDIODRIVER

# 99 stands for "valgrind found errors"; the game itself never ends with it.
valgrind --tool=memcheck --error-exitcode=99 \
    --leak-check=full --show-leak-kinds=definite,indirect \
    --errors-for-leak-kinds=definite,indirect \
    --track-origins=yes --suppressions="$supp" --gen-suppressions=all \
    --log-file="$work/valgrind.log" \
    "$@" >"$work/stdout" 2>"$work/stderr" &
pid=$!

if [ "$seconds" -gt 0 ]; then
    # Sleep in steps so that a program that ends early is noticed at once.
    waited=0
    while [ "$waited" -lt "$seconds" ] && kill -0 "$pid" 2>/dev/null; do
        sleep 1
        waited=$((waited + 1))
    done
    if ! kill -0 "$pid" 2>/dev/null; then
        echo "the program ended by itself after about $waited s"
    fi
    kill -TERM "$pid" 2>/dev/null || true
fi
status=0
wait "$pid" || status=$?

echo "== valgrind =="
grep -E "ERROR SUMMARY|definitely lost|indirectly lost|possibly lost|still reachable|suppressed:|total heap usage" \
    "$work/valgrind.log" | sed 's/^==[0-9]*== *//'

if [ "$status" -ne 0 ]; then
    echo "== program's standard error =="
    tail -n 20 "$work/stderr"
    echo "== valgrind's report =="
    cat "$work/valgrind.log"
    echo "FAILED: exit status $status (99: valgrind found errors)"
    exit 1
fi
if ! grep -q "ERROR SUMMARY: 0 errors" "$work/valgrind.log"; then
    cat "$work/valgrind.log"
    echo "FAILED: valgrind reported errors"
    exit 1
fi
# A line the program must have written to standard output, to show that it
# got as far as it should.
if [ -n "${VALGRIND_EXPECT_STDOUT:-}" ] && ! grep -qF "$VALGRIND_EXPECT_STDOUT" "$work/stdout"; then
    echo "FAILED: the program never wrote \"$VALGRIND_EXPECT_STDOUT\""
    exit 1
fi
tail -n 12 "$work/stderr"
echo "passed"
