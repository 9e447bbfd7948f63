// A lock other programs of the same user can observe by name; the system
// drops it when the holder dies, so a crash never leaves it held.
//
// Linux: an exclusive flock(2) on the file RuntimePath(name)
// ($XDG_RUNTIME_DIR/NAME, or /tmp/NAME-<uid> without that variable). The file
// is created on first use and never removed: removing a lock file while
// another process waits on it would let two holders in. Observers test it
// with `flock -n <path> true` (fails while held) or wait for it with
// `flock <path> true`.
// Windows: the named mutex NAME, owned while held.
#pragma once

#include <cstdint>
#include <string>

class NamedLock {
 public:
  explicit NamedLock(std::string name);
  ~NamedLock();
  NamedLock(const NamedLock&) = delete;
  NamedLock& operator=(const NamedLock&) = delete;

  // Opens the lock and takes it without waiting. False when it cannot be
  // opened or another holder has it; the caller goes on either
  // way, as with a named mutex someone else owns.
  bool Acquire();
  // Gives the lock up (when held) and closes it; harmless when neither.
  void Release();

  bool Held() const { return held_; }
  // Where the system knows the lock: the lock file's path, or the mutex's name.
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  std::intptr_t handle_ = -1;  // a descriptor, or a mutex handle; -1 when closed
  bool held_ = false;
};
