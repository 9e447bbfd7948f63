// Where the program and its companions meet on this machine: a path in the
// user's runtime directory ($XDG_RUNTIME_DIR/NAME), or /tmp/NAME-<uid> when
// that variable is unset. Used for the virtual serial ports and the
// "YellowMsg" notice lock.
#pragma once

#include <string>

std::string RuntimePath(const std::string& name);
