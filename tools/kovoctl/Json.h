#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A small JSON reader and writer for the kovoctl tool. The reader builds a
// tree and refuses malformed input with a line and column; the writer streams
// to a FILE without building a tree, so that dumping a full database needs
// little memory.
namespace kovoctl {

class JsonValue {
public:
    enum class Type { Null, Bool, Number, String, Array, Object };
    using Member = std::pair<std::string, JsonValue>;

    JsonValue() = default;
    static JsonValue boolean(bool value);
    // `text` is the number as written; integers are checked when asked for.
    static JsonValue number(std::string text);
    static JsonValue string(std::string utf8);
    static JsonValue array(std::vector<JsonValue> items);
    static JsonValue object(std::vector<Member> members);

    Type type() const { return type_; }
    bool isObject() const { return type_ == Type::Object; }
    bool isArray() const { return type_ == Type::Array; }
    bool isString() const { return type_ == Type::String; }
    bool isNumber() const { return type_ == Type::Number; }

    const std::string& text() const { return text_; }            // string or number text
    const std::vector<JsonValue>& items() const { return items_; } // array
    const std::vector<Member>& members() const { return members_; } // object, in file order
    // Member of an object by key, or nullptr.
    const JsonValue* find(std::string_view key) const;
    // The integer value of a number written without fraction or exponent;
    // false for anything else or a value outside 64 bits.
    bool asInteger(std::int64_t& value) const;

private:
    Type type_ = Type::Null;
    bool bool_ = false;
    std::string text_;
    std::vector<JsonValue> items_;
    std::vector<Member> members_;
};

// Parses a whole JSON text (UTF-8). On failure returns false and sets `error`
// to "line L, column C: what". Nesting deeper than 64 levels, duplicate keys,
// invalid UTF-8 and text after the value are refused.
bool parseJson(std::string_view text, JsonValue& result, std::string& error);

// Streams JSON: the caller opens and closes objects and arrays and writes
// keys and values; commas are placed automatically. `inline` containers are
// written on one line, others put each item on its own indented line.
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
