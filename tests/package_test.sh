#!/bin/sh
# Builds the Debian package, checks it with lintian, installs it with apt,
# validates its desktop entry and AppStream metadata, starts the installed game
# headless and ends it like a closed window, then removes it and whatever apt
# pulled in with it, leaving the machine's packages as they were.
#
#   package_test.sh [BUILD_DIRECTORY]
set -eu

src=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$src/build-package}
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

fail() {
    echo "FAILED: $*"
    exit 1
}

! dpkg-query -W -f='${Status}' snowpunt 2>/dev/null | grep -q "ok installed" ||
    fail "snowpunt is installed already; remove it first"

echo "== building the package =="
cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j2 --target snowpunt
rm -f "$build"/snowpunt_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
set -- "$build"/snowpunt_*.deb
[ -f "$1" ] || fail "no package was built"
deb=$1
dpkg-deb -f "$deb" Package Version Section Depends
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "section is not games"
# The shared-library dependencies come from dpkg-shlibdeps.
dpkg-deb -f "$deb" Depends | grep "libsdl1.2debian" | grep "libsdl-image1.2" | grep -q "libsdl-gfx1.2" ||
    fail "no dependency on SDL, SDL_image or SDL_gfx"
# Exactly these files, nothing from the build or the tests.
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | LC_ALL=C sort | tr '\n' ' ')
id=invalid.snowpunt.Snowpunt
expected="./usr/games/snowpunt ./usr/share/applications/$id.desktop ./usr/share/doc/snowpunt/changelog.gz \
./usr/share/doc/snowpunt/copyright $(for n in 128 16 24 256 32 48 64; do
    printf './usr/share/icons/hicolor/%sx%s/apps/snowpunt.png ' "$n" "$n"
done)./usr/share/icons/hicolor/scalable/apps/snowpunt.svg ./usr/share/man/man6/snowpunt.6.gz \
./usr/share/metainfo/$id.metainfo.xml "
[ "$files" = "$expected" ] || fail "unexpected files: $files"

echo "== lintian =="
# Informational tags are fine; any error or warning fails.
lintian --fail-on error,warning "$deb" || fail "lintian reports errors or warnings"

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
        DEBIAN_FRONTEND=noninteractive $SUDO apt-get purge -y -qq $added >/dev/null
    fi
}
trap 'removeAdded; rm -f "$before" "$after" "$out"' EXIT
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "$(cd "$(dirname "$deb")" && pwd)/$(basename "$deb")" >/dev/null

exe=/usr/games/snowpunt
desktop=/usr/share/applications/$id.desktop
desktop-file-validate "$desktop" || fail "desktop entry not valid"
grep -qx "Exec=snowpunt" "$desktop" || fail "desktop entry does not start snowpunt"
# The AppStream validator fails on any error or warning.
appstreamcli validate --no-net "/usr/share/metainfo/$id.metainfo.xml" || fail "AppStream metadata not valid"
cmp -s /usr/share/icons/hicolor/32x32/apps/snowpunt.png "$src/packaging/icons/hicolor/32x32/apps/snowpunt.png" ||
    fail "installed icon differs from the source's"

echo "== running the installed game =="
# Headless. Once the multimedia layer catches the termination signal it turns
# it into the quit event of a closed window: the game must then end with 0.
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$exe" >"$out" 2>&1 &
pid=$!
until [ $(((0x$(awk '/^SigCgt:/ {print $2}' "/proc/$pid/status" 2>/dev/null || echo 0) >> 14) & 1)) -eq 1 ]; do
    kill -0 "$pid" 2>/dev/null || fail "the installed game did not start: $(cat "$out")"
    sleep 0.01
done
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "the installed game ended with status $status: $(tail -n 5 "$out")"
grep -q "^ang.max: 74.404907$" "$out" || fail "the installed game never built its record"
grep -q "^Resource: bg.bmp" "$out" || fail "the installed game never loaded its background"
echo "ended with status 0"

echo "== removing =="
DEBIAN_FRONTEND=noninteractive $SUDO apt-get remove -y -qq snowpunt >/dev/null
[ ! -e "$exe" ] || fail "$exe is still there after removal"
removeAdded
packages >"$after"
cmp -s "$before" "$after" || fail "the machine's packages differ from before: $(diff "$before" "$after")"
echo "passed"
