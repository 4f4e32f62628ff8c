#!/usr/bin/env bash
# Builds and runs every test twice: optimised, and with AddressSanitizer and
# UndefinedBehaviorSanitizer; then the tests with threads under ThreadSanitizer;
# then replays the fuzz corpora and fuzzes each target for 30 seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --workflow --preset default
cmake --workflow --preset asan
cmake --workflow --preset tsan
bash scripts/fuzz.sh 30
