#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace kovo::ipc {
struct StateBlock;
}

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

// `kovoctl state set`: the keys of `j` replace the block's values. The
// comment is stored as the program stores typed text; `refused` counts its
// characters left out. False, with the reason, for a bad key or value.
bool mergeState(const nlohmann::json& j, kovo::ipc::StateBlock& b, std::string& error,
                int& refused);

} // namespace kovoctl
