#!/bin/sh
# Installs the browser page's npm packages into web/node_modules/, exactly as web/package-lock.json
# pins them. npm ci starts from a clean folder, so it runs only when the lock file is newer than
# the last install. (The Debian packages the page needs come from scripts/install-deps.sh's web
# group, which calls this.)
set -eu
cd "$(dirname "$0")/.."
if [ ! -f web/node_modules/.package-lock.json ] ||
   [ web/package-lock.json -nt web/node_modules/.package-lock.json ]; then
    (cd web && npm ci --no-audit --no-fund --ignore-scripts >/dev/null)
fi
