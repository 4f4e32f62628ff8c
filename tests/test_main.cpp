// The tests' main. On Linux every test process gets a private runtime folder
// of its own, so the message slots it opens ("MbDRVX" among them) and the
// senders it starts see nothing of other processes on the machine, and other
// test processes (ctest -j) see nothing of it. Windows mailslots belong to
// the machine: there the tests that open "MbDRVX" take a CTest resource lock.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/test_support.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleMock(&argc, argv);
  drvx::test::TempDir runtime;
  drvx::test::SetEnvironment("XDG_RUNTIME_DIR", runtime.Path().string());
  return RUN_ALL_TESTS();
}
