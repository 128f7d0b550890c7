#!/usr/bin/env bash
# Builds the libFuzzer harnesses of fuzz/ (clang, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs each for FUZZ_SECONDS seconds (default 30), starting from its seeds in fuzz/corpus/.
# Inputs that the run finds interesting go to a scratch copy, not into the repository. A crash,
# an abort, a sanitizer report, a leak or a timeout fails the script and leaves the input that
# caused it in $FUZZ_ARTIFACTS (default build-fuzz/artifacts). Give harness names to run only those.
# JOBS (default: every processor) sets the build's parallelism; BUILD_TYPE (default
# RelWithDebInfo), CC and CXX (default clang-16) the build's. A BUILD_DIR that scripts/test.sh
# built with -DTOVIRA_FUZZ=ON and the same BUILD_TYPE already holds the harnesses (CI does so),
# so the libraries are compiled once for the sanitized tests and the fuzzing.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build-fuzz}
SECONDS_EACH=${FUZZ_SECONDS:-30}
ARTIFACTS=${FUZZ_ARTIFACTS:-$BUILD_DIR/artifacts}
JOBS=${JOBS:-$(nproc)}

# Both are checked before the build: libFuzzer takes a time that is not a number as no limit at
# all, and a harness that does not exist would only fail after the build.
if ! [[ $SECONDS_EACH =~ ^[0-9]+$ ]] || [ "$((10#$SECONDS_EACH))" -eq 0 ]; then
  echo "fuzz.sh: FUZZ_SECONDS must be a positive whole number of seconds, not '$SECONDS_EACH'" >&2
  exit 2
fi
harnesses=($(ls fuzz/corpus))
if [ $# -gt 0 ]; then names=("$@"); else names=("${harnesses[@]}"); fi
for name in "${names[@]}"; do
  if ! printf '%s\n' "${harnesses[@]}" | grep -qxF -- "$name"; then
    echo "fuzz.sh: no harness '$name'; the harnesses are: ${harnesses[*]}" >&2
    exit 2
  fi
done

CC=${CC:-clang-16} CXX=${CXX:-clang++-16} cmake -S . -B "$BUILD_DIR" -DTOVIRA_FUZZ=ON -DTOVIRA_BENCH=OFF \
  -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" >/dev/null
cmake --build "$BUILD_DIR" -j "$JOBS" --target fuzzers >/dev/null
mkdir -p "$ARTIFACTS"
ARTIFACTS=$(cd "$ARTIFACTS" && pwd)

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=0
for name in "${names[@]}"; do
  mkdir -p "$scratch/$name"
  cp -r "fuzz/corpus/$name/." "$scratch/$name/"
  # Every decoder of outside bytes is budgeted to about a second of CPU and 512 MB in a Release
  # build, and the limits follow: one allocation of more than 512 MB is a finding; so is a peak of
  # more than 1 GB, twice the budget, which covers the sanitizers' shadow memory and redzones
  # (their quarantine of freed memory is kept small below, so that it does not count); and so is
  # an input that takes more than 6 s of wall time. The harnesses keep their own work well inside
  # that on two cores shared with another busy job: the image harness decodes at 1 Mi pixels, a
  # fiftieth of the app's limit, and the property-list and archive harnesses walk a value expanded
  # (XML, description) only when it is small, so that the worst input any budget lets through
  # costs about a second under the sanitizers, most of them a fraction of one. A seed that costs
  # more than about 0.3 s, as the app reads it, belongs to tovira-bench's bench/hostile/ and the
  # tests instead: the fuzzer runs every seed first, and heavy seeds would leave it no time to
  # fuzz. -max_len bounds what reading costs where nothing is shared (about 0.1 s a megabyte
  # under the sanitizers): it fits the largest image and archive seed; the plist harness reads
  # the first megabyte of the four deeply nested XML seeds that the foundation tests read whole
  # (cut there, they nest past the reader's depth as they did).
  limits=(-timeout=6 -rss_limit_mb=1024 -malloc_limit_mb=512)
  case $name in
    image) limits+=(-max_len=4194304) ;;
    plist) limits+=(-max_len=1048576) ;;
    keyed_unarchiver) limits+=(-max_len=262144) ;;
  esac
  if ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=32} \
      "$BUILD_DIR/fuzz_$name" -max_total_time="$((10#$SECONDS_EACH))" "${limits[@]}" \
      -print_final_stats=1 -artifact_prefix="$ARTIFACTS/$name-" "$scratch/$name" \
      >"$scratch/$name.log" 2>&1; then
    # A run that is mostly seeds did little fuzzing: the count of seeds is shown beside the runs.
    echo "fuzz $name: $(grep -o 'number_of_executed_units: [0-9]*' "$scratch/$name.log" | cut -d' ' -f2) runs from $(ls "fuzz/corpus/$name" | wc -l) seeds, no finding"
  else
    echo "fuzz $name: FINDING"
    tail -n 60 "$scratch/$name.log"
    failed=1
  fi
done
exit $failed
