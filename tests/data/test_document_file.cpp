#include <gtest/gtest.h>

#include <bit>
#include <csignal>
#include <filesystem>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>

#include "DataTestSupport.h"
#include "DocumentFixtures.h"
#include "data/Archive.h"

using namespace kovo;
using test::hex;

namespace {

// Byte size of everything before the channel objects in a new document.
constexpr std::size_t kNewDocumentSize = 2067;

const std::string kNewComment =
    "\x31\x34\x34\x4D\x48\x7A\x83\x41\x83\x7D\x83\x60\x83\x85\x83\x41\x20\x8C\xC4\x82\xD1\x8F"
    "\x6F\x82\xB5\x8E\xFC\x94\x67\x90\x94";

// A snapshot of everything reading could change, to compare before and after.
struct Snapshot {
    std::vector<std::uint8_t> bytes;
    CFrequencyData priorityRecord;
    int priorityIndex;
    CControlParams params;
    bool modified;
    int logStart;

    explicit Snapshot(const CKovo5Doc& doc)
        : bytes(doc.toBytes()), priorityRecord(doc.priorityRecord),
          priorityIndex(doc.priorityIndex), params(doc.controlParams), modified(doc.isModified()),
          logStart(doc.logStart) {}
    bool operator==(const Snapshot&) const = default;
};

void put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

} // namespace

class DocumentFile : public ::testing::Test, public test::DocumentFixture {};

TEST_F(DocumentFile, NewDocumentHoldsTheStartingValues) {
    settings.nfmBandWidth = 2;
    doc = freshDocument();
    const CFrequencyData& main = doc->mainRecord;
    EXPECT_EQ(main.frequency, 145000000u);
    EXPECT_EQ(main.bankMask, 1);
    EXPECT_EQ(main.step, 10);
    EXPECT_EQ(main.mode, 0);
    EXPECT_EQ(main.ifBandwidth, 4);
    EXPECT_EQ(main.attenuator, 3);
    EXPECT_EQ(main.heardTime, 1015459500);
    EXPECT_EQ(main.comment.size(), 31u);
    EXPECT_EQ(main.comment, kNewComment);
    EXPECT_EQ(doc->priorityRecord, main);
    EXPECT_EQ(doc->linkSetNames[0], "00");
    EXPECT_EQ(doc->linkSetNames[19], "19");
    EXPECT_EQ(doc->searchBanks[7].ifBandwidth, 4);
    EXPECT_EQ(doc->searchBanks[7].startFrequency, 100000u);
    EXPECT_EQ(doc->searchBanks[7].stopFrequency, 2040000000u);
    EXPECT_EQ(doc->searchBanks[7].step, 10);
    EXPECT_EQ(doc->searchBanks[7].attenuator, 3);
    EXPECT_EQ(doc->autoRanges[19].ifBandwidth, 4);
    EXPECT_EQ(doc->autoRanges[19].stopFrequency, 0u);
    EXPECT_EQ(doc->controlParams.operatingMode, 5);
    EXPECT_FALSE(doc->isModified());

    // A second new document discards channels and log and clears the flags.
    test::fillChannels(*doc, 3);
    test::fillLog(*doc, 2);
    doc->linkSetNames[3] = "x";
    doc->setModified();
    doc->onNewDocument();
    EXPECT_EQ(doc->channelCount, 0);
    EXPECT_EQ(doc->channels[0], nullptr);
    EXPECT_EQ(doc->logCount, 0);
    EXPECT_EQ(doc->linkSetNames[3], "03");
    EXPECT_FALSE(doc->isModified());
}

TEST_F(DocumentFile, NewDocumentBytes) {
    const auto bytes = doc->toBytes();
    ASSERT_EQ(bytes.size(), kNewDocumentSize);
    EXPECT_EQ(hex(bytes, 0, 8), "42 C7 00 00 00 00 00 00");
    EXPECT_EQ(hex(bytes, 8, 8), "00 00 00 00 05 00 00 00"); // autoStore, operatingMode
    EXPECT_EQ(hex(bytes, 152, 4), "40 86 A4 08");           // mainRecord follows the params
    EXPECT_EQ(hex(bytes, bytes.size() - 4, 4), "00 00 00 00");
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
        ASSERT_FALSE(bytes[i] == 0xFF && bytes[i + 1] == 0xFF) << "tag at " << i;
}

