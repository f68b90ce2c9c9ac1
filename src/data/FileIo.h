#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kovo {

// Files larger than this are not document files; reading them is refused
// rather than trying to hold them in memory.
inline constexpr std::uint64_t kMaxDocumentFileSize = 64u * 1024u * 1024u;

// Reads a whole regular file. On failure returns false with the errno value:
// EFBIG for a file above kMaxDocumentFileSize (refused before anything is
// read), EISDIR for a directory, ENOTSUP for anything else that is not a
// regular file (a FIFO, a device, a socket), which is never waited on.
bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, int& error);

// Replaces `path` with `bytes` so that the previous file survives any failure:
// writes a temporary file in the same directory, flushes it to disk, then
// renames it over the target (through a symbolic link, to the file it names).
// A new file gets the usual permissions, a replaced one keeps its own. No
// temporary file is left behind, and those a killed save of another process
// left beside the target are removed first.
bool replaceFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes,
                           int& error);

// The file a save of `path` really replaces: the target of a symbolic link,
// else `path` itself.
std::string fileSavedAs(const std::string& path);

// Removes the temporary files ("<file>.tmp-<pid>-<n>") that saves of `path`
// by processes no longer running left beside it. Those of running processes
// (this one included) are left alone. Answers how many went.
int removeStaleTemporaries(const std::string& path);

// What tells whether a file changed since it was last seen: which file it is,
// its size and the time it was last written.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
};
// The stamp of the file at `path` now; none when there is no such file.
std::optional<FileStamp> fileStampOf(const std::string& path);

} // namespace kovo
