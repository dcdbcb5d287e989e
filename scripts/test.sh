#!/usr/bin/env bash
# Sets everything up, builds, and runs the whole test suite (unit and headless GUI tests).
#   scripts/test.sh [ctest arguments...]      e.g. scripts/test.sh -L unit
# Environment: HV_BUILD_DIR picks the build directory (default build), HV_CMAKE_ARGS as in setup.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${HV_BUILD_DIR:-build}
scripts/setup.sh "$build_dir"
export QT_QPA_PLATFORM=offscreen QT_ENABLE_HIGHDPI_SCALING=0
ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)" "$@"
