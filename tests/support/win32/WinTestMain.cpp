// The main of a Windows test program. Under wine, linehost must run beside
// it ($FP_LINEHOST_PORT) for the tests on a real line.
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
