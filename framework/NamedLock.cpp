#include "framework/NamedLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "framework/RuntimeDir.h"

NamedLock::NamedLock(std::string name) : path_(RuntimePath(name)) {}

NamedLock::~NamedLock() {
  Release();
}

bool NamedLock::Acquire() {
  Release();
  // O_NOFOLLOW: without a runtime directory the file lives in /tmp, where a
  // planted symlink must not make us create or lock someone else's file.
  fd_ = open(path_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd_ < 0) return false;
  int rc;
  do {
    rc = flock(fd_, LOCK_EX | LOCK_NB);
  } while (rc != 0 && errno == EINTR);
  held_ = rc == 0;
  return held_;
}

void NamedLock::Release() {
  if (fd_ < 0) return;
  if (held_) flock(fd_, LOCK_UN);
  held_ = false;
  close(std::exchange(fd_, -1));
}
