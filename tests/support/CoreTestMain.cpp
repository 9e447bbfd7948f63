// The main of a core test program: every test in a private runtime
// directory, so published ports and locks are the run's alone.
#include <gtest/gtest.h>

#include <iostream>
#include <optional>
#include <stdexcept>

#include "tests/support/TestSupport.h"

int main(int argc, char** argv) {
  std::optional<TemporaryRuntimeDir> runtime;
  try {
    runtime.emplace();
  } catch (const std::runtime_error& error) {
    std::cerr << error.what() << "\n";
    return 1;
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