TEST_F(DocumentFile, TwoChannelsAndOneLogEntryAreTaggedObjects) {
    test::fillChannels(*doc, 2, 0);
    test::fillLog(*doc, 1, 0);
    const auto bytes = doc->toBytes();
    std::size_t at = kNewDocumentSize - 4;
    EXPECT_EQ(hex(bytes, at, 6), "FF FF 01 00 0E 00");
    EXPECT_EQ(std::string(bytes.begin() + at + 6, bytes.begin() + at + 20), "CFrequencyData");
    at += 20 + 58;
    EXPECT_EQ(hex(bytes, at, 2), "01 80");
    at += 2 + 58;
    EXPECT_EQ(hex(bytes, at, 4), "01 00 00 00");
    at += 4;
    EXPECT_EQ(hex(bytes, at, 6), "FF FF 01 00 08 00");
    EXPECT_EQ(std::string(bytes.begin() + at + 6, bytes.begin() + at + 14), "CLogData");
    EXPECT_EQ(bytes.size(), at + 14 + 17);
}

TEST_F(DocumentFile, WrittenDocumentReadsBackTheSame) {
    test::fillChannels(*doc, 40, 12);
    doc->channels[5]->priority = 1;
    test::fillLog(*doc, 30);
    doc->memoryBanks[4].linkFlags[9] = 1;
    doc->memoryBanks[4].name = "\x8B\xF3"; // CP932
    doc->linkSetNames[2] = "Air";
    doc->searchStrings[19] = "find";
    doc->passRanges[3].inUse = 1;
    doc->autoRanges[2].comment = "auto";
    doc->controlParams.currentLinkSet = 7;
    doc->mainRecord.frequency = 433000000;
    const auto bytes = doc->toBytes();

    auto other = freshDocument();
    ASSERT_TRUE(other->readBytes(bytes, "a.kv5", false).ok);
    EXPECT_EQ(other->toBytes(), bytes);
    EXPECT_EQ(other->channelCount, 40);
    EXPECT_EQ(other->logCount, 30);
    EXPECT_EQ(other->priorityIndex, 5);
    EXPECT_EQ(other->memoryBanks[4], doc->memoryBanks[4]);
    EXPECT_FALSE(other->isModified());
}

TEST_F(DocumentFile, FileOfOldVersionKeepsLinkSetNamesAndSpreadsBankFlags) {
    // Build a version-51009 file: one flag byte per bank and no link-set names.
    Archive archive;
    archive.writeInt32(51009);
    archive.writeInt32(0);
    doc->controlParams.serialize(archive);
    doc->mainRecord.serialize(archive);
    for (int bank = 0; bank < kBankCount; ++bank) {
        archive.writeByte(bank == 3 ? 1 : 0);
        archive.writeString("B");
    }
    for (auto& range : doc->passRanges)
        range.serialize(archive);
    for (auto& bank : doc->searchBanks)
        bank.serialize(archive);
    for (auto& range : doc->autoRanges)
        range.serialize(archive);
    for (int i = 0; i < kSearchStringCount; ++i)
        archive.writeString("");
    archive.writeInt32(0);

    doc->linkSetNames[4] = "kept";
    ASSERT_TRUE(doc->readBytes(archive.buffer(), "old.kv5", false).ok);
    EXPECT_EQ(doc->linkSetNames[4], "kept");
    for (auto flag : doc->memoryBanks[3].linkFlags)
        EXPECT_EQ(flag, 1);
    EXPECT_EQ(doc->memoryBanks[2].linkFlags[0], 0);
    EXPECT_EQ(doc->memoryBanks[21].name, "B");
    EXPECT_EQ(fileVersion(), kCurrentFileVersion);
}

TEST_F(DocumentFile, LastMarkedChannelBecomesThePriorityChannel) {
    settings.optFilter = 0;
    settings.optSam = 0;
    test::fillChannels(*doc, 10);
    doc->channels[2]->priority = 1;
    doc->channels[6]->priority = 1;
    doc->channels[6]->ifBandwidth = 0;
    doc->channels[6]->mode = 7;
    doc->channels[6]->step = 10;
    doc->channels[6]->frequency = 100006345; // still between its neighbours
    doc->channels[6]->spare = 55;
    // The stored offset is the main tuning's grid (a search bank's); copying
    // the priority channel must not replace it with the channel's remainder.
    doc->controlParams.tuningOffset = 6250;
    const auto bytes = doc->toBytes();

    auto other = freshDocument();
    ASSERT_TRUE(other->readBytes(bytes, "p.kv5", false).ok);
    EXPECT_EQ(other->priorityIndex, 6);
    EXPECT_EQ(other->channels[2]->priority, 1); // the others keep their marks
    EXPECT_EQ(other->priorityRecord.frequency, 100006345u);
    EXPECT_EQ(other->priorityRecord.ifBandwidth, 1);
    EXPECT_EQ(other->priorityRecord.mode, 2);
    EXPECT_EQ(other->priorityRecord.spare, 0);
    EXPECT_EQ(other->controlParams.tuningOffset, 6250);
}

