#!/usr/bin/env bash
# Runs the example tour as the README's main job does: the host with the
# plug-in, and a call stack sent by drvx-send on the way.
# Arguments: the build folder, the source folder.
set -euo pipefail
build=$1
source=$2
. "$(dirname "$0")/programs.sh"
make_work_folder
cd "$work"
mkdir -p build/example-output
# The sender tries for a minute: under the sanitizers on a loaded machine the
# host may take long to open its slot.
(for _ in $(seq 120); do
   sleep 0.5
   program drvx-send "$source/examples/Shop/callstack.txt" 2> /dev/null && break
 done
 program traced-shop > /dev/null) &
program dravolex-host "$source/examples/Shop/Shop.mmproj" --print-dir build/example-output \
  -s "$source/examples/Shop/tour.drvx"
wait
test -s build/example-output/Shop.mmproj
test -s build/example-output/documentation.txt
test -s build/example-output/print-1.txt
test -s build/example-output/print-1-1.svg
test -s build/example-output/diagrams/sqDelphiCallStack.svg
grep -q "^@startuml" build/example-output/sqDelphiCallStack.puml
grep -q "^sequenceDiagram" build/example-output/sqDelphiCallStack.mmd
grep -q '"csCustomerManagement"' build/example-output/Shop.mmproj
grep -q '"sqDelphiCallStack"' build/example-output/Shop.mmproj
# traced-shop's recorded day: one diagram, its 25 orders one loop
grep -q '"sqRecording' build/example-output/Shop.mmproj
grep -q '^loop .*25$' build/example-output/recording.puml
grep -q '^    loop .*25$' build/example-output/recording.mmd
echo "tour complete"
