// The main of a core test program: every test in a private runtime
// directory, so published ports and locks are the run's alone.
#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

int main(int argc, char** argv) {
  return WithPrivateRuntimeDir([&] {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
  });
}
