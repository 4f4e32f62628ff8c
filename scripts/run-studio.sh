#!/usr/bin/env bash
# Builds the desktop host and opens it on the example project (needs a
# display; the main job, scripts/run-example.sh, stays headless).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run-studio.sh: no display (DISPLAY or WAYLAND_DISPLAY); try: xvfb-run bash scripts/run-studio.sh" >&2
  exit 2
fi
cmake --preset default > /dev/null
cmake --build --preset default --target dravolex-studio
exec build/bin/dravolex-studio examples/Shop/Shop.mmproj "$@"
