#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "serial/PortNames.h"
#include "serial/posix/VirtualPorts.h"

namespace {

// Points the runtime directory somewhere known for the life of a test.
class RuntimeDirScope {
 public:
  explicit RuntimeDirScope(const char* value) {
    if (const char* old = std::getenv("XDG_RUNTIME_DIR")) saved_ = old, hadValue_ = true;
    if (value)
      ::setenv("XDG_RUNTIME_DIR", value, 1);
    else
      ::unsetenv("XDG_RUNTIME_DIR");
  }
  ~RuntimeDirScope() {
    if (hadValue_)
      ::setenv("XDG_RUNTIME_DIR", saved_.c_str(), 1);
    else
      ::unsetenv("XDG_RUNTIME_DIR");
  }

 private:
  std::string saved_;
  bool hadValue_ = false;
};

struct NameCase {
  const char* name;
  std::string path;
};

TEST(PortDevicePath, MapsEveryKindOfName) {
  RuntimeDirScope runtime("/run/user/4242");
  const std::string virtualDir = "/run/user/4242/serial-ports";
  const NameCase cases[] = {
      {"/dev/pts/7", "/dev/pts/7"},  // a path is used as is
      {"ports/ttyX", "ports/ttyX"},
      {"COM1", "/dev/ttyS0"},  // the first built-in port
      {"COM10", "/dev/ttyS9"},
      {"null", "/dev/null"},  // an existing device under /dev
      {"ttyFP0", virtualDir + "/ttyFP0"},
      // Not built-in port names: no COM0, no leading zeros, no trailing text.
      {"COM0", virtualDir + "/COM0"},
      {"COM01", virtualDir + "/COM01"},
      {"COM1x", virtualDir + "/COM1x"},
      {"COM", virtualDir + "/COM"},
      {"", ""},  // fails to open like a missing device
  };
  for (const NameCase& c : cases) EXPECT_EQ(PortDevicePath(c.name), c.path) << '"' << c.name << '"';
}

TEST(VirtualPortDirectory, FallsBackToTmpWithoutRuntimeDir) {
  const std::string fallback = "/tmp/serial-ports-" + std::to_string(::getuid());
  {
    RuntimeDirScope runtime(nullptr);
    EXPECT_EQ(VirtualPortDirectory(), fallback);
  }
  {
    RuntimeDirScope runtime("");
    EXPECT_EQ(VirtualPortDirectory(), fallback);
  }
  RuntimeDirScope runtime("/run/user/7");
  EXPECT_EQ(VirtualPortDirectory(), "/run/user/7/serial-ports");
}

}  // namespace
