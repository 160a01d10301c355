#!/usr/bin/env bash
# Builds Veltrane and runs every test. BUILD_DIR and CMAKE_ARGS may be set.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja ${CMAKE_ARGS:-}
cmake --build "$BUILD_DIR" -j "$(nproc)"
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)"
