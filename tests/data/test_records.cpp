#include <gtest/gtest.h>

#include "DataTestSupport.h"
#include "data/Archive.h"
#include "data/CAutoBank.h"
#include "data/CControlParams.h"
#include "data/CFrequencyData.h"
#include "data/CLogData.h"
#include "data/CMemoryBank.h"
#include "data/CPassBank.h"
#include "data/CSearchBank.h"
#include "data/SlLogData.h"

using namespace kovo;
using test::hex;

namespace {

template <typename T> std::vector<std::uint8_t> serialized(T record) {
    Archive archive;
    record.serialize(archive);
    return archive.takeBuffer();
}

template <typename T> T readBack(const std::vector<std::uint8_t>& bytes, T start = T()) {
    Archive archive{std::span<const std::uint8_t>(bytes)};
    start.serialize(archive);
    EXPECT_EQ(archive.remaining(), 0u);
    return start;
}

CFrequencyData sampleChannel() {
    CFrequencyData c;
    c.frequency = 145000000;
    c.bankMask = 0x200006;
    c.heard = 1;
    c.step = 10;
    c.mode = 4;
    c.ifBandwidth = 3;
    c.attenuator = 1;
    c.antenna = 2;
    c.heardTime = 1015459500;
    c.signal = 12;
    c.maxSignal = 15;
    c.comment = "Tower";
    c.priority = 1;
    c.ctcss = 51;
    c.tElm = 7;
    c.spare = -9;
    return c;
}

} // namespace

TEST(Records, ChannelStoredFormIsFiftySevenBytesPlusTheComment) {
    CFrequencyData empty;
    EXPECT_EQ(serialized(empty).size(), 58u);

    CFrequencyData longComment;
    longComment.comment.assign(300, 'c');
    const auto bytes = serialized(longComment);
    EXPECT_EQ(bytes.size(), 57u + 3u + 300u);
    EXPECT_EQ(hex(bytes, 41, 3), "FF 2C 01");
}

TEST(Records, ChannelFieldsAreStoredInOrderAndBankNumberIsNot) {
    CFrequencyData channel = sampleChannel();
    channel.bankNumber = 42;
    const auto bytes = serialized(channel);
    EXPECT_EQ(hex(bytes, 0, 9), "40 86 A4 08 06 00 20 00 01");
    EXPECT_EQ(hex(bytes, 9, 4), "0A 00 00 00");        // step
    EXPECT_EQ(hex(bytes, 41, 6), "05 54 6F 77 65 72"); // comment
    EXPECT_EQ(hex(bytes, 47, 16), "01 00 00 00 33 00 00 00 07 00 00 00 F7 FF FF FF");

    CFrequencyData target;
    target.bankNumber = 17;
    const CFrequencyData read = readBack(bytes, target);
    EXPECT_EQ(read.bankNumber, 17);
    CFrequencyData expected = sampleChannel();
    expected.bankNumber = 17;
    EXPECT_EQ(read, expected);
}

TEST(Records, OldFilesStoreABankNumberInsteadOfAMask) {
    CFrequencyData channel;
    channel.bankMask = 3;
    const auto bytes = serialized(channel);
    {
        ScopedFileVersion version(50002);
        EXPECT_EQ(readBack<CFrequencyData>(bytes).bankMask, 8);
    }
    {
        ScopedFileVersion version(50003);
        EXPECT_EQ(readBack<CFrequencyData>(bytes).bankMask, 3);
    }
    channel.bankMask = 40; // no such bank: no shift past the word
    ScopedFileVersion version(50002);
    EXPECT_EQ(readBack<CFrequencyData>(serialized(channel)).bankMask, 0);
}

