#include "tests/support/TestSupport.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <stdexcept>

namespace {

const char kRuntimeVariable[] = "XDG_RUNTIME_DIR";

std::optional<std::string> EnvironmentValue(const char* name) {
  const char* value = getenv(name);
  if (!value) return std::nullopt;
  return std::string(value);
}

}  // namespace

TemporaryRuntimeDir::TemporaryRuntimeDir() : previous_(EnvironmentValue(kRuntimeVariable)) {
  // mkdtemp makes it 0700, as Qt and the lock expect of a runtime directory.
  std::string pattern = (std::filesystem::temp_directory_path() / "gui-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) {
    throw std::runtime_error("cannot make a runtime directory: " + std::string(strerror(errno)));
  }
  path_ = pattern;
  setenv(kRuntimeVariable, path_.c_str(), 1);
}

TemporaryRuntimeDir::~TemporaryRuntimeDir() {
  if (previous_) {
    setenv(kRuntimeVariable, previous_->c_str(), 1);
  } else {
    unsetenv(kRuntimeVariable);
  }
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

bool OtherProcessCanTake(const std::string& path) {
  pid_t pid = fork();
  if (pid == 0) {
    int fd = open(path.c_str(), O_RDWR | O_CREAT, 0600);
    _exit(fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

int WithPrivateRuntimeDir(const std::function<int()>& run) {
  std::optional<TemporaryRuntimeDir> runtime;
  try {
    runtime.emplace();
  } catch (const std::runtime_error& error) {
    std::cerr << error.what() << "\n";
    return 1;
  }
  return run();
}
