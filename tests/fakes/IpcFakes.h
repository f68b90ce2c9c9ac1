#pragma once
// The window bus, shared memory and control target of the program, in
// memory, with what was sent recorded.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ipc/Blocks.h"
#include "ipc/ControlTarget.h"
#include "ipc/Messages.h"
#include "ipc/SharedMemory.h"

namespace kovo::test {

// The fakes stand in for the ipc layer's seams and speak its types.
using namespace ipc;

struct Sent {
    WindowHandle to; // kNoWindow: broadcast
    Message message;
    std::uint32_t code, value;
    bool operator==(const Sent&) const = default;
};

// Records what goes out; answers with `answer` (by window) or 1, at once,
// or when `deliverReplies` is called while `holdReplies` is set.
class RecordingSender final : public MessageSender {
public:
    void post(WindowHandle to, Message m, std::uint32_t w, std::uint32_t l, Reply reply) override {
        sent.push_back({to, m, w, l});
        const auto found = answers.find(to);
        const std::int32_t answer = found == answers.end() ? 1 : found->second;
        if (!reply)
            return;
        if (holdReplies)
            held.push_back([reply, answer] { reply(answer); });
        else
            reply(answer);
    }
    void postToAll(Message m, std::uint32_t w, std::uint32_t l) override {
        sent.push_back({kNoWindow, m, w, l});
    }
    WindowHandle ownWindow() const override { return 77; }
    void deliverReplies() {
        auto replies = std::move(held);
        held.clear();
        for (auto& r : replies)
            r();
    }
    std::vector<Sent> sent;
    std::map<WindowHandle, std::int32_t> answers;
    bool holdReplies = false;
    std::vector<std::function<void()>> held;
};

// Shared memory objects by name, of any size; a missing name is missing.
class FakeMemory final : public SharedMemory {
public:
    bool read(const std::string& name, std::vector<std::uint8_t>& out) override {
        const auto found = objects.find(name);
        if (found == objects.end() || found->second.size() < kMappingSize)
            return false;
        out.assign(found->second.begin(), found->second.begin() + kMappingSize);
        return true;
    }
    bool write(const std::string& name, const std::vector<Piece>& pieces) override {
        const auto found = objects.find(name);
        if (found == objects.end() || found->second.size() < kMappingSize)
            return false;
        for (const Piece& p : pieces)
            std::copy(p.bytes.begin(), p.bytes.end(),
                      found->second.begin() + std::ptrdiff_t(p.offset));
        return true;
    }
    void create(const std::string& name, std::size_t size = kMappingSize,
                std::uint8_t fill = 0xEE) {
        objects[name].assign(size, fill);
    }
    std::map<std::string, std::vector<std::uint8_t>> objects;
};

// The program as commands see it: records every change it is asked for and
// keeps it in `record`, which the commands only read. Frequencies outside
// `lowestHz`..`highestHz` are refused, as the receiver refuses them.
class FakeTarget final : public ControlTarget {
public:
    CFrequencyData record;
    std::vector<std::string> calls;
    std::uint32_t lowestHz = 100'000, highestHz = 2'040'000'000;
    bool squelch = false;
    bool attenuatorLocked = false; // as in memory scan
    bool saveSucceeds = true;
    int exitCode = -1;
    std::uint32_t linkBits = 0, searchBits = 0;
    std::vector<std::string> banks = std::vector<std::string>(22, "bank");

    const CFrequencyData& tuningRecord() const override { return record; }
    bool tuneExactly(std::uint32_t hz) override {
        if (hz < lowestHz || hz > highestHz)
            return false;
        record.frequency = hz;
        calls.push_back("tune");
        return true;
    }
    void setMode(int v) override { set("receiver mode", &CFrequencyData::mode, v); }
    void setStep(int v) override { set("step", &CFrequencyData::step, v); }
    void setIfBandwidth(int v) override { set("bandwidth", &CFrequencyData::ifBandwidth, v); }
    bool setAttenuator(int v) override {
        if (attenuatorLocked)
            return false;
        set("attenuator", &CFrequencyData::attenuator, v);
        return true;
    }
    void setAntenna(int v) override { set("antenna", &CFrequencyData::antenna, v); }
    bool applyState(const StateBlock& block) override {
        if (block.frequency < lowestHz || block.frequency > highestHz)
            return false;
        block.applyTo(record);
        calls.push_back("state");
        return true;
    }
    void setOperatingMode(int mode) override { calls.push_back("mode " + std::to_string(mode)); }
    void setLinkFlags(std::uint32_t bits) override { linkBits = bits; }
    void setSearchBanksInUse(std::uint32_t bits) override { searchBits = bits; }
    void selectLinkSet(int k) override { calls.push_back("link set " + std::to_string(k)); }
    bool squelchOpen() const override { return squelch; }
    std::vector<std::string> bankNames() const override { return banks; }
    std::vector<std::string> searchBankComments() const override {
        return std::vector<std::string>(20, "s");
    }
    std::vector<std::string> linkSetNames() const override {
        return std::vector<std::string>(20, "l");
    }
    std::int32_t now() const override { return 1'700'000'000; }
    bool saveForShutdown() override {
        calls.push_back("save");
        return saveSucceeds;
    }
    void endProcess(int code) override { exitCode = code; }

private:
    void set(const std::string& what, int CFrequencyData::*field, int value) {
        record.*field = value;
        calls.push_back(what + " " + std::to_string(value));
    }
};

} // namespace kovo::test