TEST_F(DocumentFile, FileWithoutPriorityMarkKeepsAValidPriorityIndex) {
    test::fillChannels(*doc, 4);
    const auto bytes = doc->toBytes();

    auto other = freshDocument();
    other->priorityIndex = 3;
    ASSERT_TRUE(other->readBytes(bytes, "n.kv5", false).ok);
    EXPECT_EQ(other->priorityIndex, 3);
    EXPECT_EQ(other->channels[3]->priority, 1);
    EXPECT_EQ(other->priorityRecord.frequency, doc->channels[3]->frequency);

    other->priorityIndex = 4000; // beyond the channels of the file
    ASSERT_TRUE(other->readBytes(bytes, "n.kv5", false).ok);
    EXPECT_EQ(other->priorityIndex, 0);
    EXPECT_EQ(other->channels[0]->priority, 1);

    auto empty = freshDocument();
    empty->priorityIndex = 9;
    ASSERT_TRUE(empty->readBytes(freshDocument()->toBytes(), "e.kv5", false).ok);
    EXPECT_EQ(empty->priorityIndex, 0);
}

TEST_F(DocumentFile, FullLogIsReadOldestFirstIntoSlotZero) {
    doc->logStart = 1234;
    test::fillLog(*doc, kLogSlots);
    const auto bytes = doc->toBytes();

    auto other = freshDocument();
    ASSERT_TRUE(other->readBytes(bytes, "log.kv5", false).ok);
    EXPECT_EQ(other->logCount, kLogSlots);
    EXPECT_EQ(other->logStart, 0);
    EXPECT_EQ(other->logRing[0], doc->logEntry(0));
    EXPECT_EQ(other->logRing[4999], doc->logEntry(4999));
    EXPECT_EQ(other->logRing[0].frequency, 200000000u);
}

TEST_F(DocumentFile, CountsAboveTheTablesAreRefusedAsBadFormat) {
    auto bytes = doc->toBytes();
    auto other = freshDocument();
    put32(bytes, 4, 5001);
    const Snapshot before(*other);
    auto result = other->readBytes(bytes, "big.kv5", false);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "big.kv5 has a bad format.");
    put32(bytes, 4, 0xFFFFFFFF);
    EXPECT_EQ(other->readBytes(bytes, "big.kv5", false).message, "big.kv5 has a bad format.");

    bytes = doc->toBytes();
    put32(bytes, bytes.size() - 4, 5001);
    EXPECT_EQ(other->readBytes(bytes, "big.kv5", false).message, "big.kv5 has a bad format.");
    EXPECT_TRUE(Snapshot(*other) == before);
}

TEST_F(DocumentFile, WrongClassAndWrongSchemaAreRefused) {
    test::fillChannels(*doc, 1, 0);
    auto bytes = doc->toBytes();
    const std::size_t tag = kNewDocumentSize - 4;
    auto wrongSchema = bytes;
    wrongSchema[tag + 2] = 2;
    auto result = doc->readBytes(wrongSchema, "s.kv5", false);
    EXPECT_EQ(result.message, "s.kv5 contains an incorrect schema.");

    auto wrongClass = bytes;
    wrongClass[tag + 6] = 'X'; // "XFrequencyData" is no class
    EXPECT_EQ(doc->readBytes(wrongClass, "c.kv5", false).message,
              "c.kv5 contained an unexpected object.");

    // A log entry where a channel should be.
    auto logOnly = freshDocument();
    test::fillLog(*logOnly, 1, 0);
    auto logBytes = logOnly->toBytes();
    put32(logBytes, 4, 1); // one channel announced; the next object is a CLogData
    logBytes.erase(logBytes.begin() + static_cast<long>(tag),
                   logBytes.begin() + static_cast<long>(tag) + 4);
    EXPECT_EQ(doc->readBytes(logBytes, "l.kv5", false).message,
              "l.kv5 contained an unexpected object.");

    auto badTag = bytes;
    badTag[tag] = 0x05;
    badTag[tag + 1] = 0x80;
    EXPECT_EQ(doc->readBytes(badTag, "t.kv5", false).message, "t.kv5 has a bad format.");
}

