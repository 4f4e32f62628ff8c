#!/usr/bin/env bash
# Starts and ends the host again and again while two other processes flood
# the slot "MbDRVX" with call stacks, so that runs end with call stacks
# still on their way to the plug-in. Every run must end cleanly.
# Arguments: the build folder, the number of runs.
set -uo pipefail
build=$1
runs=$2
. "$(dirname "$0")/programs.sh"
log=$(mktemp)
flood() {
  while :; do printf 'A.x\r\nB.y\r\n' | program drvx-send 2> /dev/null; done
}
flood & first=$!
flood & second=$!
trap 'kill "$first" "$second" 2> /dev/null; wait 2> /dev/null; rm -f "$log"' EXIT
failed=0
dropped=0
for run in $(seq "$runs"); do
  if ! program dravolex-host --instant-timers -c "echo run $run" > /dev/null 2> "$log"; then
    failed=$((failed + 1))
    echo "run $run ended with a failure:"
    tail -n 5 "$log"
  fi
  grep -q "it was dropped" "$log" && dropped=$((dropped + 1))
done
echo "$runs host runs, $dropped of them ended with a call stack on its way"
echo "$((runs - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]
