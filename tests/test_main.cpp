// The tests' main. Every test process gets a private runtime folder of its
// own, so the message slots it opens ("MbDRVX" among them) and the senders it
// starts see nothing of other processes on the machine, and other test
// processes (ctest -j) see nothing of it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "modelhost/test_support.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleMock(&argc, argv);
  drvx::test::TempDir runtime;
  ::setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
  return RUN_ALL_TESTS();
}
