#!/usr/bin/env bash
# Playing a record straight from a card: laying it out (a record of SIZE_MIB,
# default 2048, MiB in 20-second fragments, and one of 100 one-second
# fragments) against reading the same index boxes alone, then the player
# window on the long record against one of a single fragment: first frame,
# seeks, stalls of the event loop and memory; and a 60-second clip from the
# middle of the long record (orvo-convert --clip) against copying the clip's
# bytes as a plain file (cp), the floor of writing them; and an evidence
# package of that clip (originals copied, read back and hashed, the clip,
# the report, SHA256SUMS) against copying the same files with cp and
# hashing them with sha256sum.
set -euo pipefail
cd "$(dirname "$0")/.."
size_mib=${SIZE_MIB:-2048}
work=${BENCH_DIR:-/tmp/orvo-player-bench}

scripts/install-deps.sh
# A build with the window of its own (the other benchmarks build the core
# alone in build-release).
cmake -S . -B build-release-ui -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVO_BUILD_TESTS=OFF \
  -DORVO_BUILD_BENCH=ON >/dev/null
cmake --build build-release-ui -j "$(nproc)" \
  --target orvo-mkcard orvo-convert bench_virtual_open bench_player_stalls >/dev/null
mkcard=build-release-ui/tools/cardgen/orvo-mkcard

rm -rf "$work"
mkdir -p "$work"
fragments=$(((size_mib + 9) / 10)) # a 20-second fragment of the bench preset holds about 10 MiB
"$mkcard" --preset bench --records 1 --size-mib "$size_mib" --fragments "$fragments" \
  "$work/long" | tail -1
"$mkcard" --preset sample --records 1 --fragments 100 --fragment-seconds 1 "$work/hundred" | tail -1
"$mkcard" --preset bench --records 1 --fragments 1 "$work/one" | tail -1

build-release-ui/bench/bench_virtual_open --rounds "${ROUNDS:-9}" "$work/long" "$work/hundred"
QT_QPA_PLATFORM=offscreen build-release-ui/bench/bench_player_stalls --seeks "${SEEKS:-20}" \
  "$work/long" "$work/one" 2>&1 | grep -v -e '^qt\.' -e 'QStandardPaths' -e 'PulseAudio' \
  -e 'RHI' -e 'does not support'

source bench/common.sh
convert=build-release-ui/tools/orvo-convert/orvo-convert
middle=$((size_mib / 10 * 20 / 2)) # seconds into the long record
c=() f=()
for ((i = 0; i < ${ROUNDS:-5}; i++)); do
  c+=("$(seconds "$convert" --clip "+$middle+-30" --only 0 "$work/long" "$work/out")")
  clip=$(find "$work/out" -name '*_C.mp4' | head -n 1)
  cp "$clip" "$work/clip.mp4"
  start=$(date +%s.%N)
  cp "$work/clip.mp4" "$work/out/copy.mp4" && sync -f "$work/out/copy.mp4"
  f+=("$(echo "$(date +%s.%N) - $start" | bc)")
done
cm=$(printf '%s\n' "${c[@]}" | median)
fm=$(printf '%s\n' "${f[@]}" | median)
echo "60 s clip from the middle: orvo-convert --clip $cm s (scan included), copy of its" \
  "$(($(stat -c %s "$work/clip.mp4") >> 20)) MiB $fm s, ratio $(echo "scale=2; $cm / $fm" | bc)"

e=() g=()
for ((i = 0; i < ${ROUNDS:-5}; i++)); do
  e+=("$(seconds "$convert" --evidence "$work/out" --clip "+$middle+-30" --only 0 "$work/long")")
  package=$(find "$work/out" -maxdepth 1 -name '*_evidence' | head -n 1)
  cp -r "$package" "$work/package-copy"
  start=$(date +%s.%N)
  cp -r "$work/package-copy" "$work/out/plain" && sync -f "$work/out/plain" &&
    (cd "$work/out/plain" && find . -type f -exec sha256sum {} + >/dev/null)
  g+=("$(echo "$(date +%s.%N) - $start" | bc)")
  rm -rf "$work/package-copy"
done
em=$(printf '%s\n' "${e[@]}" | median)
gm=$(printf '%s\n' "${g[@]}" | median)
echo "evidence package of the 60 s clip: orvo-convert --evidence $em s, cp and sha256sum of" \
  "the same files $gm s, ratio $(echo "scale=2; $em / $gm" | bc)"
