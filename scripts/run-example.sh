#!/usr/bin/env bash
# Builds the host and the plug-in, then runs every command of the plug-in on
# the example project, headless (examples/Shop/tour.drvx). A call stack is
# sent to the plug-in with drvx-send on the way. What the tour writes goes to
# build/example-output; the example itself is not changed. With a terminal,
# a prompt follows the tour. After drvx-send, the example program
# traced-shop (examples/TracedShop, traced with drvx_trace) sends the calls
# that led to a reorder.
#
# "run-example.sh windows" does the same with the Windows build: cross-built
# (preset "windows"), installed into build-windows/install as on Windows
# (bin\dravolex-host.exe, bin\drvx-send.exe, bin\libdrvx_platform.dll,
# Experts\Dravolex.dll) and run under Wine in build-windows/tour, so that its
# output goes to build-windows/tour/build/example-output.
set -euo pipefail
cd "$(dirname "$0")/.."
run=()
if [ "${1:-}" = windows ]; then
  preset=windows
  build=build-windows
  . scripts/wine-prefix.sh
  run=(wine)
  exe=.exe
else
  preset=default
  build=build
  exe=
fi
cmake --preset "$preset" > /dev/null
cmake --build --preset "$preset" --target dravolex-host drvx-send traced-shop
root=$PWD
if [ "$preset" = windows ]; then
  cmake --install "$build" --prefix "$build/install" > /dev/null
  bin=$root/$build/install/bin
  work=$build/tour
else
  bin=$root/$build/bin
  work=.
fi
# The tour writes to build/example-output below the folder it runs in.
out=$work/build/example-output
out=${out#./}
rm -rf "$out"
mkdir -p "$out"
# The unit header template lives beside the host program.
cp examples/Shop/header.txt "$bin/header.txt"
# The plug-in listens once the host has started; send when it does.
(for _ in $(seq 40); do
   sleep 0.5
   "${run[@]}" "$bin/drvx-send$exe" examples/Shop/callstack.txt 2> /dev/null && break
 done
 "${run[@]}" "$bin/traced-shop$exe") &
sender=$!
args=("$root/examples/Shop/Shop.mmproj" --print-dir build/example-output
      -s "$root/examples/Shop/tour.drvx")
if [ -t 0 ]; then args+=(-i); fi
status=0
(cd "$work" && "${run[@]}" "$bin/dravolex-host$exe" "${args[@]}") || status=$?
wait "$sender" || true
cat <<SUMMARY

== What changed, and where to look
$out/Shop.mmproj
    the example project after the tour: a unit header in uOrders, try/except in
    TOrder.Submit, TProduct.Create(aInstance) and Clone, a "called by:" package on
    stOrder, the new diagrams sqAutoGen and sqDelphiCallStack (twice: the stack drvx-send
    sent, then the one traced-shop sent), the day traced-shop recorded (renamed
    sqRecordingTraced-shop<pid> with the others), and "Customer management" renamed
    csCustomerManagement
$out/documentation.txt
    the documentation of every diagram
$out/print-1-1.svg, $out/print-2.txt
    csInventory as the host prints it, then its documentation as the plug-in prints it
$out/diagrams/*.svg
    every diagram as a picture (rsvg-convert turns one into PNG); the traced program's
    call stack is sqDelphiCallStack-2.svg, its recorded day of orders sqRecordingTraced-shop*.svg
$out/sqDelphiCallStack.puml, $out/sqDelphiCallStack.mmd
    the call stack's sequence diagram as PlantUML and Mermaid text
$out/recording.puml, $out/recording.mmd
    the recorded day as PlantUML and Mermaid text: the 25 alike orders one loop
SUMMARY
exit "$status"
