#pragma once
#include <string>

namespace kovo {

// Outcome of reading or writing a document file. On failure `message` is the
// text to show the user (UTF-8), with the file name already in place; on
// success it is empty, or tells the user what reading had to put right.
struct FileResult {
    bool ok = true;
    std::string message;

    static FileResult success(std::string notice = {}) { return {true, std::move(notice)}; }
    static FileResult failure(std::string text) { return {false, std::move(text)}; }
};

} // namespace kovo
