#include "Json.h"

#include <set>

namespace kovoctl {
namespace {

constexpr int kMaxDepth = 64;

// Line and column (from 1) of byte `offset` of `text`.
std::string place(std::string_view text, std::size_t offset) {
    offset = std::min(offset, text.size());
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i < offset; ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

// nlohmann's message without its own "[json.exception...] parse error at ...:" prefix.
std::string reason(const nlohmann::json::parse_error& e) {
    const std::string what = e.what();
    const std::size_t colon = what.find(": ", what.find("parse error"));
    return colon == std::string::npos ? what : what.substr(colon + 2);
}

// A number beyond the range of a double: nlohmann names the number but not
// its place, so the place is where that text first stands.
std::string numberOutOfRange(std::string_view text, const nlohmann::json::exception& e) {
    const std::string what = e.what();
    const std::size_t open = what.find('\'');
    const std::size_t close = what.rfind('\'');
    std::size_t at = text.size();
    if (open != std::string::npos && close > open)
        at = std::min(at, text.find(std::string_view(what).substr(open + 1, close - open - 1)));
    return place(text, at) + ": number out of range";
}

} // namespace

bool parseJson(std::string_view text, JsonValue& result, std::string& error) {
    // The callback sees each key and each opening bracket; it stops at a
    // repeated key or too deep a nesting. The parser only reports how far
    // it got, so the place is found by its own byte count.
    std::vector<std::set<std::string>> keys;
    std::string refusal;
    std::size_t consumed = 0;
    auto check = [&](int depth, JsonValue::parse_event_t event, JsonValue& parsed) {
        if (!refusal.empty())
            return false;
        switch (event) {
        case JsonValue::parse_event_t::object_start:
        case JsonValue::parse_event_t::array_start:
            if (depth >= kMaxDepth)
                refusal = "nesting deeper than " + std::to_string(kMaxDepth) + " levels";
            keys.emplace_back();
            break;
        case JsonValue::parse_event_t::object_end:
        case JsonValue::parse_event_t::array_end:
            keys.pop_back();
            break;
        case JsonValue::parse_event_t::key:
            if (!keys.empty() && !keys.back().insert(parsed.get<std::string>()).second)
                refusal = "key \"" + parsed.get<std::string>() + "\" appears twice";
            break;
        default:
            break;
        }
        return refusal.empty();
    };
    try {
        result = JsonValue::parse(text.begin(), text.end(), check, true, false);
    } catch (const nlohmann::json::parse_error& e) {
        consumed = e.byte == 0 ? 0 : e.byte - 1;
        error = place(text, consumed) + ": " + reason(e);
        return false;
    } catch (const nlohmann::json::out_of_range& e) {
        error = numberOutOfRange(text, e);
        return false;
    }
    if (!refusal.empty()) {
        error = refusal;
        return false;
    }
    return true;
}

bool asInteger(const JsonValue& value, std::int64_t& result) {
    if (value.is_number_unsigned()) {
        const auto v = value.get<std::uint64_t>();
        if (v > std::uint64_t(INT64_MAX))
            return false;
        result = std::int64_t(v);
        return true;
    }
    if (!value.is_number_integer())
        return false;
    result = value.get<std::int64_t>();
    return true;
}

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

void JsonWriter::write(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), out_);
}

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

void JsonWriter::beginObject(bool inlined) {
    open('{', inlined);
}
void JsonWriter::endObject() {
    close('}');
}
void JsonWriter::beginArray(bool inlined) {
    open('[', inlined);
}
void JsonWriter::endArray() {
    close(']');
}

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

void JsonWriter::finish() {
    std::fputc('\n', out_);
}

} // namespace kovoctl
