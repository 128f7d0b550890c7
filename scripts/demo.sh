#!/usr/bin/env bash
# Installs what is missing, builds the simulator and runs its scripted walk against the bundled
# demo server. The build's progress goes to the error stream, the walk to standard output; the
# walk ends with a summary line ("walk: 151 steps, 0 failed"), and the exit status is 1 when a
# step failed (nothing to tap, an unknown command, a malformed target, ...).
# BUILD_DIR and JOBS (default: the number of cores) may be set by the caller.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
BUILD_DIR=${BUILD_DIR:-build}
JOBS=${JOBS:-$(nproc)}
cmake -S . -B "$BUILD_DIR" >/dev/null
cmake --build "$BUILD_DIR" -j "$JOBS" --target tovira-sim >&2
exec "$BUILD_DIR/tovira-sim" --walk "$@"
