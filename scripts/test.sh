#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds everything (benchmarks included) and runs
# every test through ctest: core, environment, window (offscreen), browser and fuzz
# replay tests. Then builds again with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, runs every C++ test under them, and runs each fuzz target
# for a bounded time (QUILLAMERE_FUZZ_SECONDS, default 60). Arguments go to ctest.
# Ends with the time each step took.
#
# Where the time goes on two cores: the two builds, the browser tests (three engines,
# one page at a time) and the fuzzing. So the browser tests run beside the sanitizer
# build, which leaves them a core most of the time, and both builds go through the
# compiler cache (ccache), so that the next run, from any clone, compiles only what
# changed.
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

# Paths are hashed relative to this clone, so that another clone finds what this one
# compiled.
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

timings=()
started=$SECONDS
step_began=$SECONDS
# step NAME: closes the step that ran since the last call under NAME.
step() {
  timings+=("$(printf '%-40s %5d s' "$1" $((SECONDS - step_began)))")
  step_began=$SECONDS
}
report_times() {
  echo
  echo "== time of each step"
  printf '%s\n' "${timings[@]}"
  printf '%-40s %5d s\n' "in all" $((SECONDS - started))
}
trap report_times EXIT
step "set-up"

# What the crash test saw: its line from the test log.
crash_figures() { grep -h '^kills: ' "$1/Testing/Temporary/LastTest.log" 2>/dev/null | sed "s|^|$1: |" || true; }

cmake --preset default "${launcher[@]}" >/dev/null
cmake --build --preset default
step "default build"
ctest --preset default --label-exclude browser "$@"
crash_figures build
step "default tests but the browsers'"

# The browser tests (default build) beside the sanitizer build; their output follows
# when they are done. They wait on what they look for, never a fixed time, so a busy
# machine only slows them.
browser_log=build/browser-tests.log
ctest --preset default --label-regex browser "$@" >"$browser_log" 2>&1 &
browser_tests=$!
browser_status=0
if ! { cmake --preset sanitize "${launcher[@]}" >/dev/null && cmake --build --preset sanitize; }; then
  wait "$browser_tests" || true
  cat "$browser_log"
  exit 1
fi
step "sanitizer build (browser tests beside)"
wait "$browser_tests" || browser_status=$?
cat "$browser_log"
step "browser tests, after the build"
[ "$browser_status" -eq 0 ] || { echo "the browser tests failed"; exit "$browser_status"; }

ctest --preset sanitize "$@"
crash_figures build-sanitize
step "sanitizer tests"
scripts/fuzz.sh
step "fuzzing"
