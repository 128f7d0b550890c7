#!/usr/bin/env bash
# Installs every Debian package that the build, the simulator and the tests use.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends \
  build-essential cmake pkg-config ccache git \
  nettle-dev libcurl4-openssl-dev libsqlite3-dev zlib1g-dev \
  libplist-dev libpng-dev libjpeg62-turbo-dev libicu-dev nlohmann-json3-dev rapidjson-dev \
  libcpp-httplib-dev libssl-dev libbrotli-dev libzxing-dev \
  libgtest-dev libgmock-dev googletest libbenchmark-dev \
  clang libclang-rt-dev
