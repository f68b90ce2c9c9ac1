#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace kovo {

// Files larger than this are not document files; reading them is refused
// rather than trying to hold them in memory.
inline constexpr std::uint64_t kMaxDocumentFileSize = 64u * 1024u * 1024u;

// Reads a whole regular file. On failure returns false with the errno value
// (EFBIG for a file above kMaxDocumentFileSize, EISDIR for a directory).
bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, int& error);

// Replaces `path` with `bytes` so that the previous file survives any failure:
// writes a temporary file in the same directory, flushes it to disk, then
// renames it over the target (through a symbolic link, to the file it names).
// A new file gets the usual permissions, a replaced one keeps its own.
bool replaceFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes,
                           int& error);

} // namespace kovo
