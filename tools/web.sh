#!/bin/sh
# The game as a web page. Installs what is missing (Debian's emscripten),
# builds the page into build-web/site/ and serves that folder at
# http://127.0.0.1:8000/ until stopped (Ctrl+C); any static web host can serve
# the same folder as it is.
#   sh tools/web.sh               build and serve
#   sh tools/web.sh --build-only  build only
set -eu
cd "$(dirname "$0")/.."
sh tools/install-deps.sh web
# Emscripten's tools run on Node.js; the JavaScript parser they need is
# Debian's, which a Node.js of another origin does not look for by itself.
export NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release >/dev/null
rm -rf build-web/site
cmake --build build-web -j"$(nproc)"
[ "${1:-}" = --build-only ] && exit 0
echo "Snowpunt is served at http://127.0.0.1:8000/ (Ctrl+C stops it)"
exec /usr/bin/python3 -m http.server 8000 --bind 127.0.0.1 --directory build-web/site