TEST_F(DocumentFile, EveryShortenedFileIsRefusedAndChangesNothing) {
    auto source = freshDocument();
    test::fillChannels(*source, 3, 4);
    test::fillLog(*source, 2, 3);
    const auto bytes = source->toBytes();

    test::fillChannels(*doc, 2);
    doc->priorityIndex = 1;
    doc->linkSetNames[0] = "mine";
    doc->setModified();
    const Snapshot before(*doc);
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        const std::vector<std::uint8_t> cut(bytes.begin(),
                                            bytes.begin() + static_cast<long>(length));
        const auto result = doc->readBytes(cut, "cut.kv5", false);
        ASSERT_FALSE(result.ok) << length;
        ASSERT_EQ(result.message, "An attempt was made to access cut.kv5 past its and.") << length;
    }
    EXPECT_TRUE(Snapshot(*doc) == before);
    EXPECT_EQ(fileVersion(), kCurrentFileVersion);
}

TEST_F(DocumentFile, DamagedFilesNeverCrash) {
    // Random byte damage: each read either succeeds or is refused with a message.
    auto source = freshDocument();
    test::fillChannels(*source, 20, 8);
    test::fillLog(*source, 20, 8);
    const auto bytes = source->toBytes();
    std::mt19937 random(12345);
    for (int round = 0; round < 300; ++round) {
        auto damaged = bytes;
        for (int hits = 0; hits < 4; ++hits)
            damaged[random() % damaged.size()] = static_cast<std::uint8_t>(random());
        auto target = freshDocument();
        const auto result = target->readBytes(damaged, "d.kv5", round % 2 == 0);
        if (result.ok) {
            EXPECT_LE(target->channelCount, kMaxChannels);
            EXPECT_LE(target->logCount, kLogSlots);
            EXPECT_TRUE(target->channelCount == 0 || target->priorityIndex < target->channelCount);
        } else {
            EXPECT_FALSE(result.message.empty());
        }
    }
}

// ---- legacy format ----

namespace {

void writeF10(Archive& a, std::uint32_t hz) {
    a.writeUInt32(hz / 10);
}

// An older-format file with the given channels (bank, frequency in Hz).
std::vector<std::uint8_t> legacyFile(const std::vector<std::pair<int, std::uint32_t>>& channels) {
    Archive a;
    a.writeInt32(40000);
    a.writeInt32(static_cast<std::int32_t>(channels.size()));
    const std::int32_t params[] = {0x1C, 1, 2, 3, 0x4C, 0x68, 4, 1, 0, 1, 30, 0x2C, 6, 2, -1, -1};
    for (auto value : params)
        a.writeInt32(value);
    a.writeInt32(5); // main bank mask, as read
    writeF10(a, 145500000);
    a.writeInt32(1);    // WFM
    a.writeInt32(1250); // 12.5 kHz code
    a.writeInt32(3);
    a.writeInt32(9);
    a.writeInt32(1015459500);
    a.writeByte(1);
    a.writeString("main");
    for (int k = 0; k < 16; ++k) {
        a.writeByte(k == 2 ? 1 : 0);
        a.writeString("bank" + std::to_string(k));
    }
    for (int k = 0; k < 16; ++k) {
        a.writeByte(1);
        writeF10(a, 1000000u * static_cast<std::uint32_t>(k + 1));
        writeF10(a, 1000000u * static_cast<std::uint32_t>(k + 2));
    }
    for (int k = 0; k < 16; ++k) {
        a.writeByte(1);
        a.writeByte(2);
        writeF10(a, 118000000);
        writeF10(a, 137000000);
        a.writeInt32(5000);
        a.writeString("air");
    }
    for (int k = 0; k < 16; ++k) {
        a.writeByte(1);
        a.writeByte(4);
        writeF10(a, 14000000);
        writeF10(a, 14350000);
        a.writeInt32(123); // unknown code: 10 kHz
    }
    for (auto [bank, hz] : channels) {
        a.writeInt32(bank);
        writeF10(a, hz);
        a.writeInt32(2); // AM
        a.writeInt32(50);
        a.writeInt32(4);
        a.writeInt32(8);
        a.writeInt32(1015459600);
        a.writeByte(1);
        a.writeString("ch");
    }
    return a.takeBuffer();
}

} // namespace

TEST_F(DocumentFile, LegacyFileNamesEndInKvxInAnyCase) {
    EXPECT_TRUE(CKovo5Doc::isLegacyFileName("old.kvx"));
    EXPECT_TRUE(CKovo5Doc::isLegacyFileName("/home/u/OLD.KVX"));
    EXPECT_TRUE(CKovo5Doc::isLegacyFileName("x.KvX"));
    EXPECT_TRUE(CKovo5Doc::isLegacyFileName("kvx")); // only the last three characters count
    EXPECT_FALSE(CKovo5Doc::isLegacyFileName("old.kv5"));
    EXPECT_FALSE(CKovo5Doc::isLegacyFileName("kv"));
}

