#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kovo {

// Why reading (or writing) a document stream failed. Each maps to one of the
// program's file-error messages (see FileErrors.h).
enum class ArchiveFault {
    EndOfFile,        // the stream ends before the item being read
    UnexpectedObject, // a tagged object of another (or an unknown) class
    BadSchema,        // a tagged object's schema is not the class's schema
    BadFormat,        // a malformed tag, a count outside the tables, ...
};

class ArchiveError : public std::runtime_error {
public:
    ArchiveError(ArchiveFault fault, const std::string& what)
        : std::runtime_error(what), fault_(fault) {}
    ArchiveFault fault() const { return fault_; }

private:
    ArchiveFault fault_;
};

// The version of the file being read, consulted by the records whose stored form
// changed over time. One value for the whole process, set by the document
// reader through ScopedFileVersion so that it always returns to the current
// version afterwards, even when reading throws.
inline constexpr std::int32_t kCurrentFileVersion = 51010;

std::int32_t fileVersion();

class ScopedFileVersion {
public:
    explicit ScopedFileVersion(std::int32_t version);
    ~ScopedFileVersion();
    ScopedFileVersion(const ScopedFileVersion&) = delete;
    ScopedFileVersion& operator=(const ScopedFileVersion&) = delete;

private:
    std::int32_t previous_;
};

// A byte stream in the document file's encoding: little-endian integers with no
// padding, length-prefixed 8-bit strings and tagged objects. An archive either
// stores (into an in-memory buffer) or loads (from a byte span it does not own);
// records call the two-way `io` functions so that one `serialize` does both.
// Loading never reads past the end of its span: it throws ArchiveError instead.
class Archive {
public:
    // A storing archive with an empty buffer.
    Archive();
    // A loading archive over `data`, which must outlive the archive.
    explicit Archive(std::span<const std::uint8_t> data);

    bool isStoring() const { return storing_; }
    bool isLoading() const { return !storing_; }

    // ---- storing ----
    void writeByte(std::uint8_t value);
    void writeUInt16(std::uint16_t value);
    void writeInt32(std::int32_t value);
    void writeUInt32(std::uint32_t value);
    // Length prefix: 1 byte below 255; 0xFF + 16 bits below 65,534;
    // otherwise 0xFF, 0xFFFF and 32 bits.
    void writeString(std::string_view text);

    // ---- loading ----
    std::uint8_t readByte();
    std::uint16_t readUInt16();
    std::int32_t readInt32();
    std::uint32_t readUInt32();
    // Reads every prefix form, including the 16-bit-character form
    // (0xFF 0xFFFE, then a length in characters), which is converted to CP932.
    std::string readString();

    // ---- both directions ----
    void io(std::uint8_t& value);
    void io(std::int32_t& value);
    void io(std::uint32_t& value);
    void io(std::string& text);

    // ---- tagged objects ----
    // Writes the tag that precedes an object of `className`: the class record
    // (0xFFFF, schema, name length, name) the first time the class appears in
    // the stream, the class reference 0x8000|n afterwards.
    void writeObjectTag(std::string_view className, std::uint16_t schema);
    // Reads the tag of the next object and checks that it announces a new
    // object of `expectedClass`. Refuses unknown or other classes, a stored
    // schema other than the registered one, a class reference to a number that
    // is not a class, a null tag and a reference to an object already read.
    void readObjectTag(std::string_view expectedClass);

    // The bytes stored so far.
    const std::vector<std::uint8_t>& buffer() const { return out_; }
    std::vector<std::uint8_t> takeBuffer() { return std::move(out_); }
    // Loading position and what is left after it.
    std::size_t position() const { return pos_; }
    std::size_t remaining() const { return in_.size() - pos_; }

private:
    void need(std::size_t count) const;
    std::uint32_t readStringLength(bool& wideChars);
    std::uint32_t nextTagNumber();
    void writeTagNumber(std::uint32_t number, bool isClass);

    bool storing_;
    std::vector<std::uint8_t> out_;
    std::span<const std::uint8_t> in_;
    std::size_t pos_ = 0;

    // Tag numbering: one running count over classes and objects, from 1.
    std::uint32_t tagCount_ = 1;
    std::map<std::string, std::uint32_t, std::less<>> writtenClasses_;
    // Loading: for each number, the class it names (empty for objects).
    std::vector<std::string> loadedTags_{std::string()};
};

// Tagged objects of a record class T (which offers kClassName, kSchema and
// serialize(Archive&)).
template <typename T> void writeObject(Archive& archive, T& record) {
    archive.writeObjectTag(T::kClassName, T::kSchema);
    record.serialize(archive);
}

template <typename T> std::unique_ptr<T> readObject(Archive& archive) {
    archive.readObjectTag(T::kClassName);
    auto record = std::make_unique<T>();
    record->serialize(archive);
    return record;
}

// Runtime class lookup: the schema of a registered record class by its exact
// (case-sensitive) name, or -1 for a name that is not registered.
int registeredSchema(std::string_view className);

} // namespace kovo
