#!/usr/bin/env bash
# Sets everything up, builds, and runs the whole test suite (unit and headless GUI tests).
#   scripts/test.sh [ctest arguments...]      e.g. scripts/test.sh -L unit
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build
export QT_QPA_PLATFORM=offscreen QT_ENABLE_HIGHDPI_SCALING=0
ctest --test-dir build --output-on-failure -j"$(nproc)" "$@"
