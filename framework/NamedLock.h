// A lock other programs of the same user can observe by name: an exclusive
// flock(2) on the file RuntimePath(name) ($XDG_RUNTIME_DIR/NAME, or
// /tmp/NAME-<uid> without that variable).
//
// The file is created on first use and never removed: removing a lock file
// while another process waits on it would let two holders in. The kernel
// drops the lock when the holder closes the file or dies, so a crash never
// leaves it held. Observers test it with `flock -n <path> true` (fails while
// held) or wait for it with `flock <path> true`.
#pragma once

#include <string>

class NamedLock {
 public:
  explicit NamedLock(std::string name);
  ~NamedLock();
  NamedLock(const NamedLock&) = delete;
  NamedLock& operator=(const NamedLock&) = delete;

  // Opens the lock file and takes the lock without waiting. False when the
  // file cannot be opened or another holder has it; the caller goes on either
  // way, as with a named mutex someone else owns.
  bool Acquire();
  // Gives the lock up (when held) and closes the file; harmless when neither.
  void Release();

  bool Held() const { return held_; }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  int fd_ = -1;
  bool held_ = false;
};
