#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: the normal build with
# the window, as the package is built (Release); the Debian package made from
# it and checked; the core for Windows, tested under Wine against the normal
# build's output; every test again under AddressSanitizer and
# UndefinedBehaviorSanitizer; the core alone, without Qt, under
# ThreadSanitizer; and each fuzzer for a bounded time. Every build treats
# warnings as errors.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)
fuzz_seconds=${ORVO_FUZZ_SECONDS:-60}

scripts/install-deps.sh

step() { echo; echo "=== $* ==="; }

step "build and test"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVO_WERROR=ON >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

# Installing needs root or sudo; the check removes the package again.
step "Debian package"
install=()
if [ "$(id -u)" -eq 0 ] || sudo -n true 2>/dev/null; then
  install=(--install)
fi
scripts/check-package.sh "${install[@]}" build

# The core, orvo-convert and the core tests for Windows, run under Wine; the
# Windows converter must write what the Linux one wrote.
step "Windows build (MinGW-w64), tested under Wine"
scripts/check-windows.sh build build-win

step "every test under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVO_WERROR=ON \
  -DORVO_BUILD_BENCH=OFF "-DORVO_SANITIZE=address;undefined" >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$root/scripts/lsan-suppressions.txt \
  UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir build-asan --output-on-failure -j "$jobs" -LE slow

# This build leaves Qt out, so it also proves that the core builds and
# passes its tests alone.
step "core without Qt, under ThreadSanitizer"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVO_WERROR=ON \
  -DORVO_BUILD_BENCH=OFF -DORVO_BUILD_UI=OFF -DORVO_SANITIZE=thread >/dev/null
cmake --build build-tsan -j "$jobs"
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build-tsan --output-on-failure -j "$jobs" -LE slow

if ls fuzz/*.cpp >/dev/null 2>&1; then
  step "fuzzers, ${fuzz_seconds} s each"
  CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DORVO_WERROR=ON -DORVO_BUILD_FUZZ=ON -DORVO_BUILD_UI=OFF -DORVO_BUILD_TESTS=OFF \
    -DORVO_BUILD_BENCH=OFF >/dev/null
  cmake --build build-fuzz -j "$jobs"
  scripts/run-fuzzers.sh build-fuzz "$fuzz_seconds"
fi

step "all tests passed"
