#include "Json.h"

#include <cerrno>
#include <cstdlib>

namespace kovoctl {

// ---- values ----

JsonValue JsonValue::boolean(bool value) {
    JsonValue v;
    v.type_ = Type::Bool;
    v.bool_ = value;
    return v;
}

JsonValue JsonValue::number(std::string text) {
    JsonValue v;
    v.type_ = Type::Number;
    v.text_ = std::move(text);
    return v;
}

JsonValue JsonValue::string(std::string utf8) {
    JsonValue v;
    v.type_ = Type::String;
    v.text_ = std::move(utf8);
    return v;
}

JsonValue JsonValue::array(std::vector<JsonValue> items) {
    JsonValue v;
    v.type_ = Type::Array;
    v.items_ = std::move(items);
    return v;
}

JsonValue JsonValue::object(std::vector<Member> members) {
    JsonValue v;
    v.type_ = Type::Object;
    v.members_ = std::move(members);
    return v;
}

const JsonValue* JsonValue::find(std::string_view key) const {
    for (const auto& member : members_) {
        if (member.first == key)
            return &member.second;
    }
    return nullptr;
}

bool JsonValue::asInteger(std::int64_t& value) const {
    if (type_ != Type::Number || text_.find_first_of(".eE") != std::string::npos)
        return false;
    errno = 0;
    char* end = nullptr;
    const long long parsed = std::strtoll(text_.c_str(), &end, 10);
    if (errno == ERANGE || end != text_.c_str() + text_.size())
        return false;
    value = parsed;
    return true;
}

// ---- reader ----

namespace {

constexpr int kMaxDepth = 64;

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    bool parseDocument(JsonValue& result, std::string& error) {
        skipSpace();
        bool ok = parseValue(result, 0);
        if (ok) {
            skipSpace();
            ok = atEnd() || fail("unexpected text after the value");
        }
        if (!ok)
            error = where() + ": " + problem_;
        return ok;
    }

private:
    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[pos_]; }

    bool fail(const std::string& problem) {
        if (problem_.empty())
            problem_ = problem;
        return false;
    }

    std::string where() const {
        std::size_t line = 1, column = 1;
        for (std::size_t i = 0; i < pos_ && i < text_.size(); ++i) {
            if (text_[i] == '\n') {
                ++line;
                column = 1;
            } else {
                ++column;
            }
        }
        return "line " + std::to_string(line) + ", column " + std::to_string(column);
    }

    void skipSpace() {
        while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r'))
            ++pos_;
    }

    bool literal(std::string_view word) {
        if (text_.substr(pos_, word.size()) != word)
            return fail("unknown word");
        pos_ += word.size();
        return true;
    }

    bool parseValue(JsonValue& out, int depth) {
        if (depth > kMaxDepth)
            return fail("nested too deeply");
        switch (peek()) {
        case '{': return parseObject(out, depth);
        case '[': return parseArray(out, depth);
        case '"': {
            std::string s;
            if (!parseString(s))
                return false;
            out = JsonValue::string(std::move(s));
            return true;
        }
        case 't': out = JsonValue::boolean(true); return literal("true");
        case 'f': out = JsonValue::boolean(false); return literal("false");
        case 'n': out = JsonValue(); return literal("null");
        default: return parseNumber(out);
        }
    }

    bool digits() {
        const std::size_t start = pos_;
        while (peek() >= '0' && peek() <= '9')
            ++pos_;
        return pos_ > start || fail("a digit is expected");
    }

    bool parseNumber(JsonValue& out) {
        const std::size_t start = pos_;
        if (peek() == '-')
            ++pos_;
        if (peek() == '0') {
            ++pos_;
        } else if (!(peek() >= '1' && peek() <= '9')) {
            return fail(atEnd() ? "the text ends where a value is expected" : "a value is expected");
        } else if (!digits()) {
            return false;
        }
        if (peek() == '.') {
            ++pos_;
            if (!digits())
                return false;
        }
        if (peek() == 'e' || peek() == 'E') {
            ++pos_;
            if (peek() == '+' || peek() == '-')
                ++pos_;
            if (!digits())
                return false;
        }
        out = JsonValue::number(std::string(text_.substr(start, pos_ - start)));
        return true;
    }

