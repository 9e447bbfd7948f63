// The "YellowMsg"-style lock on Windows: a named mutex, owned while held.
#include <windows.h>

#include <gtest/gtest.h>

#include <future>

#include "framework/NamedLock.h"

namespace {

// Whether another holder could take the mutex right now (asked from another
// thread: a mutex's owner may take it again).
bool OtherHolderCanTake(const std::string& name) {
  return std::async(std::launch::async,
                    [&] {
                      NamedLock other(name);
                      return other.Acquire();
                    })
      .get();
}

TEST(NamedLock, IsTheNamedMutexHeldUntilReleased) {
  const std::string name = "FpToolTestLock" + std::to_string(GetCurrentProcessId());
  NamedLock lock(name);
  EXPECT_EQ(lock.Path(), name);
  ASSERT_TRUE(lock.Acquire());
  EXPECT_TRUE(lock.Held());
  EXPECT_FALSE(OtherHolderCanTake(name));

  HANDLE seen = OpenMutexW(SYNCHRONIZE, FALSE, std::wstring(name.begin(), name.end()).c_str());
  EXPECT_NE(seen, nullptr);  // other programs find it by its name
  if (seen) CloseHandle(seen);

  lock.Release();
  EXPECT_FALSE(lock.Held());
  EXPECT_TRUE(OtherHolderCanTake(name));
  lock.Release();  // harmless twice
}

}  // namespace
