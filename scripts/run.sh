#!/usr/bin/env bash
# Builds Veltrane and starts it, on the folder given (if any).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja ${CMAKE_ARGS:-}
cmake --build "$BUILD_DIR" -j "$(nproc)" --target veltrane
exec "$BUILD_DIR/app/veltrane/veltrane" "$@"
