#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds everything (benchmarks included) and runs
# every test through ctest: core, environment, window (offscreen), browser and fuzz
# replay tests. Then builds again with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, runs every C++ test under them, and runs each fuzz target
# for a fixed number of inputs from a fixed seed (scripts/fuzz.sh --repeatable).
# Arguments go to ctest. Ends with the time each step took.
#
# Where the time goes on two cores: the two builds, the browser tests (three engines,
# one page at a time), the sanitizer tests and the fuzzing. So the browser tests run
# beside the whole sanitizer half, both builds go through the compiler cache (ccache),
# so that the next run, from any clone, compiles only what changed, and both link with
# lld.
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

# Both builds are warning-free with gcc and clang; a new warning stops the test command.
strict=(-DQUILLAMERE_WERROR=ON)

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

cmake --preset default "${launcher[@]}" "${strict[@]}" >/dev/null
cmake --build --preset default
step "default build"
ctest --preset default --label-exclude browser "$@"
crash_figures build
step "default tests but the browsers'"

# The browser tests (default build) run beside the whole sanitizer half: its build, its
# tests and the fuzzing. The browsers spend much of their time waiting on pages, the
# sanitizer half is all compiler and CPU, so side by side each finishes about when it
# would alone. The browser tests' output follows when both are done. They wait on what
# they look for, never a fixed time, so a busy machine only slows them; the sanitizer
# tests and the fuzzing do the same work however slow the machine is.
browser_log=build/browser-tests.log
ctest --preset default --label-regex browser "$@" >"$browser_log" 2>&1 &
browser_tests=$!
browser_status=0
sanitizer_status=0
{ cmake --preset sanitize "${launcher[@]}" "${strict[@]}" >/dev/null && cmake --build --preset sanitize; } || sanitizer_status=$?
step "sanitizer build (browser tests beside)"
if [ "$sanitizer_status" -eq 0 ]; then
  ctest --preset sanitize "$@" || sanitizer_status=$?
  crash_figures build-sanitize
  step "sanitizer tests (browser tests beside)"
fi
if [ "$sanitizer_status" -eq 0 ]; then
  scripts/fuzz.sh --repeatable || sanitizer_status=$?
  step "fuzzing (browser tests beside)"
fi
wait "$browser_tests" || browser_status=$?
cat "$browser_log"
step "browser tests, after the rest"
[ "$browser_status" -eq 0 ] || echo "the browser tests failed"
[ "$sanitizer_status" -eq 0 ] || echo "the sanitizer build, its tests or the fuzzing failed"
[ "$browser_status" -eq 0 ] && [ "$sanitizer_status" -eq 0 ]
