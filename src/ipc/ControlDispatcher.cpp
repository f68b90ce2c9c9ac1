#include "ipc/ControlDispatcher.h"

#include "ipc/Codes.h"

#include <algorithm>
#include <span>

namespace kovo::ipc {
namespace {

// Commands that take one value within a range. `apply` answers whether the
// program took the value; a value it refuses answers 0.
struct ValueCommand {
    std::uint32_t code;
    std::uint32_t low, high;
    bool (*apply)(ControlTarget& t, std::uint32_t value);
};

template <void (ControlTarget::*set)(int)> bool setField(ControlTarget& t, std::uint32_t v) {
    (t.*set)(int(v));
    return true;
}

bool setAttenuator(ControlTarget& t, std::uint32_t v) {
    return t.setAttenuator(int(v));
}

bool setStep(ControlTarget& t, std::uint32_t v) {
    t.setStep(v == 0 ? 1 : int(v));
    return true;
}

// The wire takes 10,000 to 2,600,000,000 Hz; the receiver may tune less.
bool tune(ControlTarget& t, std::uint32_t v) {
    return t.tuneExactly(v);
}

constexpr ValueCommand kValueCommands[] = {
    {control::kFrequency, 10'000, 2'600'000'000u, tune},
    {control::kMode, 0, 8, setField<&ControlTarget::setMode>},
    {control::kStep, 0, 13, setStep},
    {control::kIfBandwidth, 0, 6, setField<&ControlTarget::setIfBandwidth>},
    {control::kAttenuator, 0, 3, setAttenuator},
    {control::kAntenna, 0, 3, setField<&ControlTarget::setAntenna>},
    // Settings of options the program does not model: checked, then dropped.
    {6, 0, 255, nullptr},
    {7, 0, 255, nullptr},
    {8, 0, 10, nullptr},
    {9, 0, 180, nullptr},
    {control::kOperatingMode, 0, 5, setField<&ControlTarget::setOperatingMode>},
    {control::kLinkSet, 0, 19, setField<&ControlTarget::selectLinkSet>},
    {control::kLinkSetAndScan, 0, 19,
     [](ControlTarget& t, std::uint32_t v) {
         t.selectLinkSet(int(v));
         t.setOperatingMode(0);
         return true;
     }},
};

std::int32_t queried(const CFrequencyData& r, std::uint32_t code) {
    switch (code - control::kQueryFirst) {
    case 0:
        return std::int32_t(r.frequency);
    case 1:
        return r.mode;
    case 2:
        return r.step;
    case 3:
        return r.ifBandwidth;
    case 4:
        return r.attenuator;
    default:
        return r.antenna;
    }
}

WindowHandle handleFrom(std::uint32_t value) {
    return value;
}

} // namespace

std::int32_t ControlDispatcher::handle(Message m, std::uint32_t wParam, std::uint32_t lParam) {
    switch (m) {
    case Message::KovoControl:
    case Message::KovoConfig:
        return command(wParam, lParam);
    case Message::BromAnswer:
        return recorderAnswer(wParam, lParam);
    default:
        return 0;
    }
}

std::int32_t ControlDispatcher::valueCommand(std::uint32_t code, std::uint32_t value) {
    for (const ValueCommand& c : kValueCommands) {
        if (c.code != code)
            continue;
        if (value < c.low || value > c.high)
            return kRefused;
        if (c.apply && !c.apply(target_, value))
            return kRefused;
        if (code == control::kStep && target_.squelchOpen()) {
            const CFrequencyData& r = target_.tuningRecord();
            peers_.handToRecorder(r.frequency, target_.now(), r.comment);
        }
        return kDone;
    }
    return -1;
}

std::int32_t ControlDispatcher::command(std::uint32_t code, std::uint32_t value) {
    if (const std::int32_t result = valueCommand(code, value); result >= 0)
        return result;
    if (code >= control::kQueryFirst && code <= control::kQueryLast)
        return query(code);
    switch (code) {
    case control::kLinkFlags:
        target_.setLinkFlags(value);
        return kDone;
    case control::kSearchBanksInUse:
        target_.setSearchBanksInUse(value);
        return kDone;
    case control::kBankNames:
        return names(kNameMemory, target_.bankNames());
    case control::kSearchBankComments:
        return names(kNameMemory, target_.searchBankComments());
    case control::kLinkSetNames:
        return names(kControlMemory, target_.linkSetNames());
    case control::kStateGet:
        return stateGet();
    case control::kStateSet:
        return stateSet(value);
    case control::kAnswerClient:
        peers_.answerClient = handleFrom(value);
        return kDone;
    case control::kAnswerClientAnnounced:
        peers_.answerClient = handleFrom(value);
        peers_.sendAnswer(control::kAnswerClient, peers_.ownWindow());
        return kDone;
    case control::kStatusClient:
        peers_.statusClient = handleFrom(value);
        return kDone;
    case control::kStatusClientAnnounced:
        peers_.statusClient = handleFrom(value);
        peers_.sendStatus(control::kStatusClient, peers_.ownWindow());
        return kDone;
    case control::kShutdown:
        return shutDown();
    default:
        return kDone;
    }
}

std::int32_t ControlDispatcher::query(std::uint32_t code) {
    peers_.sendStatus(code, std::uint32_t(queried(target_.tuningRecord(), code)));
    return kDone;
}

std::int32_t ControlDispatcher::names(const char* memory, const std::vector<std::string>& list) {
    std::vector<std::uint8_t> slots(list.size() * kNameSlotSize);
    const std::size_t n = writeNameSlots(slots, list);
    if (!memory_.write(memory, {{0, std::move(slots)}}))
        return kRefused;
    return std::int32_t(n);
}

std::int32_t ControlDispatcher::stateGet() {
    const StateBlock block = StateBlock::fromRecord(target_.tuningRecord());
    block.encode(state_);
    if (!memory_.write(kControlMemory, {{0, {state_.begin(), state_.end()}}}))
        return kRefused;
    return std::int32_t(kStateBlockSize);
}

// A block is applied only when every value in it is one the single-value
// commands would accept and the receiver tunes its frequency; otherwise
// nothing changes and the result is 0.
std::int32_t ControlDispatcher::stateSet(std::uint32_t bytes) {
    if (bytes > kStateBlockSize)
        return kRefused;
    std::vector<std::uint8_t> shared;
    if (!memory_.read(kControlMemory, shared))
        return kRefused;
    std::array<std::uint8_t, kStateBlockSize> next = state_;
    std::copy_n(shared.begin(), bytes, next.begin());
    const StateBlock block = StateBlock::decode(next);
    if (!block.valid() || !target_.applyState(block))
        return kRefused;
    peers_.recordOver();
    state_ = next;
    return kDone;
}

// Ends the program with code 1 once the document is safe; when saving
// fails the program stays and says so with 0. The program closes the way
// its window does, so the peers hear it go.
std::int32_t ControlDispatcher::shutDown() {
    if (!target_.saveForShutdown())
        return kRefused;
    peers_.sayGoodbyeToStatusClient();
    target_.endProcess(1);
    return kDone;
}

std::int32_t ControlDispatcher::recorderAnswer(std::uint32_t code, std::uint32_t value) {
    switch (code) {
    case recorder::kHello:
    case recorder::kLinkAgain:
        peers_.recorder = handleFrom(value);
        peers_.sendRecorder(recorder::kAcknowledge, peers_.ownWindow());
        return 1;
    case recorder::kAcknowledge:
    case recorder::kGoodbye:
        peers_.recorder = handleFrom(value);
        return 1;
    case 10:
    case 11:
    case 12:
    case 13:
        return 1;
    case 14:
    case 15:
    case 16:
        return std::int32_t(value);
    case recorder::kWriteRecord: {
        const CFrequencyData& r = target_.tuningRecord();
        peers_.writeRecord(r.frequency, target_.now(), r.comment);
        peers_.recordPending = true;
        return std::int32_t(value);
    }
    default:
        return 0;
    }
}

} // namespace kovo::ipc
