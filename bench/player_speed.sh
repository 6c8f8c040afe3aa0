#!/usr/bin/env bash
# Playing a record straight from a card: laying it out (a record of SIZE_MIB,
# default 2048, MiB in 20-second fragments, and one of 100 one-second
# fragments) against reading the same index boxes alone, then the player
# window on the long record against one of a single fragment: first frame,
# seeks, stalls of the event loop and memory.
set -euo pipefail
cd "$(dirname "$0")/.."
size_mib=${SIZE_MIB:-2048}
work=${BENCH_DIR:-/tmp/orvo-player-bench}

scripts/install-deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVO_BUILD_TESTS=OFF \
  -DORVO_BUILD_BENCH=ON >/dev/null
cmake --build build-release -j "$(nproc)" \
  --target orvo-mkcard bench_virtual_open bench_player_stalls >/dev/null
mkcard=build-release/tools/cardgen/orvo-mkcard

rm -rf "$work"
mkdir -p "$work"
fragments=$(((size_mib + 9) / 10)) # a 20-second fragment of the bench preset holds about 10 MiB
"$mkcard" --preset bench --records 1 --size-mib "$size_mib" --fragments "$fragments" \
  "$work/long" | tail -1
"$mkcard" --preset sample --records 1 --fragments 100 --fragment-seconds 1 "$work/hundred" | tail -1
"$mkcard" --preset bench --records 1 --fragments 1 "$work/one" | tail -1

build-release/bench/bench_virtual_open --rounds "${ROUNDS:-9}" "$work/long" "$work/hundred"
QT_QPA_PLATFORM=offscreen build-release/bench/bench_player_stalls --seeks "${SEEKS:-20}" \
  "$work/long" "$work/one" 2>&1 | grep -v -e '^qt\.' -e 'QStandardPaths' -e 'PulseAudio' \
  -e 'RHI' -e 'does not support'
