#!/usr/bin/env bash
# Time the converter spends waiting rather than working: converts the sample
# card ROUNDS times into a folder in memory (so that disk writes cost next to
# nothing) and prints, per run and as medians, the wall time, the CPU time
# (user + system) and their difference. With ORVO_REFERENCE naming another
# orvo-convert (an earlier build), that one is timed in the same rounds.
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${ROUNDS:-9}
work=$(mktemp -d /dev/shm/orvo-idle-XXXXXX)
trap 'rm -rf "$work"' EXIT

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVO_BUILD_UI=OFF \
  -DORVO_BUILD_TESTS=OFF >/dev/null
cmake --build build-release -j "$(nproc)" --target orvo-mkcard orvo-convert >/dev/null
build-release/tools/cardgen/orvo-mkcard --preset sample "$work/card" | tail -1
du -sh "$work/card"

# Wall and CPU time of each run, to the microsecond, from the child's own
# accounting (wait4).
measure() { # tool label
  python3 - "$1" "$2" "$rounds" "$work" <<'PY'
import os, shutil, statistics, subprocess, sys, time
tool, label, rounds, work = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
has_all = b"--all" in subprocess.run([tool, "--help"], capture_output=True).stdout
walls, idles = [], []
for _ in range(rounds):
    out = os.path.join(work, "out")
    shutil.rmtree(out, ignore_errors=True)
    os.mkdir(out)
    # --all where the tool knows it: the card is marked after the first run.
    args = [tool] + (["--all"] if has_all else []) + [os.path.join(work, "card"), out]
    start = time.perf_counter()
    pid = subprocess.Popen(args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).pid
    _, status, usage = os.wait4(pid, 0)
    wall = time.perf_counter() - start
    walls.append(wall)
    idles.append(wall - usage.ru_utime - usage.ru_stime)
print(f"{label:<12} wall {statistics.median(walls)*1000:7.1f} ms, "
      f"wall - CPU {statistics.median(idles)*1000:6.1f} ms (medians of {rounds})")
PY
}
measure build-release/tools/orvo-convert/orvo-convert orvo-convert
if [ -n "${ORVO_REFERENCE:-}" ]; then
  measure "$ORVO_REFERENCE" reference
fi
