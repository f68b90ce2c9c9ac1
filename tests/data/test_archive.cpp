#include <gtest/gtest.h>

#include "DataTestSupport.h"
#include "data/Archive.h"
#include "data/CFrequencyData.h"
#include "data/CLogData.h"

using namespace kovo;
using test::bytesOf;
using test::hex;

namespace {

std::vector<std::uint8_t> stored(const std::string& text) {
    Archive archive;
    archive.writeString(text);
    return archive.takeBuffer();
}

ArchiveFault faultOf(const std::vector<std::uint8_t>& bytes, void (*read)(Archive&)) {
    Archive archive{std::span<const std::uint8_t>(bytes)};
    try {
        read(archive);
    } catch (const ArchiveError& error) {
        return error.fault();
    }
    ADD_FAILURE() << "no error";
    return ArchiveFault::BadFormat;
}

void readOneChannel(Archive& archive) {
    readObject<CFrequencyData>(archive);
}

} // namespace

TEST(Archive, IntegersAreLittleEndianWithoutPadding) {
    Archive archive;
    archive.writeInt32(51010);
    archive.writeByte(0xAB);
    archive.writeUInt16(0x1234);
    archive.writeInt32(-2);
    EXPECT_EQ(hex(archive.buffer(), 0, 11), "42 C7 00 00 AB 34 12 FE FF FF FF");

    Archive reader{std::span<const std::uint8_t>(archive.buffer())};
    EXPECT_EQ(reader.readInt32(), 51010);
    EXPECT_EQ(reader.readByte(), 0xAB);
    EXPECT_EQ(reader.readUInt16(), 0x1234);
    EXPECT_EQ(reader.readInt32(), -2);
    EXPECT_EQ(reader.remaining(), 0u);
}

TEST(Archive, StringLengthPrefixHasThreeForms) {
    EXPECT_EQ(hex(stored("ab"), 0, 3), "02 61 62");
    EXPECT_EQ(stored(std::string(254, 'x'))[0], 254);
    EXPECT_EQ(hex(stored(std::string(255, 'x')), 0, 3), "FF FF 00");
    EXPECT_EQ(hex(stored(std::string(65533, 'x')), 0, 3), "FF FD FF");
    // 65534 would read as the 16-bit-character mark, so it takes the long form.
    EXPECT_EQ(hex(stored(std::string(65534, 'x')), 0, 7), "FF FF FF FE FF 00 00");
    EXPECT_EQ(hex(stored(std::string(70000, 'x')), 0, 7), "FF FF FF 70 11 01 00");

    for (std::size_t length : {0u, 254u, 255u, 65533u, 65534u, 70000u}) {
        const std::string text(length, 'q');
        const auto bytes = stored(text);
        Archive reader{std::span<const std::uint8_t>(bytes)};
        EXPECT_EQ(reader.readString(), text) << length;
        EXPECT_EQ(reader.remaining(), 0u) << length;
    }
}

TEST(Archive, SixteenBitCharacterStringsAreReadAsCodePage932) {
    // 0xFF 0xFFFE, then 2 characters: "A" and katakana A (U+30A2).
    const auto bytes = bytesOf(std::string("\xFF\xFE\xFF\x02"
                                           "A\0\xA2\x30",
                                           8));
    Archive reader{std::span<const std::uint8_t>(bytes)};
    EXPECT_EQ(reader.readString(), "A\x83\x41");
    EXPECT_EQ(reader.remaining(), 0u);

    // The long form after the mark counts characters too.
    auto longForm = bytesOf(std::string("\xFF\xFE\xFF\xFF\x2C\x01", 6));
    for (int i = 0; i < 300; ++i) {
        longForm.push_back('z');
        longForm.push_back(0);
    }
    Archive longReader{std::span<const std::uint8_t>(longForm)};
    EXPECT_EQ(longReader.readString(), std::string(300, 'z'));
}

TEST(Archive, ReadingPastTheEndThrowsInsteadOfReading) {
    const auto shortString = bytesOf("\x05"
                                     "abc");
    EXPECT_EQ(faultOf(shortString, [](Archive& a) { a.readString(); }), ArchiveFault::EndOfFile);
    // A huge announced length must not allocate or read: it is past the end.
    const auto huge = bytesOf("\xFF\xFF\xFF\xFF\xFF\xFF\x7F"
                              "a");
    EXPECT_EQ(faultOf(huge, [](Archive& a) { a.readString(); }), ArchiveFault::EndOfFile);
    const auto threeBytes = bytesOf("\x01\x02\x03");
    EXPECT_EQ(faultOf(threeBytes, [](Archive& a) { a.readInt32(); }), ArchiveFault::EndOfFile);
    const auto wideCut = bytesOf(std::string("\xFF\xFE\xFF\x03"
                                             "A\0B",
                                             7));
    EXPECT_EQ(faultOf(wideCut, [](Archive& a) { a.readString(); }), ArchiveFault::EndOfFile);
}

