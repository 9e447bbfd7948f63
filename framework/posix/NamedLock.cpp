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
  const int fd = open(path_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  handle_ = fd;
  int rc;
  do {
    rc = flock(fd, LOCK_EX | LOCK_NB);
  } while (rc != 0 && errno == EINTR);
  held_ = rc == 0;
  return held_;
}

void NamedLock::Release() {
  if (handle_ < 0) return;
  const int fd = static_cast<int>(std::exchange(handle_, -1));
  if (held_) flock(fd, LOCK_UN);
  held_ = false;
  close(fd);
}
