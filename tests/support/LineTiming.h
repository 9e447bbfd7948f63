// Small timing helpers of the tests that drive a serial line from its far end.
#pragma once

#include <chrono>
#include <thread>

// The port's line discipline takes received bytes over asynchronously; give
// it a moment before the port is expected to see (or act on) what was sent.
inline void LetLineSettle() {
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

inline std::chrono::milliseconds MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start);
}
