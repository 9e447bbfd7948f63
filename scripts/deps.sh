#!/usr/bin/env bash
# Installs the Debian packages the project needs to build and test on Linux,
# only those that are missing.
set -euo pipefail
cd "$(dirname "$0")/.."

exec scripts/lib/apt-install.sh \
  build-essential cmake ninja-build pkg-config \
  qt6-base-dev libgl-dev \
  libgtest-dev libgmock-dev googletest \
  libbenchmark-dev \
  clang libclang-rt-dev \
  fonts-dejavu-core
