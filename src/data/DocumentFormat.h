#pragma once
#include <cstdint>
#include <span>

#include "Archive.h"
#include "DocumentContents.h"

namespace kovo {

// The document file: version, counts, parameters, tuning record, banks and
// ranges, then the channels and the log as tagged objects. No header beyond
// the version, no trailer, no checksum.
void writeDocumentFile(const DocumentContents& contents, Archive& archive);

// Reads a whole document stream, version first, into `contents` exactly as
// stored: the older format when `legacy`, else the current one. Returns the
// file's version; throws ArchiveError when the stream is refused (contents
// are then partly replaced: read into a copy). The document adds the
// adjustments of opening a file (priority channel) itself.
std::int32_t readDocumentStream(std::span<const std::uint8_t> bytes, DocumentContents& contents,
                                bool legacy);

// Reads the rest of a current-format file whose version has been read and set
// (ScopedFileVersion). Counts above the table sizes are refused. Items the
// file does not hold (link-set names of older files, ...) keep their values.
void readDocumentFile(DocumentContents& contents, Archive& archive, std::int32_t version);

// The priority channel after reading: the last channel carrying the mark; a
// file without a mark keeps the previous priority index when it is still a
// row of the table, else row 0. That channel then carries the mark.
void applyPriorityMarks(DocumentContents& contents);

// Reads the rest of an older-format file (no tags, frequencies in 10 Hz,
// legacy step codes). Only what that format holds is replaced; the log stays.
void readLegacyDocumentFile(DocumentContents& contents, Archive& archive);

// A count of table entries; a negative count or one above `limit` is a bad format.
std::int32_t readTableCount(Archive& archive, int limit);

} // namespace kovo
