#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace kovo::ipc {

// The messages other programs exchange with this one, by name.
enum class Message { KovoControl, KovoConfig, KovoStatus, KovoAnswer, BromControl, BromAnswer };

inline constexpr std::array<std::string_view, 6> kMessageNames{
    "KovoControl", "KovoConfig", "KovoStatus", "KovoAnswer", "BROMControl", "BROMAnswer"};

constexpr std::string_view messageName(Message m) {
    return kMessageNames[static_cast<std::size_t>(m)];
}

constexpr std::optional<Message> messageNamed(std::string_view name) {
    for (std::size_t i = 0; i < kMessageNames.size(); ++i)
        if (kMessageNames[i] == name)
            return static_cast<Message>(i);
    return std::nullopt;
}

// A window on the bus: a non-zero 31-bit number; 0 is "nobody".
using WindowHandle = std::uint32_t;
inline constexpr WindowHandle kNoWindow = 0;
inline constexpr WindowHandle kMaxWindowHandle = 0x7FFFFFFF;

// How this program reaches the others: one window, or every window but its
// own. Nothing waits: a peer's answer, when the sender wants it, arrives
// later through `Reply` (0 when the peer does not answer, has gone, or is
// known to be silent).
class MessageSender {
public:
    using Reply = std::function<void(std::int32_t)>;
    virtual ~MessageSender() = default;
    virtual void post(WindowHandle to, Message m, std::uint32_t wParam, std::uint32_t lParam,
                      Reply reply = {}) = 0;
    virtual void postToAll(Message m, std::uint32_t wParam, std::uint32_t lParam) = 0;
    virtual WindowHandle ownWindow() const = 0;
};

} // namespace kovo::ipc
