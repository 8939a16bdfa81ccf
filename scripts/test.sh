#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds everything (benchmarks included) and runs
# every test through ctest: core, environment, window (offscreen) and browser tests.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
# The browser tests drive the browsers Debian installed: no npm package may fetch one
# of its own.
export PUPPETEER_SKIP_DOWNLOAD=1 PUPPETEER_SKIP_CHROMIUM_DOWNLOAD=1 PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 SE_OFFLINE=true
if [ -f tests/browser/package.json ] && [ ! -d tests/browser/node_modules ]; then
  npm ci --prefix tests/browser --no-audit --no-fund --loglevel=error
fi
cmake --preset default >/dev/null
cmake --build --preset default
export QT_QPA_PLATFORM=offscreen
ctest --preset default "$@"
