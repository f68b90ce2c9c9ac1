#include <gtest/gtest.h>

#include <cstdio>

#include "DocumentJson.h"
#include "Json.h"
#include "data/CKovo5Doc.h"

using kovoctl::JsonValue;

namespace {

// The error for `text`, or "" when it parses.
std::string parseError(std::string_view text) {
    JsonValue value;
    std::string error;
    kovoctl::parseJson(text, value, error);
    return error;
}

JsonValue parsed(std::string_view text) {
    JsonValue value;
    std::string error;
    EXPECT_TRUE(kovoctl::parseJson(text, value, error)) << error;
    return value;
}

} // namespace

TEST(Json, ReadsObjectsArraysStringsAndIntegersInFileOrder) {
    const JsonValue v = parsed(
        R"( {"a": [1, -2, 0], "b": "x\"\\\/\n\u00e9\ud83d\ude00", "c": {}, "d": true, "e": null} )");
    ASSERT_TRUE(v.is_object());
    ASSERT_EQ(v.size(), 5u);
    EXPECT_EQ(v.begin().key(), "a");
    std::int64_t n = 0;
    ASSERT_TRUE(kovoctl::asInteger(v["a"][1], n));
    EXPECT_EQ(n, -2);
    EXPECT_EQ(v["b"], "x\"\\/\n\xC3\xA9\xF0\x9F\x98\x80");
    EXPECT_TRUE(v["c"].is_object());
    EXPECT_FALSE(v.contains("zz"));
}

TEST(Json, FractionsExponentsAndHugeNumbersAreNotIntegers) {
    std::int64_t n = 0;
    EXPECT_FALSE(kovoctl::asInteger(parsed("1.5"), n));
    EXPECT_FALSE(kovoctl::asInteger(parsed("1e3"), n));
    EXPECT_FALSE(kovoctl::asInteger(parsed("99999999999999999999"), n));
    EXPECT_FALSE(kovoctl::asInteger(parsed("9223372036854775808"), n));
    EXPECT_TRUE(kovoctl::asInteger(parsed("9223372036854775807"), n));
    EXPECT_TRUE(kovoctl::asInteger(parsed("-9223372036854775808"), n));
    EXPECT_FALSE(kovoctl::asInteger(parsed("\"5\""), n));
}

TEST(Json, MalformedTextIsRefusedWithItsPlace) {
    EXPECT_EQ(parseError("{\n  \"a\": 1,\n  \"b\" 2\n}").substr(0, 15), "line 3, column ");
    EXPECT_EQ(parseError("[1, 2").substr(0, 16), "line 1, column 6");
    EXPECT_EQ(parseError("").substr(0, 16), "line 1, column 1");
    EXPECT_EQ(parseError("1 2").substr(0, 15), "line 1, column ");
    EXPECT_EQ(parseError("{\"a\":1,\"a\":2}"), "key \"a\" appears twice");
    EXPECT_EQ(parseError("{\"o\":{\"a\":1},\"p\":{\"a\":1,\"b\":{\"a\":[]}}}"), "")
        << "same key in different objects";
    for (const char* bad : {"\"abc", "\"a\x01\"", "\"\\ud800\"", "\"\xC3\"", "\"\xC0\xAF\"",
                            "\"\xED\xA0\x80\"", "01", "-", "tru", "[1,]"})
        EXPECT_EQ(parseError(bad).rfind("line ", 0), 0u) << bad;
    EXPECT_EQ(parseError(std::string(100, '[') + std::string(100, ']')),
              "nesting deeper than 64 levels");
    EXPECT_EQ(parseError(std::string(64, '[') + std::string(64, ']')), "");
    // Beyond the range of a double: refused, not thrown.
    EXPECT_EQ(parseError("[1,\n 2e400]"), "line 2, column 2: number out of range");
    EXPECT_EQ(parseError("{\"a\": -1.5E+99999}"), "line 1, column 7: number out of range");
}

TEST(Json, WriterPlacesCommasAndEscapes) {
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&buffer, &size);
    {
        kovoctl::JsonWriter w(out);
        w.beginObject();
        w.key("n");
        w.value(std::int64_t{-3});
        w.key("list");
        w.beginArray(true);
        w.value(std::int64_t{1});
        w.value("a\"b\\c\x01");
        w.beginObject(true);
        w.endObject();
        w.endArray();
        w.key("rows");
        w.beginArray();
        w.endArray();
        w.endObject();
        w.finish();
    }
    std::fclose(out);
    const std::string text(buffer, size);
    std::free(buffer);
    EXPECT_EQ(text,
              "{\n  \"n\": -3,\n  \"list\": [1, \"a\\\"b\\\\c\\u0001\", {}],\n  \"rows\": []\n}\n");
    parsed(text);
}

TEST(Json, DamagedTextNeverCrashesTheReaderOrThePacker) {
    const std::string good =
        R"({"version": 51010, "channelCount": 1, "controlParams": {"p04": 1, "p98": 3},)"
        R"( "channels": [{"frequency": 145000000, "comment": "管制\u00e9"}],)"
        R"( "memoryBanks": [{"linkFlags": [1, 0], "name": "x"}], "log": [{"maxSignal": 3}]})";
    std::uint32_t seed = 2024;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    kovo::AppSettings settings;
    kovo::ManualClock clock;
    for (int round = 0; round < 2000; ++round) {
        std::string text = good;
        for (int hits = 0; hits < 3; ++hits)
            text[next() % text.size()] = static_cast<char>(next() >> 16);
        JsonValue value;
        std::string error;
        if (!kovoctl::parseJson(text, value, error)) {
            EXPECT_EQ(error.rfind("line ", 0), 0u) << error;
            continue;
        }
        kovo::CKovo5Doc doc(settings, clock);
        if (!kovoctl::applyDocumentJson(value, doc, error)) {
            EXPECT_FALSE(error.empty());
        }
        EXPECT_LE(doc.channelCount, kovo::kMaxChannels);
    }
}
