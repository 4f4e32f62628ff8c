#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz": clang, ASan, UBSan), replays
# each target's corpus in fuzz/corpus/<target>, then fuzzes it for SECONDS
# (default 30). New inputs are kept in build-fuzz/corpus/<target>; a crash or
# a wrong result stops the run with its input in build-fuzz/crashes/<target>/
# (add it to fuzz/corpus/<target> once mended). Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
cmake --preset fuzz > /dev/null
cmake --build --preset fuzz
# Files the targets write (settings) go to memory, not to disk.
if [ -d /dev/shm ]; then export TMPDIR=/dev/shm; fi
export XDG_RUNTIME_DIR
XDG_RUNTIME_DIR=$(mktemp -d)
trap 'rm -rf "$XDG_RUNTIME_DIR" /dev/shm/drvx-fuzz-settings-*' EXIT
for target in settings groups call_list call_stack recording project commands; do
  program=build-fuzz/bin/fuzz_$target
  corpus=fuzz/corpus/$target
  found=build-fuzz/corpus/$target
  crashes=build-fuzz/crashes/$target
  mkdir -p "$found" "$crashes"
  dict=()
  if [ -f "fuzz/dict/$target.dict" ]; then dict=(-dict="fuzz/dict/$target.dict"); fi
  "$program" -runs=0 "$corpus" > "build-fuzz/$target.replay.log" 2>&1 ||
    { cat "build-fuzz/$target.replay.log"; echo "fuzz_$target: the corpus fails"; exit 1; }
  if ! "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
       -artifact_prefix="$crashes/" "${dict[@]}" "$found" "$corpus" > "build-fuzz/$target.log" 2>&1; then
    tail -n 40 "build-fuzz/$target.log"
    echo "fuzz_$target: found a fault; its input is in $crashes"
    exit 1
  fi
  echo "fuzz_$target: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "build-fuzz/$target.log"), corpus replayed, no fault"
done
