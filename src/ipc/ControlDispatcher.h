#pragma once
#include <array>
#include <cstdint>

#include "ipc/Blocks.h"
#include "ipc/ControlTarget.h"
#include "ipc/Messages.h"
#include "ipc/PeerLinks.h"
#include "ipc/SharedMemory.h"

namespace kovo::ipc {

// Carries out what other programs send: the commands of "KovoControl" and
// "KovoConfig" and the recorder's "BROMAnswer". Every code and value is
// checked before it is used; a value outside its range changes nothing.
class ControlDispatcher {
public:
    ControlDispatcher(ControlTarget& target, PeerLinks& peers, SharedMemory& memory)
        : target_(target), peers_(peers), memory_(memory) {}

    // The handler's result for any message; 0 for one this window ignores.
    std::int32_t handle(Message m, std::uint32_t wParam, std::uint32_t lParam);

    std::int32_t command(std::uint32_t code, std::uint32_t value);
    std::int32_t recorderAnswer(std::uint32_t code, std::uint32_t value);

    static constexpr const char* kNameMemory = "MemKovoName";
    static constexpr const char* kControlMemory = "MemKovoControl";

private:
    std::int32_t valueCommand(std::uint32_t code, std::uint32_t value);
    std::int32_t query(std::uint32_t code);
    std::int32_t names(const char* memory, const std::vector<std::string>& names);
    std::int32_t stateGet();
    std::int32_t stateSet(std::uint32_t bytes);
    std::int32_t shutDown();

    ControlTarget& target_;
    PeerLinks& peers_;
    SharedMemory& memory_;
    // The program's state block: a partial block from another program
    // updates only the bytes it covers.
    std::array<std::uint8_t, kStateBlockSize> state_{};
};

} // namespace kovo::ipc
