// Where virtual ports live on Linux: the printer simulator and similar tools
// publish pseudo-terminals there as symbolic links named after the port.
#pragma once

#include <string>

// $XDG_RUNTIME_DIR/serial-ports, or /tmp/serial-ports-<uid> without it.
std::string VirtualPortDirectory();
