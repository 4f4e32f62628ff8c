#!/usr/bin/env bash
# A real program nobody here wrote, traced without a change to it: GoogleTest
# (the sources Debian's libgtest-dev ships under /usr/src/googletest) with its
# first sample, the framework and the sample all built with the installed
# tracer's hook mode. Run while the host serves, with a trigger at the
# sample's IsPrime; the diagram drawn is the call chain that led there.
# Arguments: the build folder, the source folder.
set -euo pipefail
build=$1
source=$2
. "$(dirname "$0")/programs.sh"
gtest=/usr/src/googletest/googletest
make_work_folder

cmake --install "$build" --prefix "$work/prefix" > /dev/null
# shellcheck disable=SC2046
g++ -O2 -std=c++17 -pthread -I"$gtest/include" -I"$gtest" -o "$work/sample1_unittest" \
  "$gtest/src/gtest-all.cc" "$gtest/src/gtest_main.cc" \
  "$gtest/samples/sample1.cc" "$gtest/samples/sample1_unittest.cc" \
  $(PKG_CONFIG_PATH="$work/prefix/lib/pkgconfig" pkg-config --cflags --libs drvx_trace_auto)

program dravolex-host "$source/examples/Shop/Shop.mmproj" \
  -c "await 9 20000" -c "print diagram sqDelphiCallStack" > "$work/out.txt" &
host=$!
# The program sends once, when it first enters IsPrime: start it once the
# host holds the slot.
runtime=${XDG_RUNTIME_DIR:-/tmp/dravolex-$(id -u)}
for _ in $(seq 100); do
  [ -S "$runtime/mailslot.MbDRVX" ] && break
  sleep 0.1
done
DRVX_TRACE_SEND_AT='*.IsPrime' "$work/sample1_unittest" --gtest_brief=1 > "$work/tests.txt"
wait "$host"
drawn=$(tr -d '\r' < "$work/out.txt" |
  sed -n 's/^  symbol \[[0-9]*\] rolesymbol \("[^"]*"\).*/role \1/p
          s/^  association \[[0-9]*\] sequencemessage \("[^"]*"\).*/message \1/p')
# The chain as the debugger shows it at a breakpoint in IsPrime (gdb's bt,
# outermost last), read from the top down.
expected='role "System"
role "sample1_unittest"
role "testing::UnitTest"
role "testing::internal"
role "testing::internal::UnitTestImpl"
role "testing::TestSuite"
role "testing::TestInfo"
role "testing::Test"
role "(anonymous namespace)::IsPrimeTest_Negative_Test"
message "main"
message "RUN_ALL_TESTS"
message "Run"
message "HandleExceptionsInMethodIfSupported<testing::internal::UnitTestImpl, bool>"
message "HandleSehExceptionsInMethodIfSupported<testing::internal::UnitTestImpl, bool>"
message "RunAllTests"
message "Run"
message "Run"
message "Run"
message "HandleExceptionsInMethodIfSupported<testing::Test, void>"
message "HandleSehExceptionsInMethodIfSupported<testing::Test, void>"
message "TestBody"
message "IsPrime"'
if [ "$drawn" != "$expected" ]; then
  printf 'expected\n%s\nbut the diagram has\n%s\n' "$expected" "$drawn"
  exit 1
fi
grep -q "PASSED" "$work/tests.txt" || { cat "$work/tests.txt"; exit 1; }
echo "GoogleTest's sample traced and drawn"
