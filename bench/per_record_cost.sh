#!/usr/bin/env bash
# Conversion against the floor of plain durable copying (bench/floor_copy.cpp:
# the same bytes joined per record, 1 MiB reads and writes, XXH3, write-behind,
# a flush before each rename and of the folder after it), on three generated
# cards: 1,000 records of one fragment each, one record of 1,000 short
# fragments, and SIZE_MIB (default 2048) MiB of long records. Alternating for
# ROUNDS rounds (default 5), each run into an emptied folder; prints the median
# seconds of each and the ratio of conversion to floor. The GPS track stays
# out of the parts (--gps none), as the floor has no such work.
set -euo pipefail
cd "$(dirname "$0")/.."
size_mib=${SIZE_MIB:-2048}
rounds=${ROUNDS:-5}
work=${BENCH_DIR:-/tmp/orvo-record-bench}

source bench/common.sh
build_release bench_floor_copy
floor=build-release/bench/bench_floor_copy

rm -rf "$work"
mkdir -p "$work"
"$mkcard" --preset sample --records 1000 --fragments 1 "$work/many" | tail -1
"$mkcard" --preset sample --records 1 --fragments 1000 --fragment-seconds 1 "$work/long" | tail -1
"$mkcard" --preset bench --size-mib "$size_mib" --fragment-seconds 20 "$work/big" | tail -1

for card in many long big; do
  f=() c=()
  for ((i = 0; i < rounds; i++)); do
    f+=("$(seconds "$floor" "$work/$card" "$work/out")")
    c+=("$(seconds "$convert" --all --gps none "$work/$card" "$work/out")")
  done
  fm=$(printf '%s\n' "${f[@]}" | median)
  cm=$(printf '%s\n' "${c[@]}" | median)
  echo "$card: floor $fm s, orvo-convert $cm s, ratio $(echo "scale=3; $cm / $fm" | bc)"
done
