// What every test program may share without a window: a private runtime
// directory and a look at a lock from another process. A core test program
// links test_support and gets a main that runs its tests in a
// TemporaryRuntimeDir.
#pragma once

#include <functional>
#include <optional>
#include <string>

// While it lives, XDG_RUNTIME_DIR names a fresh empty folder of its own, so
// the "YellowMsg" lock and the published ports are the test's alone, away
// from a real program's and from other tests'. Afterwards the folder is gone
// and the variable is as it was. Throws std::runtime_error when the folder
// cannot be made.
class TemporaryRuntimeDir {
 public:
  TemporaryRuntimeDir();
  ~TemporaryRuntimeDir();
  TemporaryRuntimeDir(const TemporaryRuntimeDir&) = delete;
  TemporaryRuntimeDir& operator=(const TemporaryRuntimeDir&) = delete;

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  std::optional<std::string> previous_;
};

// Whether another process could take the flock(2) lock on `path` right now,
// asked from a child process as another program would.
bool OtherProcessCanTake(const std::string& path);

// Runs `run` (which runs the tests) with a TemporaryRuntimeDir for the whole
// run; 1 when no runtime directory can be made.
int WithPrivateRuntimeDir(const std::function<int()>& run);
