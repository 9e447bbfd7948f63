// fptool.exe prints the very bytes the Linux fptool prints: standard output
// is binary, so a line ends in LF alone and no device byte is translated.
// Standard input stays text, so batch lines from a Windows file lose their CR.
// Set before main runs, by this file's presence in the Windows build.
#include <fcntl.h>
#include <io.h>
#include <stdio.h>

namespace {

const int kStandardOutputMode = _setmode(_fileno(stdout), _O_BINARY);

}  // namespace
