#!/usr/bin/env bash
# Builds the host and the plug-in, then runs every command of the plug-in on
# the example project, headless (examples/Shop/tour.drvx). A call stack is
# sent to the plug-in with drvx-send on the way. What the tour writes goes to
# build/example-output; the example itself is not changed. With a terminal,
# a prompt follows the tour.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default > /dev/null
cmake --build --preset default --target dravolex-host drvx-send
out=build/example-output
rm -rf "$out"
mkdir -p "$out"
# The unit header template lives beside the host program.
cp examples/Shop/header.txt build/bin/header.txt
# The plug-in listens once the host has started; send when it does.
(for _ in $(seq 40); do
   sleep 0.5
   build/bin/drvx-send examples/Shop/callstack.txt 2> /dev/null && break
 done) &
sender=$!
args=(examples/Shop/Shop.mmproj --print-dir "$out" -s examples/Shop/tour.drvx)
if [ -t 0 ]; then args+=(-i); fi
status=0
build/bin/dravolex-host "${args[@]}" || status=$?
wait "$sender" || true
cat <<SUMMARY

== What changed, and where to look
$out/Shop.mmproj
    the example project after the tour: a unit header in uOrders, try/except in
    TOrder.Submit, TProduct.Create(aInstance) and Clone, a "called by:" package on
    stOrder, the new diagrams sqAutoGen and sqDelphiCallStack, and "Customer management"
    renamed csCustomerManagement
$out/documentation.txt
    the documentation of every diagram
$out/print-1-1.svg, $out/print-2.txt
    csInventory as the host prints it, then its documentation as the plug-in prints it
$out/diagrams/*.svg
    every diagram as a picture (rsvg-convert turns one into PNG)
$out/sqDelphiCallStack.puml, $out/sqDelphiCallStack.mmd
    the call stack's sequence diagram as PlantUML and Mermaid text
SUMMARY
exit "$status"
