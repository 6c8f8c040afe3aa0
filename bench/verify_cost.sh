#!/usr/bin/env bash
# What --verify costs: a SIZE_MIB (default 2048) MiB card converted with and
# without it, alternating for ROUNDS rounds (default 5), against the floor of
# reading the same parts back from the disk (bench/read_back.cpp: each part
# dropped from the cache, then read front to back). The read-back runs right
# after the plain conversion, so that it finds the disk as verification
# does: just written to. Prints the medians and the ratio of verification's
# extra time to the read-back.
set -euo pipefail
cd "$(dirname "$0")/.."
size_mib=${SIZE_MIB:-2048}
rounds=${ROUNDS:-5}
work=${BENCH_DIR:-/tmp/orvo-verify-bench}

source bench/common.sh
build_release bench_read_back
rm -rf "$work"
mkdir -p "$work"
"$mkcard" --preset bench --size-mib "$size_mib" --fragment-seconds 20 "$work/card" | tail -1

plain=() verified=() back=()
for ((i = 0; i < rounds; i++)); do
  plain+=("$(seconds "$convert" --all --gps none "$work/card" "$work/out")")
  back+=("$(build-release/bench/bench_read_back "$work"/out/*.mp4 2>/dev/null)")
  verified+=("$(seconds "$convert" --all --gps none --verify "$work/card" "$work/out")")
done
pm=$(printf '%s\n' "${plain[@]}" | median)
vm=$(printf '%s\n' "${verified[@]}" | median)
bm=$(printf '%s\n' "${back[@]}" | median)
echo "convert $pm s, with --verify $vm s: verification $(echo "$vm - $pm" | bc) s;" \
  "reading the parts back $bm s; ratio $(echo "scale=2; ($vm - $pm) / $bm" | bc)"
