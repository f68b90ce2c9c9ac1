#include "FileErrors.h"

#include <cerrno>

namespace kovo {

std::string fileErrorText(std::string_view text) {
    return uiText("FileErrors", std::string(text).c_str());
}

std::string withFileName(std::string_view source, std::string_view fileName) {
    const std::string text = fileErrorText(source);
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '1') {
            result.append(fileName);
            ++i;
        } else {
            result.push_back(text[i]);
        }
    }
    return result;
}

std::string archiveFaultMessage(ArchiveFault fault, std::string_view fileName) {
    switch (fault) {
    case ArchiveFault::EndOfFile:
        return withFileName(FileErrorText::PastEnd, fileName);
    case ArchiveFault::UnexpectedObject:
        return withFileName(FileErrorText::UnexpectedObject, fileName);
    case ArchiveFault::BadSchema:
        return withFileName(FileErrorText::BadSchema, fileName);
    case ArchiveFault::BadFormat:
        break;
    }
    return withFileName(FileErrorText::BadFormat, fileName);
}

std::string systemErrorMessage(int error, FileAccess access, std::string_view fileName) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return withFileName(FileErrorText::NotFound, fileName);
    case EACCES:
    case EPERM:
    case EROFS:
        return withFileName(FileErrorText::AccessDenied, fileName);
    case ENOSPC:
    case EDQUOT:
        return withFileName(FileErrorText::DiskFull, fileName);
    case EFBIG:
        if (access == FileAccess::Open)
            return withFileName(FileErrorText::TooLarge, fileName);
        break;
    case ENOTSUP:
        if (access == FileAccess::Open)
            return withFileName(FileErrorText::NotAFile, fileName);
        break;
    default:
        break;
    }
    return fileErrorText(access == FileAccess::Open ? FileErrorText::OpenFailed
                                                    : FileErrorText::SaveFailed);
}

} // namespace kovo
