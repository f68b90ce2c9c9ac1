#pragma once
#include <cstdint>

#include "Archive.h"
#include "DocumentContents.h"

namespace kovo {

// The document file: version, counts, parameters, tuning record, banks and
// ranges, then the channels and the log as tagged objects. No header beyond
// the version, no trailer, no checksum.
void writeDocumentFile(const DocumentContents& contents, Archive& archive);

// Reads the rest of a current-format file whose version has been read and set
// (ScopedFileVersion). Counts above the table sizes are refused. Items the
// file does not hold (link-set names of older files, ...) keep their values.
// Sets the priority channel from the marks; a file without a mark keeps the
// previous priority index when it is still a row of the table, else row 0.
void readDocumentFile(DocumentContents& contents, Archive& archive, std::int32_t version);

// Reads the rest of an older-format file (no tags, frequencies in 10 Hz,
// legacy step codes). Only what that format holds is replaced; the log stays.
void readLegacyDocumentFile(DocumentContents& contents, Archive& archive);

// A count of table entries; a negative count or one above `limit` is a bad format.
std::int32_t readTableCount(Archive& archive, int limit);

} // namespace kovo
