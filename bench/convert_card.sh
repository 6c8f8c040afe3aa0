#!/usr/bin/env bash
# Conversion throughput against plain copying and two well-known remuxers.
#
# Generates a card of SIZE_MIB (default 2048) MiB, then, alternating for
# ROUNDS rounds, and deleting every output before each run (overwriting an
# existing file is much slower on some disks and would skew the ratios):
#   - converts the whole card with orvo-convert,
#   - copies each record's fragment files into one new file with cat,
#   - does the same copy with dd, which reads and writes: on one file system
#     cat copies in the kernel (copy_file_range), which it cannot do from a
#     card's own FAT volume to another disk; dd shows that copy,
#   - remuxes each record with ffmpeg -f concat -c copy,
#   - remuxes each record with mkvmerge (appending the fragments).
# Prints the median seconds of each and the ratios to cat, the peak memory of
# orvo-convert, and the time of a scan of a card of 10,000 records.
# With ORVO_REFERENCE naming another orvo-convert (an earlier build, say),
# that one is timed in the same rounds too, for a before/after ratio.
set -euo pipefail
cd "$(dirname "$0")/.."
size_mib=${SIZE_MIB:-2048}
rounds=${ROUNDS:-3}
work=${BENCH_DIR:-/tmp/orvo-bench}

scripts/install-deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVO_BUILD_UI=OFF \
  -DORVO_BUILD_TESTS=OFF >/dev/null
cmake --build build-release -j "$(nproc)" --target orvo-mkcard orvo-convert >/dev/null
mkcard=build-release/tools/cardgen/orvo-mkcard
convert=build-release/tools/orvo-convert/orvo-convert

rm -rf "$work"
mkdir -p "$work"
card=$work/card
out=$work/out
echo "Generating a card of $size_mib MiB in $card ..."
"$mkcard" --preset bench --size-mib "$size_mib" --fragment-seconds 20 "$card" | tail -1
du -sh "$card"

records=()
for r in "$card"/R*_D*_T*; do records+=("$r"); done

fresh() { rm -rf "$out"; mkdir -p "$out"; sync; }
now() { date +%s.%N; }

reference=${ORVO_REFERENCE:-}
# --all: the card's records are marked converted after the first run.
run_orvo() { "$convert" --all "$card" "$out" >/dev/null 2>&1; }
run_reference() { "$reference" "$card" "$out" >/dev/null 2>&1; }
run_cat() {
  for r in "${records[@]}"; do
    find "$r" -name 'F*.mp4' | sort | xargs cat > "$out/$(basename "$r").bin"
  done
}
run_dd() {
  for r in "${records[@]}"; do
    find "$r" -name 'F*.mp4' | sort | while read -r f; do
      dd if="$f" of="$out/$(basename "$r").bin" bs=1M oflag=append conv=notrunc status=none
    done
  done
}
run_ffmpeg() {
  for r in "${records[@]}"; do
    list=$out/$(basename "$r").txt
    find "$r" -name 'F*.mp4' | sort | sed "s/.*/file '&'/" > "$list"
    ffmpeg -nostdin -v error -f concat -safe 0 -i "$list" -c copy "$out/$(basename "$r").mp4"
  done
}
run_mkvmerge() {
  for r in "${records[@]}"; do
    mapfile -t files < <(find "$r" -name 'F*.mp4' | sort)
    args=("${files[0]}")
    for f in "${files[@]:1}"; do args+=(+ "$f"); done
    mkvmerge -q -o "$out/$(basename "$r").mkv" "${args[@]}" >/dev/null
  done
}

tools=(orvo cat dd ffmpeg mkvmerge)
[ -n "$reference" ] && tools+=(reference)
declare -A times
for round in $(seq "$rounds"); do
  for tool in "${tools[@]}"; do
    fresh
    t0=$(now)
    "run_$tool"
    t1=$(now)
    times[$tool]+="$(echo "$t1 - $t0" | bc) "
  done
  echo "round $round done"
done

median() { tr ' ' '\n' | grep -v '^$' | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
m_orvo=$(echo "${times[orvo]}" | median)
m_cat=$(echo "${times[cat]}" | median)
m_dd=$(echo "${times[dd]}" | median)
m_ffmpeg=$(echo "${times[ffmpeg]}" | median)
m_mkv=$(echo "${times[mkvmerge]}" | median)
echo
printf '%-12s %8s s  %6s x cat\n' orvo-convert "$m_orvo" "$(echo "scale=2; $m_orvo / $m_cat" | bc)"
printf '%-12s %8s s  %6s x cat\n' cat "$m_cat" 1.00
printf '%-12s %8s s  %6s x cat\n' dd "$m_dd" "$(echo "scale=2; $m_dd / $m_cat" | bc)"
printf '%-12s %8s s  %6s x cat\n' ffmpeg "$m_ffmpeg" "$(echo "scale=2; $m_ffmpeg / $m_cat" | bc)"
printf '%-12s %8s s  %6s x cat\n' mkvmerge "$m_mkv" "$(echo "scale=2; $m_mkv / $m_cat" | bc)"
echo "orvo-convert is $(echo "scale=1; $m_ffmpeg / $m_orvo" | bc) times faster than ffmpeg"
echo "orvo-convert takes $(echo "scale=2; $m_orvo / $m_dd" | bc) times as long as dd"
if [ -n "$reference" ]; then
  m_ref=$(echo "${times[reference]}" | median)
  printf '%-12s %8s s  %6s x cat\n' reference "$m_ref" "$(echo "scale=2; $m_ref / $m_cat" | bc)"
  echo "orvo-convert takes $(echo "scale=3; $m_orvo / $m_ref" | bc) times as long as the reference"
fi

fresh
peak=$( { /usr/bin/time -f '%M' "$convert" --all "$card" "$out" 2>&1 >/dev/null; } | tail -1)
echo "orvo-convert peak memory: $((peak / 1024)) MiB"

echo
catalog=$work/catalog
"$mkcard" --catalog-only --records 10000 "$catalog" | tail -1
"$convert" --list "$catalog" >/dev/null # warm the cache
t0=$(now)
"$convert" --list "$catalog" >/dev/null
t1=$(now)
echo "scan and list of 10,000 records: $(echo "$t1 - $t0" | bc) s"
rm -rf "$work"
