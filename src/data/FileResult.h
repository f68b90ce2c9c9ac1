#pragma once
#include <string>

namespace kovo {

// Outcome of reading or writing a document file. On failure `message` is the
// text to show the user (UTF-8), with the file name already in place.
struct FileResult {
    bool ok = true;
    std::string message;

    static FileResult success() { return {}; }
    static FileResult failure(std::string text) { return {false, std::move(text)}; }
};

} // namespace kovo
