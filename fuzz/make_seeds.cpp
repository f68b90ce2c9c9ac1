// Writes the generated part of the seed corpora: document files and their
// JSON made by the program's own writers, older-format files laid out as the
// older program stored them, receiver-link scripts carrying the simulated
// receivers' real replies, window-bus messages and serial-server negotiation.
// Usage: make_seeds <corpus folder>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Ar3000Interpreter.h"
#include "Ar3000aInterpreter.h"
#include "DocumentFixtures.h"
#include "DocumentJson.h"
#include "data/Archive.h"
#include "ipc/Blocks.h"
#include "ipc/Codes.h"
#include "net/TelnetCodec.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::string;

fs::path root;

void save(const std::string& target, const std::string& name, const Bytes& bytes) {
    fs::create_directories(root / target);
    std::ofstream(root / target / name, std::ios::binary) << bytes;
}

Bytes asBytes(const std::vector<std::uint8_t>& v) {
    return Bytes(v.begin(), v.end());
}

// ---- documents ----

void documentSeeds() {
    kovo::test::DocumentFixture empty;
    kovo::test::DocumentFixture filled;
    kovo::test::fillChannels(*filled.doc, 6);
    filled.doc->channels[2]->comment = "\x83\x65\x83\x58\x83\x67"; // CP932 text
    kovo::test::fillLog(*filled.doc, 3);
    save("document", "new.kv5", asBytes(empty.doc->toBytes()));
    save("document", "channels-and-log.kv5", asBytes(filled.doc->toBytes()));

    std::vector<std::string> warnings;
    for (const auto& [name, fixture] :
         {std::pair{"new.json", &empty}, {"channels-and-log.json", &filled}}) {
        char* buffer = nullptr;
        std::size_t length = 0;
        std::FILE* out = open_memstream(&buffer, &length);
        kovoctl::writeDocumentJson(*fixture->doc, kovo::kCurrentFileVersion, out, warnings);
        std::fclose(out);
        save("kovoctl_json", name, Bytes(buffer, length));
        std::free(buffer);
    }
}

// An older-format file: no tags, frequencies in 10 Hz, step codes in Hz/10.
Bytes legacyFile(const std::vector<std::pair<int, std::uint32_t>>& channels) {
    kovo::Archive a;
    auto f10 = [&a](std::uint32_t hz) { a.writeUInt32(hz / 10); };
    a.writeInt32(40000);
    a.writeInt32(static_cast<std::int32_t>(channels.size()));
    for (std::int32_t value : {0x1C, 1, 2, 3, 0x4C, 0x68, 4, 1, 0, 1, 30, 0x2C, 6, 2, -1, -1})
        a.writeInt32(value);
    a.writeInt32(5);
    f10(145500000);
    for (std::int32_t value : {1, 1250, 3, 9, 1015459500})
        a.writeInt32(value);
    a.writeByte(1);
    a.writeString("main");
    for (int k = 0; k < 16; ++k) {
        a.writeByte(k == 2 ? 1 : 0);
        a.writeString("bank" + std::to_string(k));
    }
    for (int k = 0; k < 16; ++k) {
        a.writeByte(1);
        f10(1000000u * static_cast<std::uint32_t>(k + 1));
        f10(1000000u * static_cast<std::uint32_t>(k + 2));
    }
    for (int k = 0; k < 16; ++k) {
        a.writeByte(1);
        a.writeByte(2);
        f10(118000000);
        f10(137000000);
        a.writeInt32(5000);
        a.writeString("air");
    }
    for (int k = 0; k < 16; ++k) {
        a.writeByte(1);
        a.writeByte(4);
        f10(14000000);
        f10(14350000);
        a.writeInt32(k == 3 ? 123 : 1000);
    }
    for (auto [bank, hz] : channels) {
        a.writeInt32(bank);
        f10(hz);
        for (std::int32_t value : {2, 50, 4, 8, 1015459600})
            a.writeInt32(value);
        a.writeByte(1);
        a.writeString("ch");
    }
    return asBytes(a.takeBuffer());
}

void legacySeeds() {
    save("legacy_document", "empty.kvx", legacyFile({}));
    save("legacy_document", "channels.kvx",
         legacyFile({{1, 100000000}, {15, 120000000}, {3, 80000000}}));
}

// ---- receiver link ----

enum Op : char {
    Receive = 0,
    Wait = 1,
    Command = 2,
    ArmEcho = 3,
    Event = 4,
    Open = 5,
    Close = 6,
    Unplug = 7
};

// What a simulated receiver answers to `command`.
Bytes answer(kovo::sim::ProtocolInterpreter& receiver, const std::string& command) {
    kovo::sim::ReceiverState state;
    const kovo::sim::SignalMeter meter = [](const kovo::sim::ReceiverState&) { return 'M'; };
    Bytes out;
    for (const char c : command)
        for (const auto& outcome : receiver.feed(static_cast<unsigned char>(c), state, meter))
            if (outcome.answered)
                out += outcome.answer;
    return out;
}

