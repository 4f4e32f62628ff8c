#!/usr/bin/env bash
# Builds and runs every test: optimised (and every benchmark once), and with AddressSanitizer and
# UndefinedBehaviorSanitizer; then the tests with threads under ThreadSanitizer;
# then the Windows build (mingw-w64) with its tests and the example tour
# under Wine; then replays the fuzz corpora and fuzzes each target for 20
# seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --workflow --preset default
# Every benchmark runs once, whole, so that none stops working unseen: a
# hang ends at the time limit, and a benchmark that fails (SkipWithError)
# fails the run. The figures are for people to read, not checked here.
timeout 900 bash tests/e2e/private_runtime.sh build/bin/drvx_bench > build/bench.log 2>&1 ||
  { tail -n 30 build/bench.log; echo "the benchmarks did not run whole"; exit 1; }
if grep -q "ERROR OCCURRED" build/bench.log; then grep "ERROR OCCURRED" build/bench.log; exit 1; fi
echo "every benchmark ran: build/bench.log"
cmake --workflow --preset asan
cmake --workflow --preset tsan
. scripts/wine-prefix.sh
cmake --workflow --preset windows
# Wine now and then loses a program's connection to its server ("wine client
# error"): the tour gets a second try, as each Windows test does.
windows_tour() { bash scripts/run-example.sh windows < /dev/null > build-windows/tour.log 2>&1; }
windows_tour || { echo "the Windows tour failed once; again:"; tail -n 5 build-windows/tour.log; windows_tour; } ||
  { tail -n 30 build-windows/tour.log; exit 1; }
grep -q '"sqDelphiCallStack"' build-windows/tour/build/example-output/Shop.mmproj ||
  { echo "the Windows tour drew no sqDelphiCallStack"; exit 1; }
echo "the Windows tour ran under Wine: build-windows/tour.log"
bash scripts/fuzz.sh 20