TEST_F(DocumentFile, LegacyFileIsConvertedAndKeepsTheLog) {
    test::fillLog(*doc, 3);
    doc->memoryBanks[17].name = "untouched";
    doc->searchBanks[18].comment = "untouched";
    doc->controlParams.subStep = 12;
    const auto file = legacyFile({{1, 100000000}, {15, 120000000}});
    test::TempDir dir;
    const std::string path = dir.file("OLD.KVX");
    test::writeFileBytes(path, file);

    const auto result = doc->openDocument(path);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_TRUE(doc->isModified());
    EXPECT_EQ(doc->logCount, 3);
    EXPECT_EQ(doc->channelCount, 2);
    EXPECT_EQ(doc->channels[0]->bankMask, 1 << 1);
    EXPECT_EQ(doc->channels[1]->bankMask, 1 << 21); // bank 15 is the pass-channel bank
    EXPECT_EQ(doc->channels[1]->frequency, 120000000u);
    EXPECT_EQ(doc->channels[0]->mode, 2);
    EXPECT_EQ(doc->channels[0]->ifBandwidth, 2);
    EXPECT_EQ(doc->channels[0]->step, 2); // code 50 is 100 Hz
    EXPECT_EQ(doc->channels[0]->attenuator, 3);
    EXPECT_EQ(doc->channels[0]->antenna, 0);
    EXPECT_EQ(doc->channels[0]->comment, "ch");

    const CControlParams& p = doc->controlParams;
    EXPECT_EQ(p.p1C, 0x1C);
    EXPECT_EQ(p.autoStore, 1);
    EXPECT_EQ(p.operatingMode, 4); // the second p08 counts
    EXPECT_EQ(p.fgSwitch, 3);
    EXPECT_EQ(p.p4C, 0x4C);
    EXPECT_EQ(p.p68, 0x68);
    EXPECT_EQ(p.direction, 1);
    EXPECT_EQ(p.delaySeconds, 1); // 0 in the file, raised to one second
    EXPECT_EQ(p.pause, 1);
    EXPECT_EQ(p.levelAutoStoreOff, 30);
    EXPECT_EQ(p.p2C, 0x2C);
    EXPECT_EQ(p.levelAutoStoreOn, 6);
    EXPECT_EQ(p.scopeRange, 2);
    EXPECT_EQ(p.subStep, 12);

    EXPECT_EQ(doc->mainRecord.bankMask, 5);
    EXPECT_EQ(doc->mainRecord.frequency, 145500000u);
    EXPECT_EQ(doc->mainRecord.ifBandwidth, 6);
    EXPECT_EQ(doc->mainRecord.step, 8);
    EXPECT_EQ(doc->mainRecord.comment, "main");
    EXPECT_EQ(doc->memoryBanks[2].linkFlags[0], 1);
    EXPECT_EQ(doc->memoryBanks[2].linkFlags[1], 0);
    EXPECT_EQ(doc->memoryBanks[15].name, "bank15");
    EXPECT_EQ(doc->memoryBanks[17].name, "untouched");
    EXPECT_EQ(doc->passRanges[0].highFrequency, 2000000u);
    EXPECT_EQ(doc->searchBanks[15].step, 11);
    EXPECT_EQ(doc->searchBanks[15].comment, "air");
    EXPECT_EQ(doc->searchBanks[18].comment, "untouched");
    EXPECT_EQ(doc->autoRanges[0].ifBandwidth, 1); // USB default
    EXPECT_EQ(doc->autoRanges[0].step, 7);
}

// The older format stores no priority mark; the converted table marks the
// priority channel so that saving and reopening keep it.
TEST_F(DocumentFile, ConvertedLegacyFileKeepsItsPriorityChannelWhenSaved) {
    doc->priorityIndex = 2; // row 0 once the table is in order
    ASSERT_TRUE(
        doc->readBytes(legacyFile({{1, 100000000}, {2, 120000000}, {3, 80000000}}), "old.kvx", true)
            .ok);
    ASSERT_EQ(doc->priorityIndex, 0);
    EXPECT_EQ(doc->channels[0]->priority, 1);

    auto reopened = freshDocument();
    reopened->priorityIndex = 2;
    ASSERT_TRUE(reopened->readBytes(doc->toBytes(), "new.kv5", false).ok);
    EXPECT_EQ(reopened->priorityIndex, 0);
    EXPECT_EQ(reopened->toBytes(), doc->toBytes());
}

TEST_F(DocumentFile, LegacyDataInAKv5FileIsReadAsTheCurrentFormat) {
    test::TempDir dir;
    const std::string path = dir.file("old.kv5");
    test::writeFileBytes(path, legacyFile({{1, 100000000}}));
    const Snapshot before(*doc);
    EXPECT_FALSE(doc->openDocument(path).ok);
    EXPECT_TRUE(Snapshot(*doc) == before);
}

