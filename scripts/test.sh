#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test. BUILD_DIR, BUILD_TYPE,
# CMAKE_ARGS, JOBS (default: the number of cores) and the compilers CC and CXX may be set by the
# caller; the compilers count only when BUILD_DIR is configured for the first time. Besides the
# plain run, CI (.ci/run) runs the tests under AddressSanitizer and UndefinedBehaviorSanitizer
# with
#   CC=clang-16 CXX=clang++-16 BUILD_DIR=build-asan BUILD_TYPE=Debug \
#     CMAKE_ARGS="-DTOVIRA_FUZZ=ON -DTOVIRA_BENCH=OFF" \
#     ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 scripts/test.sh
# (TOVIRA_FUZZ compiles everything with both sanitizers and the fuzzer's coverage, so that the
# fuzzing harnesses share the build), and then under ThreadSanitizer with
#   BUILD_DIR=build-tsan CMAKE_ARGS="-DTOVIRA_TSAN=ON -DTOVIRA_BENCH=OFF" \
#     TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 \
#     suppressions=$PWD/tests/support/tsan.supp" scripts/test.sh
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
BUILD_DIR=${BUILD_DIR:-build}
JOBS=${JOBS:-$(nproc)}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-Debug} ${CMAKE_ARGS:-} >/dev/null
cmake --build "$BUILD_DIR" -j "$JOBS"
cd "$BUILD_DIR"
ctest --output-on-failure -j "$JOBS" --timeout 300
