#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds everything (benchmarks included) and runs
# every test through ctest: core, environment, window (offscreen), browser and fuzz
# replay tests. Then builds again with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, runs every C++ test under them, and runs each fuzz target
# for a bounded time (QUILLAMERE_FUZZ_SECONDS, default 60). Arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
# The browser tests drive the browsers Debian installed: no npm package may fetch one
# of its own.
export PUPPETEER_SKIP_DOWNLOAD=1 PUPPETEER_SKIP_CHROMIUM_DOWNLOAD=1 PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 SE_OFFLINE=true
if [ -f tests/browser/package.json ] && [ ! -d tests/browser/node_modules ]; then
  npm ci --prefix tests/browser --no-audit --no-fund --loglevel=error
fi
export QT_QPA_PLATFORM=offscreen

# What the crash test saw: its line from the test log.
crash_figures() { grep -h '^kills: ' "$1/Testing/Temporary/LastTest.log" 2>/dev/null | sed "s|^|$1: |" || true; }

cmake --preset default >/dev/null
cmake --build --preset default
ctest --preset default "$@"
crash_figures build

cmake --preset sanitize >/dev/null
cmake --build --preset sanitize
ctest --preset sanitize "$@"
crash_figures build-sanitize
scripts/fuzz.sh
