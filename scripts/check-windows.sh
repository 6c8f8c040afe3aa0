#!/usr/bin/env bash
# Builds the core, orvo-convert, orvo-mkcard and the core tests for 64-bit
# Windows with Debian's MinGW-w64 and checks them under Wine:
#   scripts/check-windows.sh LINUX_BUILD_DIR [WINDOWS_BUILD_DIR]
# LINUX_BUILD_DIR is a built and tested normal build (scripts/test.sh's
# "build"): its media cache gives the Windows tests their material (the
# Wine programs cannot start the Linux ffmpeg), and its orvo-convert is the
# reference. Checks, in order:
#   - every .exe runs alone: no MinGW runtime DLL beside the system's own;
#   - every core test program passes under Wine (checks that need ffmpeg,
#     links, FIFOs or signals skip with their reason);
#   - orvo-convert.exe converts generated cards into files byte-identical
#     to the Linux build's, marks the cards the same way, ends with the same
#     status, and ffprobe accepts every part.
# The Wine prefix lives in a temporary folder and goes at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
linux=$(realpath "${1:?usage: $0 LINUX_BUILD_DIR [WINDOWS_BUILD_DIR]}")
win=$(realpath -m "${2:-build-win}")
jobs=$(nproc)

work=$(mktemp -d)
export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
cleanup() {
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
# No window, no Mono or Gecko installer: a bare 64-bit prefix. The server
# is kept running, and with it the system's own services (the drive service
# among them), started here with nothing of ours open: a service that a test
# started would keep that test's output open, and ctest would wait for it
# forever.
mkdir -p "$WINEPREFIX"
wineserver -p
WINEARCH=win64 wineboot --init </dev/null >/dev/null 2>&1
wine cmd /c "vol c: & dir c:\\ " </dev/null >/dev/null 2>&1 || true

cmake -S . -B "$win" -G Ninja --toolchain cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DORVO_WERROR=ON -DORVO_BUILD_UI=OFF -DORVO_BUILD_BENCH=OFF >/dev/null
cmake --build "$win" -j "$jobs"

echo "--- each program runs alone"
for exe in "$win"/tools/*/*.exe "$win"/tests/*/*.exe "$win"/tests/*/*/*.exe; do
  if x86_64-w64-mingw32-objdump -p "$exe" | grep -iE 'DLL Name: (lib|.*gcc|.*stdc)'; then
    echo "$exe needs a MinGW runtime DLL" >&2
    exit 1
  fi
done

echo "--- core tests under Wine"
# Now and then Wine fails to start a test program under load: it ends at
# once without a line of output. Such a test gets one more run; a test that
# fails twice fails.
ORVO_MEDIA_CACHE=$linux/media-cache ctest --test-dir "$win" --output-on-failure -j "$jobs" \
  --repeat until-pass:2 \
  2>&1 | tee "$work/ctest.log" | grep -vE '^ *Start |Passed|^$' || true
grep -q '^100% tests passed' "$work/ctest.log"

echo "--- orvo-convert.exe writes what orvo-convert writes"
export ORVO_MEDIA_CACHE=$linux/media-cache
cd "$work"
for preset in varied damaged; do
  "$linux/tools/cardgen/orvo-mkcard" --preset "$preset" "$preset-linux" >/dev/null
  cp -a "$preset-linux" "$preset-win"
  mkdir "$preset-out-linux" "$preset-out-win"
  # A limit of 1 MiB splits every longer record into parts.
  status_linux=0 status_win=0
  "$linux/tools/orvo-convert/orvo-convert" --all --verify --limit 1 \
    "$preset-linux" "$preset-out-linux" >/dev/null 2>&1 || status_linux=$?
  wine "$win/tools/orvo-convert/orvo-convert.exe" --all --verify --limit 1 \
    "$preset-win" "$preset-out-win" >/dev/null 2>&1 || status_win=$?
  [ "$status_linux" -eq "$status_win" ] ||
    { echo "$preset: exit status $status_win on Windows, $status_linux on Linux" >&2; exit 1; }
  diff -r "$preset-out-linux" "$preset-out-win"
  diff -r "$preset-linux" "$preset-win" # the marks written back onto the card
  parts=0
  for part in "$preset-out-win"/*.mp4; do
    messages=$(ffprobe -v error -show_format -show_streams "$part" 2>&1 >/dev/null) ||
      { echo "ffprobe refuses $part" >&2; exit 1; }
    [ -z "$messages" ] || { echo "ffprobe on $part: $messages" >&2; exit 1; }
    parts=$((parts + 1))
  done
  echo "$preset: $parts parts byte-identical, exit status $status_win on both, ffprobe accepts all"
done
