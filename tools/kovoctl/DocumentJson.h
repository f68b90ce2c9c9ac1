#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "Json.h"
#include "data/CKovo5Doc.h"

// The document as JSON: one object with the file's version, the counts, the
// control parameters by position name (p04 ... p98, the 36 stored ones), the
// tuning record, banks, ranges, strings, channels in table order and the log
// from the oldest entry. Records use their field names; strings are UTF-8.
namespace kovoctl {

// Writes the JSON of `doc`. Strings that do not convert exactly (bytes that
// are not code page 932) are written with "?" marks; each one is named in
// `warnings`.
void writeDocumentJson(const kovo::CKovo5Doc& doc, std::int32_t version, std::FILE* out,
                       std::vector<std::string>& warnings);

// Replaces the stored contents of `doc` (a new document) with the JSON; keys
// that are missing keep the new-document values. Unknown keys, wrong types,
// values outside a field's range and too many entries are refused: false with
// `error` naming the place. Channels are taken in the order given. Text is
// stored as the program stores typed text (letters the character set lacks
// spelled without accents); `refusedCharacters` counts the characters with no
// form in it, which are left out.
bool applyDocumentJson(const JsonValue& json, kovo::CKovo5Doc& doc, std::string& error,
                       int* refusedCharacters = nullptr);

} // namespace kovoctl