    static void appendUtf8(std::string& out, std::uint32_t cp) {
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | cp >> 6));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | cp >> 12));
            out.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | cp >> 18));
            out.push_back(static_cast<char>(0x80 | (cp >> 12 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }

    bool hex4(std::uint32_t& value) {
        value = 0;
        for (int i = 0; i < 4; ++i, ++pos_) {
            const char c = peek();
            value <<= 4;
            if (c >= '0' && c <= '9')
                value |= static_cast<std::uint32_t>(c - '0');
            else if (c >= 'a' && c <= 'f')
                value |= static_cast<std::uint32_t>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                value |= static_cast<std::uint32_t>(c - 'A' + 10);
            else
                return fail("bad \\u escape");
        }
        return true;
    }

    bool escape(std::string& out) {
        const char c = peek();
        ++pos_;
        static constexpr std::string_view kFrom = "\"\\/bfnrt";
        static constexpr std::string_view kTo = "\"\\/\b\f\n\r\t";
        if (const auto i = kFrom.find(c); c != '\0' && i != std::string_view::npos) {
            out.push_back(kTo[i]);
            return true;
        }
        if (c != 'u')
            return fail("bad escape in a string");
        std::uint32_t cp = 0;
        if (!hex4(cp))
            return false;
        if (cp >= 0xDC00 && cp <= 0xDFFF)
            return fail("lone low surrogate in a string");
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            std::uint32_t low = 0;
            if (text_.substr(pos_, 2) != "\\u")
                return fail("lone high surrogate in a string");
            pos_ += 2;
            if (!hex4(low))
                return false;
            if (low < 0xDC00 || low > 0xDFFF)
                return fail("lone high surrogate in a string");
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        }
        appendUtf8(out, cp);
        return true;
    }

    // Copies one UTF-8 character, checking that it is well formed.
    bool utf8Character(std::string& out) {
        const auto lead = static_cast<unsigned char>(peek());
        std::size_t length = 0;
        std::uint32_t cp = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            cp = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            cp = lead & 0x0Fu;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            cp = lead & 0x07u;
        } else {
            return fail("invalid UTF-8 in a string");
        }
        if (pos_ + length > text_.size())
            return fail("invalid UTF-8 in a string");
        for (std::size_t i = 1; i < length; ++i) {
            const auto next = static_cast<unsigned char>(text_[pos_ + i]);
            if ((next & 0xC0) != 0x80)
                return fail("invalid UTF-8 in a string");
            cp = cp << 6 | (next & 0x3Fu);
        }
        static constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kSmallest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return fail("invalid UTF-8 in a string");
        out.append(text_.substr(pos_, length));
        pos_ += length;
        return true;
    }

    bool parseString(std::string& out) {
        ++pos_; // opening quote
        for (;;) {
            if (atEnd())
                return fail("the text ends inside a string");
            const auto c = static_cast<unsigned char>(peek());
            if (c == '"') {
                ++pos_;
                return true;
            }
            if (c < 0x20)
                return fail("control character in a string");
            if (c == '\\') {
                ++pos_;
                if (!escape(out))
                    return false;
            } else if (c < 0x80) {
                out.push_back(static_cast<char>(c));
                ++pos_;
            } else if (!utf8Character(out)) {
                return false;
            }
        }
    }

    bool parseArray(JsonValue& out, int depth) {
        ++pos_;
        std::vector<JsonValue> items;
        skipSpace();
        if (peek() == ']') {
            ++pos_;
            out = JsonValue::array(std::move(items));
            return true;
        }
        for (;;) {
            skipSpace();
            JsonValue item;
            if (!parseValue(item, depth + 1))
                return false;
            items.push_back(std::move(item));
            skipSpace();
            if (peek() == ',') {
                ++pos_;
                continue;
            }
            if (peek() == ']') {
                ++pos_;
                out = JsonValue::array(std::move(items));
                return true;
            }
            return fail("',' or ']' is expected");
        }
    }

    bool parseObject(JsonValue& out, int depth) {
        ++pos_;
        std::vector<JsonValue::Member> members;
        skipSpace();
        if (peek() == '}') {
            ++pos_;
            out = JsonValue::object(std::move(members));
            return true;
        }
        for (;;) {
            skipSpace();
            if (peek() != '"')
                return fail("a key in quotes is expected");
            std::string key;
            if (!parseString(key))
                return false;
            for (const auto& member : members) {
                if (member.first == key)
                    return fail("key \"" + key + "\" appears twice");
            }
            skipSpace();
            if (peek() != ':')
                return fail("':' is expected");
            ++pos_;
            skipSpace();
            JsonValue value;
            if (!parseValue(value, depth + 1))
                return false;
            members.emplace_back(std::move(key), std::move(value));
            skipSpace();
            if (peek() == ',') {
                ++pos_;
                continue;
            }
            if (peek() == '}') {
                ++pos_;
                out = JsonValue::object(std::move(members));
                return true;
            }
            return fail("',' or '}' is expected");
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::string problem_;
};

} // namespace

bool parseJson(std::string_view text, JsonValue& result, std::string& error) {
    return Parser(text).parseDocument(result, error);
}

// ---- writer ----

std::string quoted(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out.push_back('"');
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (u < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", u);
            out.append(escaped);
        } else {
            out.push_back(c);
        }
    }
    out.push_back('"');
    return out;
}

void JsonWriter::write(std::string_view text) { std::fwrite(text.data(), 1, text.size(), out_); }

void JsonWriter::newline(std::size_t depth) {
    std::fputc('\n', out_);
    for (std::size_t i = 0; i < depth; ++i)
        write("  ");
}

void JsonWriter::beforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (levels_.empty())
        return;
    Level& level = levels_.back();
    if (!level.empty)
        write(level.inlined ? ", " : ",");
    if (!level.inlined)
        newline(levels_.size());
    level.empty = false;
}

void JsonWriter::open(char bracket, bool inlined) {
    beforeValue();
    std::fputc(bracket, out_);
    // Inside an inline container everything stays on the line.
    const bool parentInline = !levels_.empty() && levels_.back().inlined;
    levels_.push_back({inlined || parentInline});
}

void JsonWriter::close(char bracket) {
    const Level level = levels_.back();
    levels_.pop_back();
    if (!level.inlined && !level.empty)
        newline(levels_.size());
    std::fputc(bracket, out_);
}

void JsonWriter::beginObject(bool inlined) { open('{', inlined); }
void JsonWriter::endObject() { close('}'); }
void JsonWriter::beginArray(bool inlined) { open('[', inlined); }
void JsonWriter::endArray() { close(']'); }

void JsonWriter::key(std::string_view name) {
    beforeValue();
    write(quoted(name));
    write(": ");
    afterKey_ = true;
}

void JsonWriter::value(std::int64_t number) {
    beforeValue();
    std::fprintf(out_, "%lld", static_cast<long long>(number));
}

void JsonWriter::value(std::string_view utf8) {
    beforeValue();
    write(quoted(utf8));
}

void JsonWriter::finish() { std::fputc('\n', out_); }

} // namespace kovoctl
