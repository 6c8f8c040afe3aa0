# Shared by the benchmark scripts: builds the Release core with the programs
# given, and times commands into an emptied output folder ($work/out).
# Sourced after `work` is set; sets `mkcard` and `convert`.
build_release() {
  scripts/install-deps.sh
  cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVO_BUILD_UI=OFF \
    -DORVO_BUILD_TESTS=OFF -DORVO_BUILD_BENCH=ON >/dev/null
  cmake --build build-release -j "$(nproc)" --target orvo-mkcard orvo-convert "$@" >/dev/null
  mkcard=build-release/tools/cardgen/orvo-mkcard
  convert=build-release/tools/orvo-convert/orvo-convert
}

# Seconds the command takes, run into an emptied $work/out after a sync.
seconds() {
  rm -rf "$work/out"
  mkdir -p "$work/out"
  sync
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s.%N)
  echo "$end - $start" | bc
}

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
