#include "framework/RuntimeDir.h"

#include <unistd.h>

#include <cstdlib>

std::string RuntimePath(const std::string& name) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime) return std::string(runtime) + "/" + name;
  return "/tmp/" + name + "-" + std::to_string(getuid());
}
