#!/usr/bin/env bash
# Builds the program and takes pictures of its main window's pages and of its
# dialogs under a virtual X server, in English and in Russian, into
# docs/screenshots. The program saves the pictures itself (ORVO_SCREENSHOT_DIR)
# with a settings profile of its own; the user's settings are not touched.
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

shoot() { # tag language-index
  local profile="$work/$1.ini"
  printf '[ORVO-V264O4_TFT_V1]\nLANGUAGE=%s\n' "$2" >"$profile"
  (cd "$work/run" &&
    ORVO_SETTINGS_FILE="$profile" ORVO_SCREENSHOT_DIR="$PWD/../shots" ORVO_SCREENSHOT_TAG="$1" \
      ORVO_SCREENSHOT_TEST_FILE="$test_file" \
      xvfb-run -a -s "-screen 0 1280x1024x24" "$OLDPWD/build/orvo")
}

shoot en 0
shoot ru 1
cp "$work"/shots/*.png "$out"/
ls -1 "$out"
