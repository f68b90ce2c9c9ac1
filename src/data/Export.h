#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "CFrequencyData.h"
#include "CLogData.h"
#include "DocumentContents.h"
#include "FileResult.h"

// Plain-text export of the memory channels and the log, as aligned columns for
// reading and printing or as comma-separated values for a spreadsheet. The
// line builders only append bytes to a string, so the formatting can be used
// (and measured) without touching a file. Text is written as stored (code page
// 932), except that a CSV comment a spreadsheet may read as a formula gets a
// leading "'"; every line ends with CR LF.
namespace kovo {

enum class ExportKind : int { Memory = 0, Log = 1 };

// The columns form is chosen when the file name's extension is "txt" in any
// case, or when the name has no extension at all (the save dialog would have
// added ".txt"); every other extension gives CSV.
bool exportUsesColumns(std::string_view path);

// Lowest memory bank b (0..21) whose bit is set in `bankMask` and in
// `linkMask`, or -1: a channel is exported once, under that bank.
int exportBankOf(std::int32_t bankMask, std::uint32_t linkMask);

void appendMemoryHeader(std::string& out);
void appendLogHeader(std::string& out);

// One exported line, CR LF included.
void appendMemoryLine(std::string& out, int bank, const CFrequencyData& channel, bool csv);
void appendLogLine(std::string& out, const CLogData& entry, bool csv);

// The whole file contents: the header (columns form only) and one line per
// exported channel in table order, or per log entry from the oldest.
std::string formatMemoryExport(const DocumentContents& contents, bool csv);
std::string formatLogExport(const DocumentContents& contents, bool csv);

// Channels the memory export leaves out: those in no bank of the current
// link set (auto-stored channels in bank 0, for one), and what the user is
// told about them (UTF-8).
int channelsLeftOutOfMemoryExport(const DocumentContents& contents);
std::string leftOutOfMemoryExportMessage(int leftOut);
std::string formatExport(const DocumentContents& contents, ExportKind kind, bool csv);

// Writes `bytes` to `path`, replacing any existing file only once the new
// one is complete. Every failure (the file cannot be created, a short write,
// a full disk) is reported with a message naming the file and the cause.
FileResult writeExportFile(const std::string& path, std::string_view bytes);

} // namespace kovo
