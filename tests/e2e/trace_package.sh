#!/usr/bin/env bash
# The installed tracer as a program's build finds it: installed into a
# prefix, a program outside the tree built with its hook mode through
# find_package(drvx_trace) and again through pkg-config, each run with a
# trigger while the host serves; the stacks they send are drawn.
# Arguments: the build folder, the source folder.
set -euo pipefail
build=$1
source=$2
. "$(dirname "$0")/programs.sh"
make_work_folder

cmake --install "$build" --prefix "$work/prefix" > /dev/null
cmake -S "$source/tests/tracer/consumer" -B "$work/cmake" -DCMAKE_PREFIX_PATH="$work/prefix" \
  -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build "$work/cmake" > /dev/null
# shellcheck disable=SC2046
mkdir -p "$work/pkg"
g++ -O2 -std=c++17 -o "$work/pkg/consumer" "$source/tests/tracer/consumer/consumer.cpp" \
  $(PKG_CONFIG_PATH="$work/prefix/lib/pkgconfig" pkg-config --cflags --libs drvx_trace_auto)

# Runs the host while the program sends (once the host holds the slot: the
# program never retries); prints the roles and messages drawn.
draw() {
  (for _ in $(seq 40); do
     sleep 0.5
     DRVX_TRACE_SEND_AT='shop::Stock.Reorder' "$1" > /dev/null && break
   done) &
  local sender=$!
  program dravolex-host "$source/examples/Shop/Shop.mmproj" \
    -c "await 9 20000" -c "print diagram sqDelphiCallStack" > "$work/out.txt"
  wait "$sender"
  tr -d '\r' < "$work/out.txt" |
    sed -n 's/^  symbol \[[0-9]*\] rolesymbol \("[^"]*"\).*/role \1/p
            s/^  association \[[0-9]*\] sequencemessage \("[^"]*"\).*/message \1/p'
}

expected='role "System"
role "consumer"
role "shop::Orders"
role "shop::Stock"
message "main"
message "Process"
message "Reserve"
message "Reorder"'
for consumer in "$work/cmake/consumer" "$work/pkg/consumer"; do
  drawn=$(draw "$consumer")
  if [ "$drawn" != "$expected" ]; then
    printf '%s: expected\n%s\nbut the diagram has\n%s\n' "$consumer" "$expected" "$drawn"
    exit 1
  fi
done
echo "installed tracer found, built with and drawn"
