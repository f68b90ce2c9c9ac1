#pragma once
#include "SimOptions.h"

#include <string>
#include <vector>

namespace kovo::sim {

enum class CommandLineResult { Run, ShowHelp, ShowDemoPlan, Error };

// Reads the program's arguments (without the program name) into *options.
CommandLineResult parseCommandLine(const std::vector<std::string>& args, SimOptions* options,
                                   std::string* error);
// The --help text: every option, the plan format and how the receiver behaves.
std::string helpText();

} // namespace kovo::sim
