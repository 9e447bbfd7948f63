// What fptool needs to know about its console, per platform.
#pragma once

// Whether standard input is a terminal, so that a person is there to answer.
bool StandardInputIsTerminal();
