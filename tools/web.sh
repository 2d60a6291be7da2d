#!/usr/bin/env bash
# The programs and examples as web pages.
#   tools/web.sh         installs what the browser build needs (Debian's emscripten and chromium,
#                        the browser driver from npm as tools/web/package-lock.json pins it),
#                        builds build-web/site/, takes the index's pictures in the browser and
#                        packs the site into build-web/physikdemos-web.zip;
#   tools/web.sh serve   the same, then serves the site on 127.0.0.1 (port 8000 unless PORT
#                        says otherwise) until Ctrl+C.
# The site is static files only: build-web/site/ can be copied to any web host as it is.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
command=${1:-build}
case $command in
  build | serve) ;;
  *)
    echo "usage: tools/web.sh [build | serve]" >&2
    exit 2
    ;;
esac

"$root/tools/setup.sh" emscripten chromium
# npm ci installs exactly the locked versions; done again only when the lock file changed.
web=$root/tools/web
if [ ! -f "$web/node_modules/.package-lock.json" ] || [ "$web/package-lock.json" -nt "$web/node_modules/.package-lock.json" ]; then
  (cd "$web" && npm ci --no-audit --no-fund --loglevel=error)
fi

cd "$root"
cmake --preset web >/dev/null
cmake --build --preset web --target site
node "$web/pictures.mjs" "$root/build-web"
# The whole site in one file, for a USB stick or a learning platform: unpacked, index.html opens
# from disk.
rm -f "$root/build-web/physikdemos-web.zip"
(cd "$root/build-web/site" && cmake -E tar cf ../physikdemos-web.zip --format=zip .)
echo "web: the site is in $root/build-web/site/ and $root/build-web/physikdemos-web.zip"

if [ "$command" = serve ]; then
  exec node "$web/serve.mjs" "$root/build-web/site" "${PORT:-8000}"
fi
