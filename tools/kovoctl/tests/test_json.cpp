#include <gtest/gtest.h>

#include <cstdio>

#include "CKovo5Doc.h"
#include "DocumentJson.h"
#include "Json.h"

using kovoctl::JsonValue;

namespace {

std::string parseError(std::string_view text) {
    JsonValue value;
    std::string error;
    EXPECT_FALSE(kovoctl::parseJson(text, value, error)) << text;
    return error;
}

JsonValue parsed(std::string_view text) {
    JsonValue value;
    std::string error;
    EXPECT_TRUE(kovoctl::parseJson(text, value, error)) << error;
    return value;
}

} // namespace

TEST(Json, ReadsObjectsArraysStringsAndIntegers) {
    const JsonValue v = parsed(R"( {"a": [1, -2, 0], "b": "x\"\\\/\n\u00e9\ud83d\ude00", "c": {}, "d": true, "e": null} )");
    ASSERT_TRUE(v.isObject());
    ASSERT_EQ(v.members().size(), 5u);
    EXPECT_EQ(v.members()[0].first, "a");
    std::int64_t n = 0;
    ASSERT_TRUE(v.find("a")->items()[1].asInteger(n));
    EXPECT_EQ(n, -2);
    EXPECT_EQ(v.find("b")->text(), "x\"\\/\n\xC3\xA9\xF0\x9F\x98\x80");
    EXPECT_TRUE(v.find("c")->isObject());
    EXPECT_EQ(v.find("zz"), nullptr);
}

TEST(Json, FractionsExponentsAndHugeNumbersAreNotIntegers) {
    std::int64_t n = 0;
    EXPECT_FALSE(parsed("1.5").asInteger(n));
    EXPECT_FALSE(parsed("1e3").asInteger(n));
    EXPECT_FALSE(parsed("99999999999999999999").asInteger(n));
    EXPECT_FALSE(parsed("\"5\"").asInteger(n));
}

TEST(Json, MalformedTextIsRefusedWithItsPlace) {
    EXPECT_EQ(parseError("{\n  \"a\": 1,\n  \"b\" 2\n}"), "line 3, column 7: ':' is expected");
    EXPECT_EQ(parseError("[1, 2"), "line 1, column 6: ',' or ']' is expected");
    EXPECT_EQ(parseError(""), "line 1, column 1: the text ends where a value is expected");
    EXPECT_EQ(parseError("{\"a\":1,\"a\":2}"), "line 1, column 11: key \"a\" appears twice");
    EXPECT_EQ(parseError("1 2"), "line 1, column 3: unexpected text after the value");
    EXPECT_NE(parseError("\"abc"), "");
    EXPECT_NE(parseError("\"a\x01\""), "");
    EXPECT_NE(parseError("\"\\ud800\""), "");    // lone surrogate
    EXPECT_NE(parseError("\"\xC3\""), "");        // cut UTF-8
    EXPECT_NE(parseError("\"\xC0\xAF\""), "");    // overlong UTF-8
    EXPECT_NE(parseError("\"\xED\xA0\x80\""), ""); // encoded surrogate
    EXPECT_NE(parseError("01"), "");
    EXPECT_NE(parseError("-"), "");
    EXPECT_NE(parseError("tru"), "");
    EXPECT_NE(parseError("[1,]"), "");
    EXPECT_EQ(parseError(std::string(100, '[') + std::string(100, ']')).substr(0, 20),
              "line 1, column 66: n");
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
    EXPECT_EQ(text, "{\n  \"n\": -3,\n  \"list\": [1, \"a\\\"b\\\\c\\u0001\", {}],\n  \"rows\": []\n}\n");
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