TEST(Records, MemoryBankLinkFlagsByFileVersion) {
    CMemoryBank bank;
    bank.linkFlags[0] = 1;
    bank.linkFlags[19] = 1;
    bank.name = "Air";
    const auto bytes = serialized(bank);
    ASSERT_EQ(bytes.size(), 24u);
    EXPECT_EQ(readBack<CMemoryBank>(bytes), bank);

    // Older files: one flag byte, then the name; the byte goes to every link set.
    const auto old = test::bytesOf(std::string("\x01\x03"
                                               "Air",
                                               5));
    ScopedFileVersion version(51009);
    const CMemoryBank read = readBack<CMemoryBank>(old);
    for (auto flag : read.linkFlags)
        EXPECT_EQ(flag, 1);
    EXPECT_EQ(read.name, "Air");
}

TEST(Records, SearchBankAndAutoRangeOrderTheirFieldsDifferently) {
    CSearchBank search;
    search.inUse = 1;
    search.mode = 2;
    search.ifBandwidth = 3;
    search.antenna = 4;
    search.attenuator = 5;
    search.startFrequency = 6;
    search.stopFrequency = 7;
    search.step = 8;
    const auto s = serialized(search);
    ASSERT_EQ(s.size(), 27u);
    EXPECT_EQ(hex(s, 0, 27),
              "01 02 03 00 00 00 04 00 00 00 05 00 00 00 06 00 00 00 07 00 00 00 08 00 00 00 00");
    EXPECT_EQ(readBack<CSearchBank>(s), search);

    CAutoBank range;
    range.inUse = 1;
    range.mode = 2;
    range.ifBandwidth = 3;
    range.attenuator = 4;
    range.antenna = 5;
    range.startFrequency = 6;
    range.stopFrequency = 7;
    range.step = 8;
    const auto a = serialized(range);
    ASSERT_EQ(a.size(), 27u);
    EXPECT_EQ(hex(a, 0, 27),
              "01 02 04 00 00 00 05 00 00 00 06 00 00 00 07 00 00 00 08 00 00 00 00 03 00 00 00");
    EXPECT_EQ(readBack<CAutoBank>(a), range);
}

TEST(Records, AutoRangeFromVersion50001KeepsItsIfBandwidth) {
    CAutoBank range;
    range.ifBandwidth = 6;
    auto bytes = serialized(range);
    bytes.resize(bytes.size() - 4); // older files have no IF bandwidth
    CAutoBank before;
    before.ifBandwidth = 5;
    ScopedFileVersion version(50001);
    EXPECT_EQ(readBack(bytes, before).ifBandwidth, 5);
}

TEST(Records, PassRangeLogEntryAndSlLogDataSizes) {
    EXPECT_EQ(serialized(CPassBank()).size(), 10u);
    CLogData entry;
    entry.frequency = 1;
    entry.firstHeard = 2;
    entry.lastHeard = 3;
    entry.maxSignal = 4;
    entry.comment = "ab";
    const auto bytes = serialized(entry);
    EXPECT_EQ(hex(bytes, 0, 19), "01 00 00 00 02 00 00 00 03 00 00 00 04 00 00 00 02 61 62");
    EXPECT_EQ(readBack<CLogData>(bytes), entry);
    EXPECT_EQ(serialized(SlLogData()).size(), 16u);
}

TEST(Records, ControlParamsAreAlways144BytesInTheirStoredOrder) {
    CControlParams params;
    for (int offset = 0x04; offset <= 0x98; offset += 4)
        params.at(offset) = offset;
    const auto bytes = serialized(params);
    ASSERT_EQ(bytes.size(), 144u);
    // p10 is stored after p4C, p50..p64 after p98, and p68 last.
    EXPECT_EQ(bytes[0], 0x04);
    EXPECT_EQ(bytes[4 * 17], 0x4C);
    EXPECT_EQ(bytes[4 * 18], 0x10);
    EXPECT_EQ(bytes[4 * 19], 0x74);
    EXPECT_EQ(bytes[4 * 28], 0x98);
    EXPECT_EQ(bytes[4 * 29], 0x50);
    EXPECT_EQ(bytes[4 * 35], 0x68);
    for (std::size_t i = 0; i < bytes.size(); i += 4) {
        EXPECT_NE(bytes[i], 0x6C);
        EXPECT_NE(bytes[i], 0x70);
    }

    // Reading leaves p6C and p70, which are not in the file, as they were.
    CControlParams target;
    target.searchBankIndex = 11;
    target.databaseView = 4;
    const CControlParams read = readBack(bytes, target);
    EXPECT_EQ(read.searchBankIndex, 11);
    EXPECT_EQ(read.databaseView, 4);
    EXPECT_EQ(read.operatingMode, 0x08);
    EXPECT_EQ(read.modeEnabled[5], 0x64);
    EXPECT_EQ(read.currentLinkSet, 0x98);
}

