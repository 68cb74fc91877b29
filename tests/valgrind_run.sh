#!/bin/sh
# valgrind_run.sh SUPPRESSIONS SECONDS PROGRAM [ARGUMENT...]: PROGRAM headless under memcheck
# must exit 0 without invalid accesses, uninitialised values or definite or indirect leaks.
# SECONDS > 0: a termination signal then ends it, as a closed window would. Its output must
# hold VALGRIND_EXPECT_STDOUT when set. A program that does not end in time fails the run.
set -eu
. "$(dirname "$0")/../tools/bounded.sh"
supp=$1 seconds=$2
shift 2
work=$(mktemp -d)
pid=
trap '[ -z "$pid" ] || kill -KILL "$pid" 2>/dev/null; rm -rf "$work"' EXIT
export SDL_VIDEODRIVER="${SDL_VIDEODRIVER:-dummy}" SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
valgrind --tool=memcheck --error-exitcode=99 --leak-check=full --track-origins=yes \
    --show-leak-kinds=definite,indirect --errors-for-leak-kinds=definite,indirect \
    --suppressions="$supp" --gen-suppressions=all --log-file="$work/log" \
    "$@" >"$work/stdout" 2>"$work/stderr" &
pid=$!
if [ "$seconds" -gt 0 ]; then
    sleep "$seconds"
    kill -TERM "$pid" 2>/dev/null || echo "the program ended by itself within $seconds s"
    # Memcheck's leak check at the end takes a few seconds of its own.
    waitFor 120 "the program to end after its termination signal" ended "$pid"
else
    waitFor 300 "the program to end by itself" ended "$pid"
fi
status=0
wait "$pid" || status=$?
pid=
grep -E "ERROR SUMMARY|lost|still reachable|suppressed:|total heap usage" "$work/log" | sed 's/^==[0-9]*== *//'
fail() { tail -n 20 "$work/stderr"; cat "$work/log"; echo "FAILED: $1"; exit 1; }
[ "$status" -eq 0 ] || fail "exit status $status (99: valgrind found errors)"
[ -z "${VALGRIND_EXPECT_STDOUT:-}" ] || grep -qF "$VALGRIND_EXPECT_STDOUT" "$work/stdout" ||
    fail "the program never wrote \"$VALGRIND_EXPECT_STDOUT\""
