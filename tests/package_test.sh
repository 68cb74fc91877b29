#!/bin/sh
# Builds the Debian package, checks it with lintian, installs it with apt,
# validates its desktop entry and AppStream metadata, checks the hardening of
# the installed executable, starts the installed game headless and ends it with
# a termination signal once it has loaded, then removes it and whatever apt
# pulled in with it, leaving the machine's packages as they were. Every wait is bounded.
#
#   package_test.sh [BUILD_DIRECTORY]
set -eu

src=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$src/build-package}
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
. "$src/tools/bounded.sh"
export DEBIAN_FRONTEND=noninteractive

! dpkg-query -W -f='${Status}' snowpunt 2>/dev/null | grep -q "ok installed" ||
    fail "snowpunt is installed already; remove it first"

echo "== building the package =="
cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
bounded 900 "building the game" cmake --build "$build" -j2 --target snowpunt
rm -f "$build"/snowpunt_*.deb
(cd "$build" && bounded 300 "building the package" cpack -G DEB >/dev/null)
set -- "$build"/snowpunt_*.deb
[ -f "$1" ] || fail "no package was built"
deb=$1
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "section is not games"
# Nothing from the build or the tests: the game and what an installation carries beside it.
! dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' |
    grep -vE '^\./usr/(games/snowpunt|share/(applications|metainfo|icons/hicolor|man/man6|doc/snowpunt)/)' ||
    fail "unexpected files in the package"

echo "== lintian =="
# Any error or warning fails, and so do the informational tags of a build
# that is not hardened or carries needless sections.
tags=$(mktemp)
status=0
timeout 300 lintian --display-info --fail-on error,warning "$deb" >"$tags" || status=$?
cat "$tags"
[ "$status" -eq 0 ] || fail "lintian reports errors or warnings (status $status; 124: ran past 300 s)"
! grep -E "hardening-|binary-has-unneeded-section" "$tags" || fail "lintian finds the build unhardened"

echo "== installing =="
before=$(mktemp)
after=$(mktemp)
out=$(mktemp)
# The packages dpkg has on the machine, with their states (not the ones it
# merely remembers as not installed).
packages() {
    dpkg-query -W -f='${Package}:${Architecture} ${db:Status-Abbrev}\n' | awk '$2 !~ /^un/' | sort
}
packages >"$before"
removeAdded() {
    # The package and whatever apt brought with it go out again.
    packages >"$after"
    added=$(comm -13 "$before" "$after" | awk '{print $1}' | tr '\n' ' ')
    if [ -n "$added" ]; then
        # shellcheck disable=SC2086
        bounded 600 "apt removing what it added" \
            $SUDO apt-get purge -y -qq $added >/dev/null
    fi
}
pid=
trap '[ -z "$pid" ] || kill -KILL "$pid" 2>/dev/null; removeAdded; rm -f "$before" "$after" "$out" "$tags"' EXIT
bounded 600 "apt installing the package" \
    $SUDO apt-get install -y -qq "$(cd "$(dirname "$deb")" && pwd)/$(basename "$deb")" >/dev/null

exe=/usr/games/snowpunt
id=invalid.snowpunt.Snowpunt
desktop=/usr/share/applications/$id.desktop
desktop-file-validate "$desktop" || fail "desktop entry not valid"
grep -qx "Exec=snowpunt" "$desktop" || fail "desktop entry does not start snowpunt"
# The AppStream validator fails on any error or warning.
appstreamcli validate --no-net "/usr/share/metainfo/$id.metainfo.xml" || fail "AppStream metadata not valid"

echo "== hardening =="
# Lintian's tags above judge PIE, RELRO, immediate binding, fortified calls and needless
# sections; it has none for the stack protector that dpkg-buildflags adds.
readelf -W --dyn-syms "$exe" | grep -q "__stack_chk_fail@" || fail "the installed game has no stack protector"

echo "== running the installed game =="
# Headless; once it has loaded, a termination signal ends it like a closed window, with status
# 0, within the bound of its end.
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy stdbuf -oL "$exe" >"$out" 2>&1 &
pid=$!
waitFor 30 "the installed game to load its background" grep -q "^Resource: bg.bmp" "$out"
kill -TERM "$pid"
waitFor 15 "the installed game to end after its termination signal" ended "$pid"
wait "$pid" || fail "the installed game ended with status $?: $(tail -n 5 "$out")"
pid=

echo "== removing =="
bounded 600 "apt removing the package" $SUDO apt-get remove -y -qq snowpunt >/dev/null
[ ! -e "$exe" ] || fail "$exe is still there after removal"
removeAdded
packages >"$after"
cmp -s "$before" "$after" || fail "the machine's packages differ from before: $(diff "$before" "$after")"
echo "passed"
