#include "BusClient.h"

#include "data/Cp932.h"
#include "data/PlainSpelling.h"
#include "data/TypedFrequency.h"
#include "ipc/Blocks.h"
#include "ipc/Codes.h"
#include "ipc/ProgramWindow.h"
#include "ipc/SharedMemory.h"
#include "ipc/WindowBus.h"

#include <QCoreApplication>
#include <QDBusConnection>

#include <nlohmann/json.hpp>

#include <array>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>

#include <sys/mman.h>
#include <unistd.h>

namespace kovoctl {
namespace {

using kovo::ipc::Message;
using kovo::ipc::WindowBus;
using kovo::ipc::WindowHandle;
namespace control = kovo::ipc::control;

int failure(std::FILE* err, const std::string& message) {
    std::fprintf(err, "kovoctl: %s\n", message.c_str());
    return 1;
}

bool parseNumber(const std::string& text, std::uint32_t& value) {
    if (text.empty() || text.size() > 10 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const unsigned long long v = std::stoull(text);
    if (v > UINT32_MAX)
        return false;
    value = std::uint32_t(v);
    return true;
}

// A shared memory object this client provides for one transfer; it is
// removed afterwards unless another program had created it. An object that
// is already there is used as it is (never resized) when it is this user's
// own, closed to everybody else and big enough.
class TransferMemory {
public:
    explicit TransferMemory(const std::string& name)
        : name_(name), object_(kovo::ipc::SharedObject::openOrCreate(name)) {}
    ~TransferMemory() {
        if (object_.created())
            ::shm_unlink(("/" + name_).c_str());
    }
    TransferMemory(const TransferMemory&) = delete;
    TransferMemory& operator=(const TransferMemory&) = delete;

    // Nothing when usable; otherwise what to tell the user.
    std::optional<std::string> problem() const {
        if (object_.usable())
            return std::nullopt;
        const std::string reason = kovo::ipc::refusalReason(name_, object_.check());
        return reason.empty() ? "cannot create or use the shared memory " + name_ : reason;
    }
    std::vector<std::uint8_t> read() const {
        std::vector<std::uint8_t> bytes(kovo::ipc::kMappingSize, 0);
        if (::pread(object_.fd(), bytes.data(), bytes.size(), 0) != ssize_t(bytes.size()))
            bytes.clear();
        return bytes;
    }
    bool write(const std::vector<std::uint8_t>& bytes) const {
        return ::pwrite(object_.fd(), bytes.data(), bytes.size(), 0) == ssize_t(bytes.size());
    }

private:
    std::string name_;
    kovo::ipc::SharedObject object_;
};

// This client's own window: it answers what the program sends everybody
// while it waits.
class Client {
public:
    Client()
        : bus_(
              QDBusConnection::sessionBus(), {Message::KovoStatus, Message::KovoAnswer},
              [](Message, std::uint32_t, std::uint32_t) { return 1; },
              [] { return QStringLiteral("kovoctl"); }) {
        bus_.setServeWhileWaiting(true);
    }

    bool open(std::FILE* err) {
        if (!bus_.open()) {
            failure(err, "no session bus (DBUS_SESSION_BUS_ADDRESS)");
            return false;
        }
        if (const auto program = kovo::ipc::findProgramWindow(bus_)) {
            program_ = *program;
            return true;
        }
        failure(err, "KOVO3000 is not running on this session bus");
        return false;
    }

    std::int32_t send(std::uint32_t code, std::uint32_t value) {
        return bus_.send(program_, Message::KovoControl, code, value);
    }
    bool programStillThere() const { return bus_.otherWindows().contains(program_); }

private:
    WindowBus bus_;
    WindowHandle program_ = kovo::ipc::kNoWindow;
};

constexpr std::array<const char*, 6> kQueries{"frequency", "mode",       "step",
                                              "bandwidth", "attenuator", "antenna"};

int sendCommand(Client& c, const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    std::uint32_t code = 0, value = 0;
    if (!parseNumber(args[1], code) || (args.size() == 3 && !parseNumber(args[2], value)))
        return failure(err, "CODE and VALUE are numbers from 0 to 4294967295");
    std::fprintf(out, "%d\n", c.send(code, value));
    return 0;
}

int tune(Client& c, const std::string& text, std::FILE* err) {
    std::uint32_t hz = 0;
    if (!parseMegahertz(text, hz))
        return failure(err, "\"" + text + "\" is not a frequency in MHz");
    if (c.send(control::kFrequency, hz) != kovo::ipc::kDone)
        return failure(err, "the frequency was refused: the receiver does not tune it");
    return 0;
}

int names(Client& c, const std::string& what, std::FILE* out, std::FILE* err) {
    struct Kind {
        const char* word;
        const char* memory;
        std::uint32_t code;
    };
    static constexpr Kind kinds[] = {{"banks", "MemKovoName", control::kBankNames},
                                     {"search", "MemKovoName", control::kSearchBankComments},
                                     {"linksets", "MemKovoControl", control::kLinkSetNames}};
    const Kind* kind = nullptr;
    for (const Kind& k : kinds)
        if (what == k.word)
            kind = &k;
    if (!kind)
        return failure(err, "names of what? banks, search or linksets");
    TransferMemory memory(kind->memory);
    if (const auto problem = memory.problem())
        return failure(err, *problem);
    const std::int32_t bytes = c.send(kind->code, 0);
    const std::vector<std::uint8_t> data = memory.read();
    if (bytes <= 0 || std::size_t(bytes) > data.size())
        return failure(err, "KOVO3000 did not fill the shared memory");
    for (std::size_t at = 0; at + kovo::ipc::kNameSlotSize <= std::size_t(bytes);
         at += kovo::ipc::kNameSlotSize) {
        const auto* text = reinterpret_cast<const char*>(data.data() + at);
        std::fprintf(
            out, "%s\n",
            kovo::cp932ToUtf8(std::string(text, strnlen(text, kovo::ipc::kNameSlotSize))).c_str());
    }
    return 0;
}

nlohmann::ordered_json stateJson(const kovo::ipc::StateBlock& b) {
    nlohmann::ordered_json j;
    j["frequency"] = b.frequency;
    j["step"] = b.step;
    j["mode"] = b.mode;
    j["ifBandwidth"] = b.ifBandwidth;
    j["attenuator"] = b.attenuator;
    j["antenna"] = b.antenna;
    j["comment"] = kovo::cp932ToUtf8(b.comment);
    j["ctcss"] = b.ctcss;
    return j;
}

bool fetchState(Client& c, TransferMemory& memory, kovo::ipc::StateBlock& block) {
    if (c.send(control::kStateGet, 0) != std::int32_t(kovo::ipc::kStateBlockSize))
        return false;
    const std::vector<std::uint8_t> data = memory.read();
    if (data.size() < kovo::ipc::kStateBlockSize)
        return false;
    block = kovo::ipc::StateBlock::decode(std::span<const std::uint8_t, kovo::ipc::kStateBlockSize>(
        data.data(), kovo::ipc::kStateBlockSize));
    return true;
}

} // namespace

// Keys that are given replace the program's current values. The comment is
// stored as typed text is; `refused` counts its characters left out.
bool mergeState(const nlohmann::json& j, kovo::ipc::StateBlock& b, std::string& error,
                int& refused) {
    if (!j.is_object()) {
        error = "the state is a JSON object";
        return false;
    }
    for (const auto& [key, value] : j.items()) {
        if (key == "comment") {
            if (!value.is_string()) {
                error = "comment: expected a string";
                return false;
            }
            b.comment = kovo::storableCp932(value.get<std::string>(), refused);
            continue;
        }
        std::int32_t kovo::ipc::StateBlock::*field = nullptr;
        if (key == "step")
            field = &kovo::ipc::StateBlock::step;
        else if (key == "mode")
            field = &kovo::ipc::StateBlock::mode;
        else if (key == "ifBandwidth")
            field = &kovo::ipc::StateBlock::ifBandwidth;
        else if (key == "attenuator")
            field = &kovo::ipc::StateBlock::attenuator;
        else if (key == "antenna")
            field = &kovo::ipc::StateBlock::antenna;
        else if (key == "ctcss")
            field = &kovo::ipc::StateBlock::ctcss;
        else if (key != "frequency") {
            error = "unknown key \"" + key + "\"";
            return false;
        }
        if (!value.is_number_integer()) {
            error = key + ": expected an integer";
            return false;
        }
        const std::int64_t v = value.get<std::int64_t>();
        if (field ? (v < INT32_MIN || v > INT32_MAX) : (v < 0 || v > UINT32_MAX)) {
            error = key + ": out of range";
            return false;
        }
        if (field)
            b.*field = std::int32_t(v);
        else
            b.frequency = std::uint32_t(v);
    }
    return true;
}

namespace {

// Read from the state block, not as the status client: a client another
// program registered keeps its place.
int get(Client& c, const std::string& what, std::FILE* out, std::FILE* err) {
    const auto found = std::find(kQueries.begin(), kQueries.end(), what);
    if (found == kQueries.end())
        return failure(err, "get what? frequency, mode, step, bandwidth, attenuator or antenna");
    TransferMemory memory("MemKovoControl");
    if (const auto problem = memory.problem())
        return failure(err, *problem);
    kovo::ipc::StateBlock b;
    if (!fetchState(c, memory, b))
        return failure(err, "no answer from KOVO3000");
    const std::array<std::uint32_t, kQueries.size()> values{b.frequency,
                                                            std::uint32_t(b.mode),
                                                            std::uint32_t(b.step),
                                                            std::uint32_t(b.ifBandwidth),
                                                            std::uint32_t(b.attenuator),
                                                            std::uint32_t(b.antenna)};
    std::fprintf(out, "%u\n", values[std::size_t(found - kQueries.begin())]);
    return 0;
}

int state(Client& c, const std::string& what, std::FILE* out, std::FILE* err) {
    if (what != "get" && what != "set")
        return failure(err, "state get|set");
    TransferMemory memory("MemKovoControl");
    if (const auto problem = memory.problem())
        return failure(err, *problem);
    kovo::ipc::StateBlock block;
    if (!fetchState(c, memory, block))
        return failure(err, "KOVO3000 did not give its state");
    if (what == "get") {
        std::fprintf(out, "%s\n", stateJson(block).dump(2).c_str());
        return 0;
    }
    const std::string text(std::istreambuf_iterator<char>(std::cin), {});
    const nlohmann::json j = nlohmann::json::parse(text, nullptr, false);
    if (j.is_discarded())
        return failure(err, "the standard input is not JSON");
    std::string error;
    int refused = 0;
    if (!mergeState(j, block, error, refused))
        return failure(err, error);
    if (refused > 0)
        std::fprintf(err, "kovoctl: warning: comment: %s\n",
                     kovo::refusedCharactersMessage(refused).c_str());
    std::vector<std::uint8_t> bytes(kovo::ipc::kStateBlockSize);
    block.encode(std::span<std::uint8_t, kovo::ipc::kStateBlockSize>(bytes.data(), bytes.size()));
    if (!memory.write(bytes))
        return failure(err, "cannot write the shared memory");
    if (c.send(control::kStateSet, std::uint32_t(kovo::ipc::kStateBlockSize)) != kovo::ipc::kDone)
        return failure(err, "KOVO3000 refused the state (a value outside its range)");
    return 0;
}

} // namespace

bool parseMegahertz(const std::string& text, std::uint32_t& hz) {
    // The program refuses what its receiver does not tune.
    const auto typed = kovo::parseTypedMegahertz(text, kovo::kAnyFrequency);
    if (typed)
        hz = *typed;
    return typed.has_value();
}

bool isBusCommand(const std::string& name) {
    return name == "send" || name == "tune" || name == "get" || name == "names" ||
           name == "state" || name == "shutdown";
}

int runBusCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    const std::string& cmd = args[0];
    const bool shapeOk = (cmd == "send" && (args.size() == 2 || args.size() == 3)) ||
                         (cmd == "shutdown" && args.size() == 1) ||
                         (cmd != "send" && cmd != "shutdown" && args.size() == 2);
    if (!shapeOk)
        return 2;
    std::unique_ptr<QCoreApplication> app;
    static int argc = 1;
    static char name[] = "kovoctl";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        app = std::make_unique<QCoreApplication>(argc, argv);
    Client client;
    if (!client.open(err))
        return 1;
    if (cmd == "send")
        return sendCommand(client, args, out, err);
    if (cmd == "tune")
        return tune(client, args[1], err);
    if (cmd == "get")
        return get(client, args[1], out, err);
    if (cmd == "names")
        return names(client, args[1], out, err);
    if (cmd == "state")
        return state(client, args[1], out, err);
    // The program ends without answering; it answers 0 and stays when it
    // could not save its document.
    if (client.send(control::kShutdown, 0) == kovo::ipc::kRefused && client.programStillThere())
        return failure(err, "KOVO3000 could not save its document and keeps running");
    return 0;
}

} // namespace kovoctl