TEST(Archive, TaggedObjectsCarryAClassRecordThenClassReferences) {
    Archive archive;
    CFrequencyData channel;
    CLogData entry;
    writeObject(archive, channel);
    writeObject(archive, channel);
    writeObject(archive, entry);
    writeObject(archive, entry);
    const auto& b = archive.buffer();
    EXPECT_EQ(hex(b, 0, 6), "FF FF 01 00 0E 00");
    EXPECT_EQ(std::string(b.begin() + 6, b.begin() + 20), "CFrequencyData");
    EXPECT_EQ(hex(b, 20 + 58, 2), "01 80");
    const std::size_t logStart = 20 + 58 + 2 + 58;
    EXPECT_EQ(hex(b, logStart, 6), "FF FF 01 00 08 00");
    EXPECT_EQ(std::string(b.begin() + logStart + 6, b.begin() + logStart + 14), "CLogData");
    // CFrequencyData is class 1, its objects 2 and 3; CLogData is class 4.
    EXPECT_EQ(hex(b, logStart + 14 + 17, 2), "04 80");

    Archive reader{std::span<const std::uint8_t>(b)};
    EXPECT_NO_THROW(readObject<CFrequencyData>(reader));
    EXPECT_NO_THROW(readObject<CFrequencyData>(reader));
    EXPECT_NO_THROW(readObject<CLogData>(reader));
    EXPECT_NO_THROW(readObject<CLogData>(reader));
    EXPECT_EQ(reader.remaining(), 0u);
}

TEST(Archive, LongTagFormIsAccepted) {
    Archive archive;
    CFrequencyData channel;
    channel.frequency = 7;
    writeObject(archive, channel);
    auto bytes = archive.takeBuffer();
    // A second object referring to class 1 through the 0x7FFF + 32-bit form.
    const std::uint8_t longTag[] = {0xFF, 0x7F, 0x01, 0x00, 0x00, 0x80};
    bytes.insert(bytes.end(), std::begin(longTag), std::end(longTag));
    const auto body = std::vector<std::uint8_t>(bytes.begin() + 20, bytes.begin() + 20 + 58);
    bytes.insert(bytes.end(), body.begin(), body.end());

    Archive reader{std::span<const std::uint8_t>(bytes)};
    readObject<CFrequencyData>(reader);
    EXPECT_EQ(readObject<CFrequencyData>(reader)->frequency, 7u);
}

TEST(Archive, WrongClassUnknownClassAndWrongSchemaAreRefused) {
    Archive log;
    CLogData entry;
    writeObject(log, entry);
    EXPECT_EQ(faultOf(log.buffer(), readOneChannel), ArchiveFault::UnexpectedObject);

    const auto unknown = bytesOf(std::string("\xFF\xFF\x01\x00\x05\x00"
                                             "CFoo1",
                                             11));
    EXPECT_EQ(faultOf(unknown, readOneChannel), ArchiveFault::UnexpectedObject);

    Archive channel;
    CFrequencyData record;
    writeObject(channel, record);
    auto schema2 = channel.takeBuffer();
    schema2[2] = 2;
    EXPECT_EQ(faultOf(schema2, readOneChannel), ArchiveFault::BadSchema);

    // Class names are matched case-sensitively.
    auto lowerCase = bytesOf(std::string("\xFF\xFF\x01\x00\x0E\x00"
                                         "cfrequencydata",
                                         20));
    EXPECT_EQ(faultOf(lowerCase, readOneChannel), ArchiveFault::UnexpectedObject);
}

TEST(Archive, MalformedTagsAreABadFormat) {
    // Class reference before any class, a null tag, an object back-reference
    // and a class reference that names an object.
    EXPECT_EQ(faultOf(bytesOf("\x01\x80"), readOneChannel), ArchiveFault::BadFormat);
    EXPECT_EQ(faultOf(bytesOf(std::string("\x00\x00", 2)), readOneChannel),
              ArchiveFault::BadFormat);

    Archive archive;
    CFrequencyData record;
    writeObject(archive, record);
    for (const std::string& tail :
         {std::string("\x02\x00", 2), std::string("\x02\x80", 2),
          std::string("\xFF\x7F\x02\x00\x00\x00", 6), std::string("\xFF\x7F\x09\x00\x00\x80", 6)}) {
        auto bytes = archive.buffer();
        bytes.insert(bytes.end(), tail.begin(), tail.end());
        EXPECT_EQ(faultOf(bytes,
                          [](Archive& a) {
                              readObject<CFrequencyData>(a);
                              readObject<CFrequencyData>(a);
                          }),
                  ArchiveFault::BadFormat)
            << hex(bytesOf(tail), 0, tail.size());
    }
}

TEST(Archive, ScopedFileVersionRestoresThePreviousVersion) {
    EXPECT_EQ(fileVersion(), kCurrentFileVersion);
    {
        ScopedFileVersion outer(50001);
        EXPECT_EQ(fileVersion(), 50001);
        try {
            ScopedFileVersion inner(40000);
            throw ArchiveError(ArchiveFault::EndOfFile, "x");
        } catch (const ArchiveError&) {
        }
        EXPECT_EQ(fileVersion(), 50001);
    }
    EXPECT_EQ(fileVersion(), kCurrentFileVersion);
}