// A script: options, then for each command (index into the target's
// table): the command, the receiver's answer cut into two deliveries, time.
Bytes linkScript(char options, kovo::sim::ProtocolInterpreter& receiver,
                 const std::vector<std::pair<int, std::string>>& commands) {
    Bytes s(1, options);
    for (const auto& [index, text] : commands) {
        s += {Command, static_cast<char>(index)};
        const Bytes reply = answer(receiver, text);
        const std::size_t half = reply.size() / 2;
        s += {Receive, static_cast<char>(half)};
        s += reply.substr(0, half);
        s += {Receive, static_cast<char>(reply.size() - half)};
        s += reply.substr(half);
        s += {Wait, 2};
    }
    return s;
}

void receiverLinkSeeds() {
    kovo::sim::Ar3000aInterpreter ar3000a;
    kovo::sim::Ar3000Interpreter ar3000;
    // Table of the target: 0 "Y\r", 1 "145.\r", 2 "145.5\r", 3 "T145.N", 4 "G\r", 5 "N\r".
    save("receiver_link", "ar3000a-scan.bin",
         linkScript(2, ar3000a,
                    {{1, "145.\r"}, {0, "Y\r"}, {2, "145.5\r"}, {0, "Y\r"}, {4, "G\r"}}));
    save("receiver_link", "ar3000-tune-echo.bin",
         linkScript(3, ar3000, {{3, "T145.N"}, {0, "Y\r"}}) + Bytes{ArmEcho} +
             linkScript(0, ar3000, {{0, "Y\r"}}).substr(1));
    const Bytes events{2,    Command, 0,    Receive, 3, 0x13,   'X',  0x11, Event,
                       1,    Wait,    0x7F, Event,   3, Unplug, Wait, 0x7F, Unplug,
                       Wait, 0x7F,    Open, 0,       1, Wait,   0x7F, Close};
    save("receiver_link", "ar3000a-flow-and-events.bin", events);
}

// ---- window bus ----

void dispatcherSeeds() {
    using namespace kovo::ipc;
    // Block round trip: a valid state block, then the three shared objects
    // (present, with contents), then messages: head (message | wide flags),
    // code, value.
    Bytes block(kStateBlockSize, '\0');
    const std::uint32_t hz = 145500000;
    for (int i = 0; i < 4; ++i)
        block[4 + static_cast<std::size_t>(i)] = static_cast<char>(hz >> (8 * i));
    block.replace(28, 5, "tower");
    Bytes s = block;
    Bytes controlObject = block.substr(0, 200);
    s += {0, static_cast<char>(controlObject.size())};
    s += controlObject;
    s += {0, 0, 1};
    auto message = [&s](char kind, std::uint8_t code, std::uint16_t value) {
        s += {kind, static_cast<char>(code), static_cast<char>(value & 0xFF),
              static_cast<char>(value >> 8)};
    };
    message(0, control::kStateGet, 0);
    message(0, control::kStateSet, 288);
    message(0, control::kBankNames, 0);
    message(0, control::kLinkFlags, 0x15);
    message(1, control::kStatusClient, 1234);
    message(0, 1, 2);
    message(5, 3, 1);
    s += {static_cast<char>(0x80)};
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>(control::kShutdown >> (8 * i));
    s += {0, 0};
    save("control_dispatcher", "state-names-shutdown.bin", s);
}

// ---- serial server ----

void telnetSeeds() {
    using C = kovo::TelnetCodec;
    auto b = [](std::initializer_list<int> v) {
        Bytes out;
        for (int x : v)
            out += static_cast<char>(x);
        return out;
    };
    const Bytes line = "9600,N,8,2";
    const Bytes agree = b({C::kIac, C::kWill, C::kBinary, C::kIac, C::kDo, C::kBinary, C::kIac,
                           C::kWill, C::kComPort, C::kIac, C::kDo, C::kSuppressGoAhead});
    const Bytes speed = b({C::kIac, C::kSb, C::kComPort, 101, 0, 0, 0x25, 0x80, C::kIac, C::kSe});
    const Bytes data = b({'%', '\r', '\n', '>', C::kIac, C::kIac, '\r', 0});
    Bytes s(1, static_cast<char>(line.size()));
    s += line;
    for (const Bytes& piece : {agree, speed, data}) {
        s += static_cast<char>(piece.size());
        s += piece;
    }
    save("telnet_codec", "negotiation-and-data.bin", s);
    Bytes refuse(1, 0);
    const Bytes offers = b({C::kIac, C::kWont, C::kBinary, C::kIac, C::kDont, C::kComPort, C::kIac,
                            C::kWill, 1, C::kIac, C::kDo, 24, 'G', '\r', 0, '\n'});
    refuse += static_cast<char>(offers.size());
    refuse += offers;
    save("telnet_codec", "refusals.bin", refuse);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds <corpus folder>\n");
        return 2;
    }
    root = argv[1];
    documentSeeds();
    legacySeeds();
    receiverLinkSeeds();
    dispatcherSeeds();
    telnetSeeds();
    return 0;
}