TEST_F(DocumentFile, ShortLegacyFileIsRefused) {
    const auto file = legacyFile({{1, 100000000}, {2, 100100000}});
    for (std::size_t length : {std::size_t{0}, std::size_t{6}, std::size_t{100}, file.size() - 1}) {
        const std::vector<std::uint8_t> cut(file.begin(), file.begin() + static_cast<long>(length));
        EXPECT_EQ(doc->readBytes(cut, "c.kvx", true).message,
                  "An attempt was made to access c.kvx past its and.");
    }
    auto tooMany = file;
    put32(tooMany, 4, 5001);
    EXPECT_EQ(doc->readBytes(tooMany, "c.kvx", true).message, "c.kvx has a bad format.");
    EXPECT_EQ(doc->channelCount, 0);
}

// ---- channel order ----

namespace {

using BankAndHz = std::pair<int, std::uint32_t>; // the bank tells the copies apart

struct OrderCase {
    const char* name;
    std::vector<BankAndHz> stored;
    int rowBefore; // the priority channel (the marked one, or the legacy reader's index)
                   // and the scan position before reading
    std::vector<BankAndHz> expected;
    int merged;
    int rowAfter;
};

const OrderCase kOrderCases[] = {
    {"in order",
     {{1, 100000000}, {2, 200000000}, {3, 300000000}},
     2,
     {{1, 100000000}, {2, 200000000}, {3, 300000000}},
     0,
     2},
    {"reversed",
     {{1, 300000000}, {2, 200000000}, {3, 100000000}},
     0,
     {{3, 100000000}, {2, 200000000}, {1, 300000000}},
     0,
     2},
    {"a repeat: the first copy stays",
     {{1, 100000000}, {2, 200000000}, {3, 200000000}, {4, 300000000}},
     2,
     {{1, 100000000}, {2, 200000000}, {4, 300000000}},
     1,
     1},
    {"repeats out of order",
     {{1, 200000000}, {2, 100000000}, {3, 200000000}, {4, 100000000}, {5, 200000000}},
     4,
     {{2, 100000000}, {1, 200000000}},
     3,
     1},
    {"a repeat as the last row", {{1, 100000000}, {2, 100000000}}, 1, {{1, 100000000}}, 1, 0},
};

std::vector<BankAndHz> tableOf(const CKovo5Doc& doc) {
    std::vector<BankAndHz> table;
    for (int i = 0; i < doc.channelCount; ++i) {
        const auto& ch = *doc.channels[static_cast<std::size_t>(i)];
        table.emplace_back(std::countr_zero(static_cast<std::uint32_t>(ch.bankMask)), ch.frequency);
    }
    return table;
}

// A current-format file of these channels, the one in row `markedRow` (if
// any) carrying the priority mark.
std::vector<std::uint8_t> currentFile(const test::DocumentFixture& fixture,
                                      const std::vector<BankAndHz>& stored, int markedRow = -1) {
    auto doc = fixture.freshDocument();
    for (std::size_t i = 0; i < stored.size(); ++i) {
        doc->channels[i] = std::make_unique<CFrequencyData>();
        doc->channels[i]->bankMask = 1 << stored[i].first;
        doc->channels[i]->frequency = stored[i].second;
        doc->channels[i]->priority = static_cast<int>(i) == markedRow ? 1 : 0;
    }
    doc->channelCount = static_cast<int>(stored.size());
    return doc->toBytes();
}

} // namespace

// Every look-up relies on the table's order, so reading puts a file's channels
// in order and keeps one channel per frequency, in both layouts.
TEST_F(DocumentFile, ReadingSortsTheChannelsAndMergesRepeatedFrequencies) {
    for (const bool legacy : {false, true}) {
        for (const OrderCase& c : kOrderCases) {
            SCOPED_TRACE(std::string(c.name) + (legacy ? " (legacy)" : ""));
            const auto bytes =
                legacy ? legacyFile(c.stored) : currentFile(*this, c.stored, c.rowBefore);
            auto other = freshDocument();
            other->priorityIndex = c.rowBefore;
            const FileResult result = other->readBytes(bytes, "t.kv5", legacy);
            ASSERT_TRUE(result.ok) << result.message;
            EXPECT_EQ(tableOf(*other), c.expected);
            EXPECT_EQ(other->priorityIndex, c.rowAfter);
            EXPECT_EQ(other->rowAfterReplacement(c.rowBefore), c.rowAfter);
            EXPECT_EQ(other->isModified(), legacy || c.stored != c.expected);
            if (c.merged == 0) {
                EXPECT_EQ(result.message, "");
            } else {
                EXPECT_EQ(result.message, "t.kv5 held " + std::to_string(c.merged) +
                                              (c.merged == 1 ? " channel" : " channels") +
                                              " with a frequency stored before; the first "
                                              "channel of each frequency was kept and the "
                                              "others were merged into it.");
            }
            if (!legacy && c.stored == c.expected) {
                EXPECT_EQ(other->toBytes(), bytes) << "a well-ordered file is written back as read";
            }
        }
    }
}

