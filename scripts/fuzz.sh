#!/usr/bin/env bash
# Runs each libFuzzer target of the sanitize build, two at a time:
#   scripts/fuzz.sh [SECONDS]      explores: random seeds, SECONDS per target (default:
#                                  $QUILLAMERE_FUZZ_SECONDS, else 60)
#   scripts/fuzz.sh --repeatable   what the test command runs: a fixed number of
#                                  executions per target from a fixed seed, so a commit
#                                  fuzzed clean here is fuzzed clean on every machine
#                                  (a slow machine stops at a time cap: fewer runs, never
#                                  other ones)
# Each starts from a copy of its committed seed corpus (fuzz/corpus/NAME) and its
# regression inputs, with the dictionary of its format. A target that finds a fault
# stops; the input is left in build-sanitize/fuzz/findings/ and this script fails: mend
# the fault and keep the input in fuzz/regressions/NAME/. Prints the executions and the
# coverage of every target.
set -euo pipefail
cd "$(dirname "$0")/.."
repeatable=false
if [ "${1:-}" = --repeatable ]; then
  repeatable=true
  seconds=240
else
  seconds=${1:-${QUILLAMERE_FUZZ_SECONDS:-60}}
fi
bin=build-sanitize/bin
work=build-sanitize/fuzz
targets=(project-file menu-structure text-decoding page tree-edits site-page)
declare -A dictionary=([project-file]=formats [menu-structure]=formats [text-decoding]=formats [page]=page
  [site-page]=site)
# The longest input each target is given: enough for every case it checks (a dozen
# items with their texts, a dozen items built and rearranged in some thirty edits, a
# page of the site), short enough to keep the executions many.
declare -A longest=([project-file]=4096 [menu-structure]=4096 [text-decoding]=4096 [page]=1024 [tree-edits]=128
  [site-page]=8192)
# The executions of a repeatable run: about 40 s each on a quiet 2-core machine.
declare -A executions=([project-file]=400000 [menu-structure]=400000 [text-decoding]=500000 [page]=100000
  [tree-edits]=75000 [site-page]=40000)

fuzz_one() {
  local name=$1
  mkdir -p "$work/corpus/$name" "$work/findings"
  cp -n fuzz/corpus/"$name"/* "$work/corpus/$name/"
  local args=(-max_total_time="$seconds" -max_len="${longest[$name]}" -print_final_stats=1 -timeout=10
    -rss_limit_mb=2048 -artifact_prefix="$work/findings/$name-")
  [ -n "${dictionary[$name]:-}" ] && args+=(-dict="fuzz/${dictionary[$name]}.dict")
  # A fixed seed alone does not repeat a run: libFuzzer rereads its corpus folder on a
  # clock, and compared pointers move with address-space randomisation.
  local run=()
  $repeatable && { args+=(-seed=1 -runs="${executions[$name]}" -reload=0); run=(setarch -R); }
  local inputs=("$work/corpus/$name")
  [ -d "fuzz/regressions/$name" ] && inputs+=("fuzz/regressions/$name")
  "${run[@]}" "$bin/fuzz-$name" "${args[@]}" "${inputs[@]}" >"$work/$name.log" 2>&1
}

summary() {
  local name=$1 status=$2 log="$work/$1.log"
  local runs rate cov ft corpus
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  corpus=$(grep -o 'corp: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  if [ "$status" -eq 0 ]; then
    printf 'fuzz-%-15s %10s executions (%s a minute), coverage %s edges, %s features, corpus %s inputs\n' \
      "$name" "${runs:-?}" "$(( ${rate:-0} * 60 ))" "${cov:-?}" "${ft:-?}" "${corpus:-?}"
  else
    printf 'fuzz-%-15s FOUND A FAULT after %s executions; see %s and %s\n' "$name" "${runs:-?}" "$log" \
      "$work/findings/"
    grep -E 'ERROR|fuzz check failed|SUMMARY' "$log" | head -5 | sed 's/^/    /'
  fi
}

failed=0
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  pair=("${targets[@]:i:2}")
  pids=()
  for name in "${pair[@]}"; do fuzz_one "$name" & pids+=($!); done
  for k in "${!pair[@]}"; do
    status=0
    wait "${pids[$k]}" || status=$?
    summary "${pair[$k]}" "$status"
    [ "$status" -eq 0 ] || failed=1
  done
done
exit $failed
