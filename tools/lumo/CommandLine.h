// The lumo command line: "build" makes a projector from a project file, "inspect" prints
// the record of a built projector. Exit codes: 0 done, 1 output not written, 2 bad input.
#pragma once

#include <string>
#include <vector>

namespace lumo::builder {

enum ExitCode : int { kExitOk = 0, kExitWriteFailed = 1, kExitBadInput = 2 };

// `args` are the arguments after the program name, in UTF-8.
int runCommandLine(const std::vector<std::string>& args);

}  // namespace lumo::builder
