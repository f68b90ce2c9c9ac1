#include "DocumentFormat.h"

namespace kovo {
namespace {

// Storing archives only read the records; serialize() is shared with loading
// and therefore not const.
template <typename T> T& forStoring(const T& record) {
    return const_cast<T&>(record);
}

template <typename Array> void storeEach(const Array& records, Archive& archive) {
    for (const auto& record : records)
        forStoring(record).serialize(archive);
}

template <typename Array> void loadEach(Array& records, Archive& archive) {
    for (auto& record : records)
        record.serialize(archive);
}

void readChannels(DocumentContents& contents, Archive& archive, int count) {
    contents.truncateChannels(0);
    for (int i = 0; i < count; ++i) {
        contents.channels[static_cast<std::size_t>(i)] = readObject<CFrequencyData>(archive);
        contents.channelCount = i + 1;
    }
}

void readLog(DocumentContents& contents, Archive& archive) {
    const int count = readTableCount(archive, kLogSlots);
    for (int slot = 0; slot < count; ++slot) {
        archive.readObjectTag(CLogData::kClassName);
        CLogData entry;
        entry.serialize(archive);
        contents.logRing[static_cast<std::size_t>(slot)] = std::move(entry);
    }
    contents.logCount = count;
    contents.logStart = 0;
}

} // namespace

std::int32_t readTableCount(Archive& archive, int limit) {
    const std::int32_t count = archive.readInt32();
    if (count < 0 || count > limit)
        throw ArchiveError(ArchiveFault::BadFormat, "count exceeds the table");
    return count;
}

void applyPriorityMarks(DocumentContents& contents) {
    const int count = contents.channelCount;
    bool anyMarked = false;
    for (int i = 0; i < count; ++i) {
        if (contents.channels[static_cast<std::size_t>(i)]->priority != 0) {
            contents.priorityIndex = i; // the last marked channel wins
            anyMarked = true;
        }
    }
    if (!anyMarked && (contents.priorityIndex < 0 || contents.priorityIndex >= count))
        contents.priorityIndex = 0;
    if (count > 0)
        contents.channels[static_cast<std::size_t>(contents.priorityIndex)]->priority = 1;
}

std::int32_t readDocumentStream(std::span<const std::uint8_t> bytes, DocumentContents& contents,
                                bool legacy) {
    Archive archive{bytes};
    const std::int32_t version = archive.readInt32();
    ScopedFileVersion scopedVersion(version);
    if (legacy)
        readLegacyDocumentFile(contents, archive);
    else
        readDocumentFile(contents, archive, version);
    return version;
}

void writeDocumentFile(const DocumentContents& contents, Archive& archive) {
    archive.writeInt32(kCurrentFileVersion);
    archive.writeInt32(contents.channelCount);
    forStoring(contents.controlParams).serialize(archive);
    forStoring(contents.mainRecord).serialize(archive);
    storeEach(contents.memoryBanks, archive);
    for (const auto& name : contents.linkSetNames)
        archive.writeString(name);
    // Pass ranges come before the search banks in the file.
    storeEach(contents.passRanges, archive);
    storeEach(contents.searchBanks, archive);
    storeEach(contents.autoRanges, archive);
    for (const auto& text : contents.searchStrings)
        archive.writeString(text);
    for (int i = 0; i < contents.channelCount; ++i)
        writeObject(archive, forStoring(*contents.channels[static_cast<std::size_t>(i)]));
    archive.writeInt32(contents.logCount);
    for (int r = 0; r < contents.logCount; ++r)
        writeObject(archive, forStoring(contents.logEntry(r)));
}

void readDocumentFile(DocumentContents& contents, Archive& archive, std::int32_t version) {
    const int channelCount = readTableCount(archive, kMaxChannels);
    contents.controlParams.serialize(archive);
    contents.mainRecord.serialize(archive);
    loadEach(contents.memoryBanks, archive);
    if (version >= kCurrentFileVersion) {
        for (auto& name : contents.linkSetNames)
            name = archive.readString();
    }
    loadEach(contents.passRanges, archive);
    loadEach(contents.searchBanks, archive);
    loadEach(contents.autoRanges, archive);
    for (auto& text : contents.searchStrings)
        text = archive.readString();
    readChannels(contents, archive, channelCount);
    readLog(contents, archive);
}

} // namespace kovo
