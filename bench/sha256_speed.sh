#!/usr/bin/env bash
# SHA-256 of a large file from the page cache: HashFile (bench_sha256_speed)
# against sha256sum, alternating for ROUNDS rounds (default 5) over a file
# of SIZE_MIB MiB (default 1024) of random bytes made in $ORVO_BENCH_DIR
# (default /tmp). Checks that both give the same digest, then prints each
# round's seconds, the medians and their ratio (HashFile / sha256sum: below
# 1 means HashFile is faster).
set -euo pipefail
cd "$(dirname "$0")/.."
size_mib=${SIZE_MIB:-1024}
rounds=${ROUNDS:-5}
dir=${ORVO_BENCH_DIR:-/tmp}
source bench/common.sh

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVO_BUILD_UI=OFF \
  -DORVO_BUILD_TESTS=OFF -DORVO_BUILD_BENCH=ON >/dev/null
cmake --build build-release -j "$(nproc)" --target bench_sha256_speed >/dev/null
hash=build-release/bench/bench_sha256_speed

file=$(mktemp "$dir/orvo-sha256-XXXXXX")
trap 'rm -f "$file"' EXIT
head -c "${size_mib}M" /dev/urandom >"$file"

# Each reads the file once untimed, which also leaves it in the page cache.
ours=$("$hash" "$file" | cut -c1-64)
theirs=$(sha256sum "$file" | cut -c1-64)
[ "$ours" = "$theirs" ] || { echo "digests differ: HashFile $ours, sha256sum $theirs" >&2; exit 1; }
echo "both give $ours for ${size_mib} MiB"

time_of() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null
  end=$(date +%s.%N)
  printf '%.3f\n' "$(echo "$end - $start" | bc)"
}

ours=() theirs=()
for ((i = 1; i <= rounds; i++)); do
  a=$(time_of "$hash" "$file")
  b=$(time_of sha256sum "$file")
  ours+=("$a") theirs+=("$b")
  echo "round $i: HashFile $a s, sha256sum $b s"
done
o=$(printf '%s\n' "${ours[@]}" | median)
t=$(printf '%s\n' "${theirs[@]}" | median)
echo "median seconds: HashFile $o, sha256sum $t"
printf 'ratio HashFile / sha256sum: %.3f\n' "$(echo "scale=6; $o / $t" | bc)"
