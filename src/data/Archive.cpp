#include "Archive.h"

#include <array>

#include "CAutoBank.h"
#include "CControlParams.h"
#include "CFrequencyData.h"
#include "CLogData.h"
#include "CMemoryBank.h"
#include "CPassBank.h"
#include "CSearchBank.h"
#include "Cp932.h"
#include "SlLogData.h"

namespace kovo {
namespace {

std::int32_t g_fileVersion = kCurrentFileVersion;

constexpr std::uint16_t kNullTag = 0x0000;
constexpr std::uint16_t kNewClassTag = 0xFFFF;
constexpr std::uint16_t kClassTag = 0x8000;
constexpr std::uint16_t kBigObjectTag = 0x7FFF;
constexpr std::uint32_t kBigClassTag = 0x80000000u;
constexpr std::uint16_t kWideStringMark = 0xFFFE;

struct RegisteredClass {
    std::string_view name;
    std::uint16_t schema;
};

constexpr std::array<RegisteredClass, 8> kRegisteredClasses{{
    {CFrequencyData::kClassName, CFrequencyData::kSchema},
    {CMemoryBank::kClassName, CMemoryBank::kSchema},
    {CSearchBank::kClassName, CSearchBank::kSchema},
    {CPassBank::kClassName, CPassBank::kSchema},
    {CAutoBank::kClassName, CAutoBank::kSchema},
    {CLogData::kClassName, CLogData::kSchema},
    {CControlParams::kClassName, CControlParams::kSchema},
    {SlLogData::kClassName, SlLogData::kSchema},
}};

[[noreturn]] void fail(ArchiveFault fault, const char* what) {
    throw ArchiveError(fault, what);
}

} // namespace

std::int32_t fileVersion() {
    return g_fileVersion;
}

ScopedFileVersion::ScopedFileVersion(std::int32_t version) : previous_(g_fileVersion) {
    g_fileVersion = version;
}

ScopedFileVersion::~ScopedFileVersion() {
    g_fileVersion = previous_;
}

int registeredSchema(std::string_view className) {
    for (const auto& entry : kRegisteredClasses) {
        if (entry.name == className)
            return entry.schema;
    }
    return -1;
}

Archive::Archive() : storing_(true) {}

Archive::Archive(std::span<const std::uint8_t> data) : storing_(false), in_(data) {}

// ---- storing ----

void Archive::writeByte(std::uint8_t value) {
    out_.push_back(value);
}

void Archive::writeUInt16(std::uint16_t value) {
    out_.push_back(static_cast<std::uint8_t>(value));
    out_.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Archive::writeUInt32(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out_.push_back(static_cast<std::uint8_t>(value >> shift));
}

void Archive::writeInt32(std::int32_t value) {
    writeUInt32(static_cast<std::uint32_t>(value));
}

void Archive::writeString(std::string_view text) {
    const std::size_t length = text.size();
    if (length < 0xFF) {
        writeByte(static_cast<std::uint8_t>(length));
    } else if (length < kWideStringMark) {
        writeByte(0xFF);
        writeUInt16(static_cast<std::uint16_t>(length));
    } else {
        if (length > 0xFFFFFFFEu)
            throw std::length_error("string too long for the document file");
        writeByte(0xFF);
        writeUInt16(0xFFFF);
        writeUInt32(static_cast<std::uint32_t>(length));
    }
    out_.insert(out_.end(), text.begin(), text.end());
}

// ---- loading ----

void Archive::need(std::size_t count) const {
    if (count > remaining())
        fail(ArchiveFault::EndOfFile, "read past the end of the stream");
}

std::uint8_t Archive::readByte() {
    need(1);
    return in_[pos_++];
}

std::uint16_t Archive::readUInt16() {
    need(2);
    const auto value = static_cast<std::uint16_t>(in_[pos_] | in_[pos_ + 1] << 8);
    pos_ += 2;
    return value;
}

std::uint32_t Archive::readUInt32() {
    need(4);
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | in_[pos_ + static_cast<std::size_t>(i)];
    pos_ += 4;
    return value;
}

std::int32_t Archive::readInt32() {
    return static_cast<std::int32_t>(readUInt32());
}

std::uint32_t Archive::readStringLength(bool& wideChars) {
    wideChars = false;
    std::uint8_t shortLength = readByte();
    if (shortLength < 0xFF)
        return shortLength;
    std::uint16_t length = readUInt16();
    if (length == kWideStringMark) {
        // 16-bit characters: the length that follows counts characters.
        wideChars = true;
        shortLength = readByte();
        if (shortLength < 0xFF)
            return shortLength;
        length = readUInt16();
    }
    if (length < 0xFFFF)
        return length;
    return readUInt32();
}

std::string Archive::readString() {
    bool wideChars = false;
    const std::uint32_t length = readStringLength(wideChars);
    const std::size_t bytes = wideChars ? std::size_t{length} * 2 : std::size_t{length};
    need(bytes);
    const auto* start = reinterpret_cast<const char*>(in_.data() + pos_);
    pos_ += bytes;
    if (wideChars)
        return utf16leToCp932(std::string_view(start, bytes));
    return std::string(start, bytes);
}

// ---- both directions ----

void Archive::io(std::uint8_t& value) {
    if (storing_)
        writeByte(value);
    else
        value = readByte();
}

void Archive::io(std::int32_t& value) {
    if (storing_)
        writeInt32(value);
    else
        value = readInt32();
}

void Archive::io(std::uint32_t& value) {
    if (storing_)
        writeUInt32(value);
    else
        value = readUInt32();
}

void Archive::io(std::string& text) {
    if (storing_)
        writeString(text);
    else
        text = readString();
}

// ---- tagged objects ----

void Archive::writeTagNumber(std::uint32_t number, bool isClass) {
    if (number < kBigObjectTag) {
        writeUInt16(static_cast<std::uint16_t>(number | (isClass ? kClassTag : 0)));
    } else {
        writeUInt16(kBigObjectTag);
        writeUInt32(number | (isClass ? kBigClassTag : 0));
    }
}

void Archive::writeObjectTag(std::string_view className, std::uint16_t schema) {
    const auto known = writtenClasses_.find(className);
    if (known != writtenClasses_.end()) {
        writeTagNumber(known->second, true);
    } else {
        writeUInt16(kNewClassTag);
        writeUInt16(schema);
        writeUInt16(static_cast<std::uint16_t>(className.size()));
        out_.insert(out_.end(), className.begin(), className.end());
        writtenClasses_.emplace(std::string(className), tagCount_++);
    }
    ++tagCount_; // the object's own number
}

void Archive::readObjectTag(std::string_view expectedClass) {
    const std::uint16_t tag = readUInt16();
    std::string className;
    if (tag == kNewClassTag) {
        const std::uint16_t schema = readUInt16();
        const std::uint16_t nameLength = readUInt16();
        need(nameLength);
        className.assign(reinterpret_cast<const char*>(in_.data() + pos_), nameLength);
        pos_ += nameLength;
        const int registered = registeredSchema(className);
        if (registered < 0)
            fail(ArchiveFault::UnexpectedObject, "unknown class in the stream");
        if (schema != registered)
            fail(ArchiveFault::BadSchema, "stored schema differs");
        loadedTags_.push_back(className);
    } else {
        std::uint32_t number = 0;
        bool isClass = false;
        if (tag == kBigObjectTag) {
            const std::uint32_t big = readUInt32();
            isClass = (big & kBigClassTag) != 0;
            number = big & ~kBigClassTag;
        } else {
            isClass = (tag & kClassTag) != 0;
            number = tag & static_cast<std::uint16_t>(~kClassTag);
        }
        // A null tag or a reference to an object already read would put no
        // object, or one object twice, into the tables: refused.
        if (!isClass || tag == kNullTag)
            fail(ArchiveFault::BadFormat, "null tag or object reference");
        if (number >= loadedTags_.size() || loadedTags_[number].empty())
            fail(ArchiveFault::BadFormat, "class reference to an unknown number");
        className = loadedTags_[number];
    }
    if (className != expectedClass)
        fail(ArchiveFault::UnexpectedObject, "object of another class");
    loadedTags_.emplace_back(); // the object's own number
}

} // namespace kovo
