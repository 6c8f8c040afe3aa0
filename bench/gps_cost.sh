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

scripts/install-deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVO_BUILD_UI=OFF \
  -DORVO_BUILD_TESTS=OFF >/dev/null
cmake --build build-release -j "$(nproc)" --target orvo-mkcard orvo-convert >/dev/null
mkcard=build-release/tools/cardgen/orvo-mkcard
convert=build-release/tools/orvo-convert/orvo-convert

rm -rf "$work"
mkdir -p "$work"
"$mkcard" --preset bench --size-mib "$size_mib" --fragment-seconds 20 "$work/card" | tail -1

run() {
  rm -rf "$work/out"
  mkdir -p "$work/out"
  sync
  local start end
  start=$(date +%s.%N)
  "$convert" --all --gps "$1" "$work/card" "$work/out" >/dev/null 2>&1
  end=$(date +%s.%N)
  echo "$end - $start" | bc
}
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

none=() embed=()
for ((i = 0; i < rounds; i++)); do
  none+=("$(run none)")
  embed+=("$(run embed)")
done
n=$(printf '%s\n' "${none[@]}" | median)
e=$(printf '%s\n' "${embed[@]}" | median)
echo "median seconds: without the track inside $n, with it $e"
echo "ratio: $(echo "scale=4; $e / $n" | bc)"
