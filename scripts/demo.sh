#!/usr/bin/env bash
# Installs what is missing, builds the program and shows it doing its main
# job: a sample card is generated, its recordings are listed and converted
# into MP4 files, and ffprobe shows what came out. Then the program's window
# opens on that card, with a settings profile of its own in the temporary
# folder (the user's own settings are never touched).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$(nproc)" --target orvo-mkcard orvo-convert orvo

work=$(mktemp -d /tmp/orvo-demo-XXXXXX)
card=$work/card
out=$work/converted
mkdir -p "$out"

echo "== Generating a sample card in $card"
build/tools/cardgen/orvo-mkcard --preset sample "$card"

echo
echo "== Recordings on the card"
build/tools/orvo-convert/orvo-convert --list "$card"

echo
echo "== Converting every recording into $out"
build/tools/orvo-convert/orvo-convert "$card" "$out" || true

echo
echo "== What came out"
for f in "$out"/*; do
  case "$f" in
    *.mp4)
      printf '%s: ' "$(basename "$f")"
      ffprobe -v error -show_entries stream=codec_name,width,height,sample_rate,channels:format=duration \
        -of compact=p=0:nk=1 "$f" | paste -sd ' ' ;;
    *) echo "$(basename "$f") (GPS track)" ;;
  esac
done
echo
echo "The card is in $card, the MP4 files in $out."

# The window reads its settings from ORVO_SETTINGS_FILE: input folder the
# card, output folder a fresh temporary folder.
window_out=$work/window-output
mkdir -p "$window_out" "$work/run"
profile=$work/orvo-settings.ini
cat >"$profile" <<INI
[ORVO-V264O4_TFT_V1]
LANGUAGE=0
IN_PATH=$card/
OUT_PATH=$window_out/
FILE_MASK=%D_%T
AUTOSCAN=1
INI

echo
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "== No display: the window is not opened. To open it on the card later:"
  echo "   (cd $work/run && ORVO_SETTINGS_FILE=$profile $PWD/build/orvo)"
  exit 0
fi
echo "== Opening the window on $card (output into $window_out); close it to end the demo"
(cd "$work/run" && ORVO_SETTINGS_FILE="$profile" "$OLDPWD/build/orvo")