// A damaged file can still parse; nothing in it the receiver cannot tune comes
// in, and the user is told what was left out.
TEST_F(DocumentFile, ReadingLeavesOutWhatTheReceiverCannotTune) {
    auto source = freshDocument();
    const std::vector<BankAndHz> stored = {
        {1, 4176867295u}, {2, 145000000}, {3, 50000}, {4, 2040000000}, {5, 100000}};
    for (std::size_t i = 0; i < stored.size(); ++i) {
        source->channels[i] = std::make_unique<CFrequencyData>();
        source->channels[i]->bankMask = 1 << stored[i].first;
        source->channels[i]->frequency = stored[i].second;
        source->channels[i]->priority = i == 0 ? 1 : 0; // the priority channel goes
    }
    source->channelCount = static_cast<int>(stored.size());
    source->searchBanks[3].stopFrequency = 3000000000u;
    source->passRanges[1] = {1, 99999, 200000000, "pass"};
    source->passRanges[2] = {1, 0, 100000, "kept: 0 is an unset edge"};
    source->autoRanges[4].startFrequency = 2040000001u;
    source->mainRecord.frequency = 4176867295u;
    const auto damaged = source->toBytes();

    auto read = freshDocument();
    const FileResult result = read->readBytes(damaged, "d.kv5", false);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(tableOf(*read),
              (std::vector<BankAndHz>{{5, 100000}, {2, 145000000}, {4, 2040000000}}));
    EXPECT_EQ(read->priorityIndex, 2) << "the nearest kept channel";
    EXPECT_EQ(read->channels[2]->priority, 1);
    EXPECT_EQ(read->priorityRecord.frequency, 2040000000u);
    const auto fresh = freshDocument();
    EXPECT_EQ(read->searchBanks[3], fresh->searchBanks[3]);
    EXPECT_EQ(read->passRanges[1], fresh->passRanges[1]);
    EXPECT_EQ(read->passRanges[2].comment, "kept: 0 is an unset edge");
    EXPECT_EQ(read->autoRanges[4], fresh->autoRanges[4]);
    EXPECT_EQ(read->mainRecord.frequency, 145000000u) << "the new-document tuning record";
    EXPECT_EQ(read->mainRecord.comment, fresh->mainRecord.comment);
    EXPECT_TRUE(read->isModified());
    EXPECT_EQ(result.message,
              "d.kv5 held 2 channels, 3 search banks or ranges, the tuned frequency outside the "
              "receiver's 0.1 to 2040 MHz; channels were left out, and ranges and the tuned "
              "frequency were set as in a new document.");

    // What is left reads back as it was written, without a word.
    auto again = freshDocument();
    const FileResult reread = again->readBytes(read->toBytes(), "d.kv5", false);
    EXPECT_EQ(reread.message, "");
    EXPECT_EQ(again->toBytes(), read->toBytes());
    EXPECT_EQ(again->priorityIndex, 2);
}

TEST_F(DocumentFile, TheKeptCopyTakesThePriorityMarkOfARepeat) {
    auto bytes = currentFile(*this, {{1, 200000000}, {2, 100000000}, {3, 200000000}});
    auto source = freshDocument();
    ASSERT_TRUE(source->readBytes(bytes, "s.kv5", false).ok); // now in order: 100, 200
    source->channels[1]->priority = 0;
    auto repeat = std::make_unique<CFrequencyData>(*source->channels[1]);
    repeat->priority = 1;
    repeat->bankMask = 1 << 7;
    source->channels[2] = std::move(repeat); // a marked repeat of 200 MHz last
    source->channelCount = 3;

    auto other = freshDocument();
    ASSERT_TRUE(other->readBytes(source->toBytes(), "p.kv5", false).ok);
    EXPECT_EQ(tableOf(*other), (std::vector<BankAndHz>{{2, 100000000}, {1, 200000000}}));
    EXPECT_EQ(other->priorityIndex, 1);
    EXPECT_EQ(other->channels[1]->priority, 1);
    EXPECT_EQ(other->priorityRecord.frequency, 200000000u);
    EXPECT_EQ(other->priorityRecord.bankMask, 1 << 1) << "the kept copy, not the repeat";
}

