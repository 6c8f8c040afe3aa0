#!/usr/bin/env bash
# Builds the program and takes pictures of its main window's pages and of its
# dialogs under a virtual X server, in English and in Russian, into
# docs/screenshots: a generated card with records (some converted, some
# checked), a configuration file and firmware on it and firmware files on the
# disk, then a conversion under way. The program saves the pictures itself
# (ORVO_SCREENSHOT_DIR) with a settings profile of its own; the user's
# settings are not touched.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j 2 --target orvo orvo-mkcard orvo-convert

out=docs/screenshots
mkdir -p "$out"
work=$(mktemp -d /tmp/orvo-shots-XXXXXX)
trap 'rm -rf "$work"' EXIT
# An empty working folder: no language files, no stored overrides.
mkdir -p "$work/run"
# A converted file for the utilities page to test.
mkdir -p "$work/card" "$work/videos"
build/tools/cardgen/orvo-mkcard --records 1 "$work/card" >/dev/null
build/tools/orvo-convert/orvo-convert --quiet "$work/card" "$work/videos" >/dev/null
test_file=$(find "$work/videos" -name '*.mp4' | sort | head -n 1)

# The program's folder holds firmware files, as "on disk" means.
for v in 101 102; do
  printf 'ORVO PLACEHOLDER FIRMWARE %s\n' "$v" >"$work/run/orvo-v264o4_tft_v$v.fw"
done

shoot() { # tag language-index
  local profile="$work/$1.ini" card="$work/card-$1"
  rm -rf "$card" "$work/out"
  mkdir -p "$card" "$work/out"
  # Sixty records with varied marks; their configuration and firmware.
  build/tools/cardgen/orvo-mkcard --records 60 --seed 3 "$card" >/dev/null
  # Some records lack a fragment (they convert partly), and one record
  # folder has an empty record file (it is listed as unreadable).
  find "$card" -path '*/DIR00000/F0000001.mp4' | sort | awk 'NR % 5 == 0' | xargs -r rm -f
  mkdir -p "$card/R00009999_D210316_T235900"
  : >"$card/R00009999_D210316_T235900/record.dat"
  printf 'RECORD_MODE = 2\r\nVSOURCE = 1\r\nOSD_STR1 = " BUS 42 LINE 7"\r\n' \
    >"$card/orvo-v264o4_tft_v1.cfg"
  printf 'ORVO PLACEHOLDER FIRMWARE 100\n' >"$card/orvo-v264o4_tft_v100.fw"
  printf '[ORVO-V264O4_TFT_V1]\nLANGUAGE=%s\nIN_PATH=%s/\nOUT_PATH=%s/\nAUTOSCAN=1\n' \
    "$2" "$card" "$work/out" >"$profile"
  (cd "$work/run" &&
    ORVO_SETTINGS_FILE="$profile" ORVO_SCREENSHOT_DIR="$PWD/../shots" ORVO_SCREENSHOT_TAG="$1" \
      ORVO_SCREENSHOT_TEST_FILE="$test_file" \
      xvfb-run -a -s "-screen 0 1280x1024x24" "$OLDPWD/build/orvo")
}

shoot en 0
shoot ru 1
cp "$work"/shots/*.png "$out"/
ls -1 "$out"
