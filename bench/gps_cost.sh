#!/usr/bin/env bash
# What carrying the GPS track inside every part costs: converts a generated
# card of SIZE_MIB (default 2048) MiB whose every record has a track,
# alternating for ROUNDS rounds (default 5) between --gps none and --gps
# embed (each run into an emptied folder), and prints the median seconds of
# each and their ratio.
set -euo pipefail
cd "$(dirname "$0")/.."
size_mib=${SIZE_MIB:-2048}
rounds=${ROUNDS:-5}
work=${BENCH_DIR:-/tmp/orvo-gps-bench}

source bench/common.sh
build_release

rm -rf "$work"
mkdir -p "$work"
"$mkcard" --preset bench --size-mib "$size_mib" --fragment-seconds 20 "$work/card" | tail -1

none=() embed=()
for ((i = 0; i < rounds; i++)); do
  none+=("$(seconds "$convert" --all --gps none "$work/card" "$work/out")")
  embed+=("$(seconds "$convert" --all --gps embed "$work/card" "$work/out")")
done
n=$(printf '%s\n' "${none[@]}" | median)
e=$(printf '%s\n' "${embed[@]}" | median)
echo "median seconds: without the track inside $n, with it $e"
echo "ratio: $(echo "scale=4; $e / $n" | bc)"
