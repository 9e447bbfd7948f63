// The commands that look for the printer rather than talk to a known one:
// `ports` lists what the setup dialog would offer, `find` probes ports and
// speeds for a printer that answers.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "serial/SerialBackend.h"
#include "serial/TraceBackend.h"

// The speeds `find` tries, most likely first, when it is given none.
std::vector<TBaudRate> DefaultProbeSpeeds();

// The platform's serial line, traced when `trace` is given.
std::unique_ptr<SerialBackend> PrinterLine(TraceOutput* trace);

// One port a line on standard output, with what the system knows of it.
int RunPorts();
// Probes each port at each speed with one clock request; prints every port
// and speed where a printer answered, with its clock. 0 when one answered.
int RunFind(const std::vector<std::string>& ports, const std::vector<TBaudRate>& speeds,
            TraceOutput* trace);
