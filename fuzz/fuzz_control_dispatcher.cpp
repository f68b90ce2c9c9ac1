// Sends arbitrary window-bus messages to the dispatcher, with shared memory
// whose contents (and whether it exists at all) come from the input, and
// reads arbitrary state blocks. Nothing is written outside the mapping,
// the tuning record only ever takes values the commands accept, and a state
// block that is valid encodes to one that decodes the same.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "fakes/IpcFakes.h"
#include "ipc/Blocks.h"
#include "ipc/ControlDispatcher.h"
#include "ipc/PeerLinks.h"

namespace {

using namespace kovo::ipc;

void check(bool condition) {
    if (!condition)
        std::abort();
}

// Shared memory objects of exactly the mapping size.
class CheckingMemory final : public SharedMemory {
public:
    std::map<std::string, std::vector<std::uint8_t>> objects;
    bool read(const std::string& name, std::vector<std::uint8_t>& out) override {
        const auto found = objects.find(name);
        if (found == objects.end())
            return false;
        out = found->second;
        return true;
    }
    bool write(const std::string& name, const std::vector<Piece>& pieces) override {
        const auto found = objects.find(name);
        if (found == objects.end())
            return false;
        for (const Piece& p : pieces) {
            check(p.offset <= kMappingSize && p.bytes.size() <= kMappingSize - p.offset);
            std::copy(p.bytes.begin(), p.bytes.end(),
                      found->second.begin() + std::ptrdiff_t(p.offset));
        }
        return true;
    }
};

void checkBlockRoundTrip(kovo::fuzz::FuzzInput& in) {
    std::array<std::uint8_t, kStateBlockSize> raw{};
    const std::string bytes = in.bytes(kStateBlockSize);
    std::copy(bytes.begin(), bytes.end(), raw.begin());
    const StateBlock block = StateBlock::decode(raw);
    if (!block.valid())
        return;
    std::array<std::uint8_t, kStateBlockSize> encoded{};
    block.encode(encoded);
    const StateBlock again = StateBlock::decode(encoded);
    check(again.frequency == block.frequency && again.mode == block.mode &&
          again.step == block.step && again.comment == block.comment &&
          again.ctcss == block.ctcss && again.valid());
}

void fillMemory(CheckingMemory& memory, const char* name, kovo::fuzz::FuzzInput& in) {
    if (in.byte() & 1)
        return; // the other program has not made it
    std::vector<std::uint8_t> object(kMappingSize, 0);
    const std::string bytes = in.chunk();
    std::copy(bytes.begin(), bytes.end(), object.begin());
    memory.objects[name] = std::move(object);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kovo::fuzz::FuzzInput in(data, size);
    checkBlockRoundTrip(in);

    CheckingMemory memory;
    fillMemory(memory, ControlDispatcher::kControlMemory, in);
    fillMemory(memory, ControlDispatcher::kNameMemory, in);
    fillMemory(memory, PeerLinks::kRecorderMemory, in);
    kovo::test::RecordingSender sender;
    PeerLinks peers(sender, memory);
    kovo::test::FakeTarget target;
    target.record.frequency = 145'500'000;
    ControlDispatcher dispatcher(target, peers, memory);

    for (int step = 0; !in.empty() && step < 256; ++step) {
        const std::uint8_t head = in.byte();
        const auto message = static_cast<Message>(head % kMessageNames.size());
        // Mostly small codes, as the commands have; sometimes any number.
        const std::uint32_t code = (head & 0x80) ? in.u32() : in.byte();
        const std::uint32_t value = (head & 0x40) ? in.u32() : in.u16();
        dispatcher.handle(message, code, value);
        check(StateBlock::fromRecord(target.record).valid());
        if (target.exitCode != -1)
            break;
    }
    return 0;
}
