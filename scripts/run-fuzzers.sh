#!/usr/bin/env bash
# Runs every fuzzer of a fuzz build for a bounded time. Each starts from its
# committed seed corpus (fuzz/corpus/<name>) plus a working copy, and every
# crash input it finds is left in fuzz/crashes/ to be kept as a regression
# input. Prints executions and findings per fuzzer.
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-60}
cd "$(dirname "$0")/.."
mkdir -p fuzz/crashes
status=0
for bin in "$build"/fuzz/fuzz_*; do
  [ -x "$bin" ] || continue
  name=$(basename "$bin" | sed 's/^fuzz_//')
  work=$(mktemp -d)
  seeds=fuzz/corpus/$name
  [ -d "$seeds" ] || seeds=
  log=$work/log
  if "$bin" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix=fuzz/crashes/"$name"- "$work" $seeds >"$log" 2>&1; then
    result=ok
  else
    result=FAILED; status=1
    tail -40 "$log"
  fi
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
  [ -n "$execs" ] || execs=$(grep -oE '^#[0-9]+' "$log" | tail -1 | tr -d '#')
  echo "fuzzer $name: $result, ${execs:-?} executions in ${seconds}s"
  rm -rf "$work"
done
exit $status
