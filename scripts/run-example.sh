#!/usr/bin/env bash
# Builds the host and the plug-in, then runs the host on the example project:
# the tour script first, then a prompt when standard input is a terminal.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default > /dev/null
cmake --build --preset default --target dravolex-host
args=(examples/Shop/Shop.mmproj -s examples/Shop/tour.drvx)
if [ -t 0 ]; then args+=(-i); fi
exec build/bin/dravolex-host "${args[@]}"
