#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

// JSON for the kovoctl tool. Reading is nlohmann-json's, with the rules the
// tool adds (one value per key, no deep nesting, places as line and column);
// the writer streams to a FILE without building a tree, so that dumping a
// full database needs little memory and its layout stays as scripts know it.
namespace kovoctl {

// Objects keep their keys in file order.
using JsonValue = nlohmann::ordered_json;

// Parses a whole JSON text (UTF-8). On failure returns false and sets `error`
// to "line L, column C: what". Nesting deeper than 64 levels, duplicate keys,
// invalid UTF-8 and text after the value are refused.
bool parseJson(std::string_view text, JsonValue& result, std::string& error);

// The value of an integer written without fraction or exponent that fits
// 64 signed bits; false for anything else.
bool asInteger(const JsonValue& value, std::int64_t& result);

class JsonWriter {
public:
    explicit JsonWriter(std::FILE* out) : out_(out) {}

    void beginObject(bool inlined = false);
    void endObject();
    void beginArray(bool inlined = false);
    void endArray();
    void key(std::string_view name);
    void value(std::int64_t number);
    void value(std::string_view utf8);
    // A newline after the top-level value.
    void finish();

private:
    struct Level {
        bool inlined;
        bool empty = true;
    };
    void beforeValue();
    void open(char bracket, bool inlined);
    void close(char bracket);
    void newline(std::size_t depth);
    void write(std::string_view text);

    std::FILE* out_;
    std::vector<Level> levels_;
    bool afterKey_ = false;
};

// `text` as a quoted JSON string: quotes, backslashes and control characters
// escaped, everything else (UTF-8) as it stands.
std::string quoted(std::string_view text);

} // namespace kovoctl
