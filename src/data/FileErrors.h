#pragma once
#include <string>
#include <string_view>

#include "Archive.h"
#include "UiText.h"

namespace kovo {

// The program's file-error messages (UTF-8); "%1" stands for the file name.
// They are shown through fileErrorText(), which translates them.
namespace FileErrorText {
inline constexpr std::string_view PastEnd =
    KOVO_TRANSLATE_NOOP("FileErrors", "An attempt was made to access %1 past its and.");
inline constexpr std::string_view UnexpectedObject =
    KOVO_TRANSLATE_NOOP("FileErrors", "%1 contained an unexpected object.");
inline constexpr std::string_view BadSchema =
    KOVO_TRANSLATE_NOOP("FileErrors", "%1 contains an incorrect schema.");
inline constexpr std::string_view BadFormat =
    KOVO_TRANSLATE_NOOP("FileErrors", "%1 has a bad format.");
inline constexpr std::string_view NotFound = KOVO_TRANSLATE_NOOP("FileErrors", "%1 was not found.");
inline constexpr std::string_view AccessDenied =
    KOVO_TRANSLATE_NOOP("FileErrors", "Access to %1 was denied.");
inline constexpr std::string_view DiskFull =
    KOVO_TRANSLATE_NOOP("FileErrors", "Disk full while accessing %1.");
inline constexpr std::string_view TooLarge =
    KOVO_TRANSLATE_NOOP("FileErrors", "%1 is too large to be a document file.");
inline constexpr std::string_view NotAFile = KOVO_TRANSLATE_NOOP(
    "FileErrors", "%1 is not a regular file (a pipe or a device, for example).");
inline constexpr std::string_view OpenFailed =
    KOVO_TRANSLATE_NOOP("FileErrors", "ﾄﾞｷｭﾒﾝﾄを開くことに失敗しました。");
inline constexpr std::string_view SaveFailed =
    KOVO_TRANSLATE_NOOP("FileErrors", "ﾄﾞｷｭﾒﾝﾄの保存に失敗しました。");
} // namespace FileErrorText

// One of the texts above in the language of the run.
std::string fileErrorText(std::string_view text);

// `text`, translated, with every "%1" replaced by `fileName`.
std::string withFileName(std::string_view text, std::string_view fileName);

// The message for a fault found while reading a document stream.
std::string archiveFaultMessage(ArchiveFault fault, std::string_view fileName);

enum class FileAccess { Open, Save };
// The message for an operating-system error (errno) on a document file; causes
// without a text of their own give the generic open or save failure.
std::string systemErrorMessage(int error, FileAccess access, std::string_view fileName);

} // namespace kovo
