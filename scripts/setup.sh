#!/usr/bin/env bash
# Installs what HALVANE-2 needs (Debian 12 packages only), then configures and builds it.
#   scripts/setup.sh [build-dir]        (default: build)
# Environment: HV_CMAKE_ARGS adds configure arguments (e.g. -DHV_SANITIZE=ON); given, they are applied
# to an existing build directory too.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}

packages=(g++ cmake ninja-build pkg-config qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev
          fonts-ipafont-gothic xvfb xauth xdotool clang-format libcfitsio-dev qt6-svg-dev help2man
          desktop-file-utils appstream libxml2-utils man-db bash-completion
          libqt6sql6-sqlite sqlite3)
scripts/install-packages.sh setup "${packages[@]}"

if [ ! -f "$build_dir/build.ninja" ]; then
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${HV_CMAKE_ARGS:-}
elif [ -n "${HV_CMAKE_ARGS:-}" ]; then
  cmake -S . -B "$build_dir" ${HV_CMAKE_ARGS}
fi
cmake --build "$build_dir" -j"$(nproc)"
