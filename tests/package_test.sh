#!/bin/sh
# Builds the Debian package in a Release build directory of its own, checks
# it with lintian, installs it with apt, checks what it put where (with the
# desktop entry and AppStream validators), starts the installed game headless
# and ends it like a closed window, then removes the package again. The
# machine is left with exactly the packages it had: the test refuses to run
# over an installed snowpunt, and whatever apt pulled in with the package goes
# out with it.
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

if dpkg-query -W -f='${Status}' snowpunt 2>/dev/null | grep -q "ok installed"; then
    fail "snowpunt is installed already; remove it first"
fi

echo "== building the package =="
cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j2 --target snowpunt
rm -f "$build"/snowpunt_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
set -- "$build"/snowpunt_*.deb
[ -f "$1" ] || fail "no package was built"
deb=$1
echo "$(basename "$deb")"

echo "== contents =="
dpkg-deb -c "$deb"
dpkg-deb -f "$deb" Package Version Section Maintainer Depends
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "section is not games"
[ "$(dpkg-deb -f "$deb" Maintainer)" = "Grumm & Finch Studio <dev@snowpunt.invalid>" ] ||
    fail "wrong maintainer"
# The shared-library dependencies come from dpkg-shlibdeps.
dpkg-deb -f "$deb" Depends | grep -q "libsdl1.2debian" || fail "no dependency on SDL"
dpkg-deb -f "$deb" Depends | grep -q "libsdl-image1.2" || fail "no dependency on SDL_image"
dpkg-deb -f "$deb" Depends | grep -q "libsdl-gfx1.2" || fail "no dependency on SDL_gfx"
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

echo "== installed files =="
dpkg -L snowpunt
exe=/usr/games/snowpunt
[ -x "$exe" ] || fail "$exe is not installed as an executable"
file -L "$exe" | grep -q "ELF 64-bit LSB pie executable\|ELF 64-bit LSB executable" ||
    fail "$exe is not an executable: $(file -L "$exe")"
desktop=/usr/share/applications/$id.desktop
desktop-file-validate "$desktop" || fail "desktop entry not valid"
grep -qx "Categories=Game;ArcadeGame;" "$desktop" || fail "desktop entry lacks its categories"
grep -qx "Exec=snowpunt" "$desktop" || fail "desktop entry does not start snowpunt"
# The AppStream validator fails on any error or warning.
appstreamcli validate --no-net "/usr/share/metainfo/$id.metainfo.xml" || fail "AppStream metadata not valid"
icon=/usr/share/icons/hicolor/32x32/apps/snowpunt.png
file "$icon" | grep -q "PNG image data, 32 x 32" || fail "icon is not a 32x32 PNG: $(file "$icon")"
cmp -s "$icon" "$src/packaging/icons/hicolor/32x32/apps/snowpunt.png" || fail "installed icon differs from the source's"

echo "== running the installed game =="
# Headless; the termination signal is sent once the multimedia layer catches
# it (it turns it into the quit event a closed window gives), and the game
# must then end with status 0 after its two start-up screens.
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$exe" >"$out" 2>&1 &
pid=$!
tries=0
while :; do
    mask=$(awk '/^SigCgt:/ {print $2}' "/proc/$pid/status" 2>/dev/null || true)
    if [ -n "$mask" ] && [ $(((0x$mask >> 14) & 1)) -eq 1 ]; then
        break
    fi
    if ! kill -0 "$pid" 2>/dev/null || [ "$tries" -ge 3000 ]; then
        fail "the installed game did not start: $(cat "$out")"
    fi
    tries=$((tries + 1))
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
if ! cmp -s "$before" "$after"; then
    diff "$before" "$after" || true
    fail "the machine's packages differ from before the test"
fi
echo "passed"