TEST(Records, ControlParamsDelayIsRaisedToOneSecond) {
    for (int stored : {0, -5}) {
        CControlParams params;
        params.delaySeconds = stored;
        EXPECT_EQ(readBack<CControlParams>(serialized(params)).delaySeconds, 1) << stored;
    }
    CControlParams params;
    params.delaySeconds = 7;
    EXPECT_EQ(readBack<CControlParams>(serialized(params)).delaySeconds, 7);
}

TEST(Records, ControlParamsPositionalAccessAndNames) {
    CControlParams params;
    params.at(0x08) = 3;
    params.at(0x5C) = 1;
    params.at(0x98) = 19;
    EXPECT_EQ(params.operatingMode, 3);
    EXPECT_EQ(params.modeEnabled[3], 1);
    EXPECT_EQ(params.currentLinkSet, 19);
    EXPECT_EQ(CControlParams::positionName(0x0C), "p0C");
    EXPECT_EQ(CControlParams::positionName(0x98), "p98");
    EXPECT_THROW(params.at(0x9C), std::out_of_range);
    EXPECT_THROW(params.at(0x05), std::out_of_range);
    EXPECT_THROW(params.at(0x00), std::out_of_range);
}

TEST(Records, ControlParamsNewDocumentValuesKeepTheUnchangedFields) {
    CControlParams params;
    for (int offset = 0x04; offset <= 0x98; offset += 4)
        params.at(offset) = 99;
    params.setNewDocumentValues();
    for (int offset : {0x1C, 0x2C, 0x48, 0x4C, 0x68})
        EXPECT_EQ(params.at(offset), 99) << CControlParams::positionName(offset);
    EXPECT_EQ(params.operatingMode, 5);
    EXPECT_EQ(params.p10, 120);
    EXPECT_EQ(params.autoMode, 1);
    EXPECT_EQ(params.stepAdjust, 1);
    EXPECT_EQ(params.delaySeconds, 2);
    EXPECT_EQ(params.levelAutoStoreOff, 60);
    EXPECT_EQ(params.levelAutoStoreOn, 5);
    EXPECT_EQ(params.p40, 64);
    EXPECT_EQ(params.scopeRange, 3);
    EXPECT_EQ(params.subStep, 16);
    for (auto flag : params.modeEnabled)
        EXPECT_EQ(flag, 1);
    for (int offset : {0x04, 0x0C, 0x20, 0x24, 0x28, 0x30, 0x6C, 0x70, 0x74, 0x78, 0x80, 0x84, 0x88,
                       0x8C, 0x90, 0x94, 0x98})
        EXPECT_EQ(params.at(offset), 0) << CControlParams::positionName(offset);
}

TEST(Records, RegisteredClassesAreFoundByExactName) {
    for (const char* name : {"CFrequencyData", "CMemoryBank", "CSearchBank", "CPassBank",
                             "CAutoBank", "CLogData", "CControlParams", "SlLogData"})
        EXPECT_EQ(registeredSchema(name), 1) << name;
    EXPECT_EQ(registeredSchema("CLOGDATA"), -1);
    EXPECT_EQ(registeredSchema("CObject"), -1);
}
