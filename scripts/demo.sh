#!/usr/bin/env bash
# Builds the simulator and runs its scripted walk against the bundled demo server.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" >/dev/null
cmake --build "$BUILD_DIR" -j "$(nproc)" --target tovira-sim >/dev/null
exec "$BUILD_DIR/tovira-sim" --walk "$@"