// A file out of order with several marks: the channel that was marked last
// in the file stays the priority channel through saving and opening again.
TEST_F(DocumentFile, APriorityChannelChosenBeforeOrderingSurvivesSaveAndOpen) {
    auto source = freshDocument();
    ASSERT_TRUE(
        source
            ->readBytes(currentFile(*this, {{1, 300000000}, {2, 100000000}, {3, 200000000}}),
                        "s.kv5", false)
            .ok); // now in order: 100, 200, 300
    // Written back out of order: 300 (marked), 100, 200 (marked last).
    std::swap(source->channels[0], source->channels[2]);
    std::swap(source->channels[1], source->channels[2]);
    source->channels[0]->priority = 85;
    source->channels[2]->priority = 1;

    auto first = freshDocument();
    ASSERT_TRUE(first->readBytes(source->toBytes(), "p.kv5", false).ok);
    EXPECT_EQ(first->channels[std::size_t(first->priorityIndex)]->frequency, 200000000u);
    auto again = freshDocument();
    ASSERT_TRUE(again->readBytes(first->toBytes(), "q.kv5", false).ok);
    EXPECT_EQ(again->channels[std::size_t(again->priorityIndex)]->frequency, 200000000u);
    EXPECT_EQ(again->toBytes(), first->toBytes());
}

// The priority copy never outlives the document it came from: after any read
// it is the new priority channel, or the new main record in a file without
// channels; the main tuning's offset stays.
TEST_F(DocumentFile, ReadingReplacesThePriorityCopyInBothLayouts) {
    const struct {
        const char* name;
        bool legacy;
        std::vector<BankAndHz> channels;
        std::uint32_t priorityFrequency;
    } cases[] = {
        {"legacy", true, {{1, 100000000}, {2, 120000000}}, 120000000},
        {"legacy without channels", true, {}, 145500000},
        {"current without channels", false, {}, 145000000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto other = freshDocument();
        test::fillChannels(*other, 3);
        other->priorityIndex = 1;
        other->channelTable().copyToPriorityRecord(1);
        other->controlParams.tuningOffset = 2500;
        const auto bytes = c.legacy ? legacyFile(c.channels) : currentFile(*this, c.channels);
        ASSERT_TRUE(other->readBytes(bytes, "f", c.legacy).ok);
        EXPECT_EQ(other->priorityRecord.frequency, c.priorityFrequency);
        if (c.legacy) {
            EXPECT_EQ(other->controlParams.tuningOffset, 2500) << "not stored in this layout";
        }
    }
}

// ---- files on disk ----

TEST_F(DocumentFile, SaveThenOpenGivesTheSameDocument) {
    test::TempDir dir;
    const std::string path = dir.file("Frequency.kv5");
    test::fillChannels(*doc, 5);
    doc->channels[0]->priority = 1;
    doc->setModified();
    ASSERT_TRUE(doc->saveDocument(path).ok);
    EXPECT_FALSE(doc->isModified());
    EXPECT_EQ(test::readFileBytes(path), doc->toBytes());
    // Nothing but the document is left in the directory.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    auto other = freshDocument();
    ASSERT_TRUE(other->openDocument(path).ok);
    EXPECT_EQ(other->toBytes(), doc->toBytes());
}

TEST_F(DocumentFile, SavingKeepsTheFilePermissions) {
    test::TempDir dir;
    const std::string path = dir.file("perm.kv5");
    test::writeFileBytes(path, {1, 2, 3});
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(doc->saveDocument(path).ok);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST_F(DocumentFile, FailedSaveKeepsThePreviousFile) {
    test::TempDir dir;
    const std::string path = dir.file("keep.kv5");
    const std::vector<std::uint8_t> previous = {9, 8, 7, 6};
    test::writeFileBytes(path, previous);
    test::fillChannels(*doc, 100, 40);
    doc->setModified();

    // Let no file grow beyond 1000 bytes: the write of the document fails.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto result = doc->saveDocument(path);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "ﾄﾞｷｭﾒﾝﾄの保存に失敗しました。");
    EXPECT_TRUE(doc->isModified());
    EXPECT_EQ(test::readFileBytes(path), previous);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST_F(DocumentFile, FileErrorsNameTheFile) {
    test::TempDir dir;
    const std::string missing = dir.file("missing.kv5");
    EXPECT_EQ(doc->openDocument(missing).message, missing + " was not found.");
    const std::string inMissingDir = dir.file("no/such.kv5");
    EXPECT_EQ(doc->saveDocument(inMissingDir).message, inMissingDir + " was not found.");
    EXPECT_EQ(doc->openDocument(dir.path()).message, "ﾄﾞｷｭﾒﾝﾄを開くことに失敗しました。");
}
