#!/usr/bin/env bash
# Installs every Debian package that the build, the simulator, the tests and the maintainers'
# tools (fuzzing, coverage, load for the busy-machine runs) use. Quick when all are there: it asks
# apt only for what is missing. scripts/demo.sh and scripts/test.sh call it first.
set -euo pipefail
packages=(
  build-essential cmake pkg-config ccache git
  nettle-dev libcurl4-openssl-dev libsqlite3-dev zlib1g-dev
  libplist-dev libpng-dev libjpeg62-turbo-dev libgif-dev libwebp-dev libtiff-dev libgdk-pixbuf-2.0-dev libicu-dev nlohmann-json3-dev rapidjson-dev
  libcpp-httplib-dev libssl-dev libbrotli-dev libzxing-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  python3
  clang libclang-rt-dev clang-16 libclang-rt-16-dev gcovr stress-ng
)
installed=" $(dpkg-query -W -f='${Package}:${db:Status-Status} ' "${packages[@]}" 2>/dev/null || true)"
missing=()
for package in "${packages[@]}"; do
  [[ "$installed" == *" $package:installed "* ]] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-deps: installing ${missing[*]}" >&2
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
