#!/usr/bin/env bash
# Sets everything up, builds, and starts HALVANE-2. Without a display it runs the benchmark headless.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/app/halvane2
fi
echo "run: no display here; running the benchmark headless (build/app/halvane2-cli bench)"
exec build/app/halvane2-cli bench
