#pragma once
#include <cstdint>
#include <string>

namespace kovo {

// A stop of the main scan on a signal: what the terminal of demo mode, the
// window bus and the recorder are told.
struct ScanStop {
    std::uint32_t frequency = 0;
    int mode = 0;
    int level = 0;
    std::string comment; // CP932
};

} // namespace kovo
