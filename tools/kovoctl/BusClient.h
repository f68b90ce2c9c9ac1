#pragma once
#include <cstdio>
#include <string>
#include <vector>

// The kovoctl commands that drive a running KOVO3000 over the window bus:
// send, tune, get, names, state and shutdown.
namespace kovoctl {

bool isBusCommand(const std::string& name);
// `args` is the command line without the program name. Needs a Qt
// application object (created here when there is none).
int runBusCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

// "145.5" → 145500000; false for anything that is not a plain decimal
// number of megahertz within 32 bits of hertz.
bool parseMegahertz(const std::string& text, std::uint32_t& hz);

} // namespace kovoctl
