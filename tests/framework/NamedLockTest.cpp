// The named lock as programs beside this one see it: held, free, and never
// left behind by a holder that died.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "framework/NamedLock.h"
#include "tests/support/TestSupport.h"

namespace {

class NamedLockTest : public ::testing::Test {
 protected:
  TemporaryRuntimeDir runtime_;
  const std::string dir_ = runtime_.Path();
};

TEST_F(NamedLockTest, OtherProcessesSeeItHeldUntilReleased) {
  NamedLock lock("YellowMsg");
  EXPECT_EQ(lock.Path(), dir_ + "/YellowMsg");
  ASSERT_TRUE(lock.Acquire());
  EXPECT_TRUE(lock.Held());
  EXPECT_FALSE(OtherProcessCanTake(lock.Path()));
  lock.Release();
  EXPECT_FALSE(lock.Held());
  EXPECT_TRUE(OtherProcessCanTake(lock.Path()));
  // A fresh acquire after a release works again.
  EXPECT_TRUE(lock.Acquire());
  EXPECT_FALSE(OtherProcessCanTake(lock.Path()));
}

TEST_F(NamedLockTest, SecondHolderDoesNotGetItAndDoesNotFreeIt) {
  NamedLock first("YellowMsg");
  NamedLock second("YellowMsg");
  ASSERT_TRUE(first.Acquire());
  EXPECT_FALSE(second.Acquire());
  second.Release();
  EXPECT_FALSE(OtherProcessCanTake(first.Path()));
}

TEST_F(NamedLockTest, HolderThatDiesLeavesItFree) {
  const std::string path = NamedLock("YellowMsg").Path();
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  pid_t pid = fork();
  if (pid == 0) {
    NamedLock lock("YellowMsg");
    char held = lock.Acquire() ? 1 : 0;
    (void)!write(ready[1], &held, 1);
    pause();  // killed while holding
    _exit(0);
  }
  char held = 0;
  ASSERT_EQ(read(ready[0], &held, 1), 1);
  ASSERT_EQ(held, 1);
  EXPECT_FALSE(OtherProcessCanTake(path));
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  EXPECT_TRUE(OtherProcessCanTake(path));
  close(ready[0]);
  close(ready[1]);
}

TEST_F(NamedLockTest, PlantedSymlinkIsNotFollowed) {
  const std::string target = dir_ + "/someone-elses-file";
  std::filesystem::create_symlink(target, dir_ + "/YellowMsg");
  NamedLock lock("YellowMsg");
  EXPECT_FALSE(lock.Acquire());
  EXPECT_FALSE(lock.Held());
  EXPECT_FALSE(std::filesystem::exists(target));
}

}  // namespace
