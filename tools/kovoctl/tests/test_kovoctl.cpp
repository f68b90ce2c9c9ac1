#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "BusClient.h"
#include "Json.h"
#include "Kovoctl.h"
#include "data/CKovo5Doc.h"
#include "ipc/Blocks.h"

using kovoctl::JsonValue;

namespace {

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kovoctl-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

struct ProgramRun {
    int status;
    std::string out;
    std::string err;
};

// Runs the built program with `args` (already shell-quoted).
ProgramRun runProgram(const TempDir& dir, const std::string& args) {
    const std::string out = dir.file("stdout"), err = dir.file("stderr");
    const std::string command =
        std::string("'") + KOVOCTL_PROGRAM + "' " + args + " >'" + out + "' 2>'" + err + "'";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readText(out), readText(err)};
}

std::string q(const std::string& path) {
    return "'" + path + "'";
}

// A document with Japanese text, a priority mark that is not on the last
// channel, a tuning offset, full link flags and a log that wrapped around.
struct SampleDocument {
    kovo::AppSettings settings;
    kovo::ManualClock clock{1015459500000};
    kovo::CKovo5Doc doc{settings, clock};

    explicit SampleDocument(int channels = 3, int logEntries = 4, std::size_t comment = 6) {
        for (int i = 0; i < channels; ++i) {
            auto c = std::make_unique<kovo::CFrequencyData>();
            c->frequency = 118000000u + 25000u * static_cast<std::uint32_t>(i);
            c->bankMask = i % 3 == 0 ? 0x200001 : 1 << (i % 21);
            c->heard = 1;
            c->step = 11;
            c->mode = i % 9;
            c->heardTime = 1015459500 - i;
            c->signal = -1;
            c->maxSignal = 21;
            c->comment =
                i == 0 ? std::string("\x8A\xC7\x90\xA7 \"q\"\\\t") : std::string(comment, 'k');
            c->ctcss = 51;
            c->tElm = 255;
            c->spare = -2147483647 - 1;
            doc.channels[static_cast<std::size_t>(i)] = std::move(c);
        }
        doc.channelCount = channels;
        if (channels > 1)
            doc.channels[1]->priority = 1;
        doc.logStart = 4998;
        for (int r = 0; r < logEntries; ++r) {
            auto& entry =
                doc.logRing[static_cast<std::size_t>((doc.logStart + r) % kovo::kLogSlots)];
            entry.frequency = 4294967295u - static_cast<std::uint32_t>(r);
            entry.firstHeard = r;
            entry.lastHeard = r + 1;
            entry.maxSignal = r;
            entry.comment = std::string(comment, 'L');
        }
        doc.logCount = logEntries;
        doc.memoryBanks[21].linkFlags.fill(1);
        doc.memoryBanks[5].name = "\x82\xA0"; // hiragana a
        doc.linkSetNames[19] = "last";
        doc.searchStrings[0] = "find me";
        doc.passRanges[19].highFrequency = 4000000000u;
        doc.searchBanks[0].inUse = 1;
        doc.autoRanges[0].mode = 255;
        doc.controlParams.tuningOffset = 1234;
        doc.controlParams.p68 = -5;
    }
};

} // namespace

TEST(Kovoctl, DumpThenPackGivesBackTheSameBytes) {
    TempDir dir;
    SampleDocument sample;
    const std::string original = dir.file("original.kv5");
    ASSERT_TRUE(sample.doc.saveDocument(original).ok);

    const ProgramRun dump = runProgram(dir, "dump " + q(original));
    ASSERT_EQ(dump.status, 0) << dump.err;
    EXPECT_EQ(dump.err, "");
    writeText(dir.file("doc.json"), dump.out);
    const ProgramRun pack =
        runProgram(dir, "pack " + q(dir.file("doc.json")) + " " + q(dir.file("copy.kv5")));
    ASSERT_EQ(pack.status, 0) << pack.err;
    EXPECT_EQ(readText(dir.file("copy.kv5")), readText(original));
}

TEST(Kovoctl, FullDatabaseRoundTripsThroughTheLibrary) {
    TempDir dir;
    SampleDocument sample(kovo::kMaxChannels, kovo::kLogSlots, 40);
    const std::string original = dir.file("full.kv5");
    ASSERT_TRUE(sample.doc.saveDocument(original).ok);
    std::FILE* json = std::fopen(dir.file("full.json").c_str(), "w");
    ASSERT_EQ(kovoctl::dumpCommand(original, json, stderr), 0);
    std::fclose(json);
    ASSERT_EQ(kovoctl::packCommand(dir.file("full.json"), dir.file("copy.kv5"), stderr), 0);
    EXPECT_EQ(readText(dir.file("copy.kv5")), readText(original));
}

TEST(Kovoctl, DumpShowsTheDocumentAsDescribedJson) {
    TempDir dir;
    SampleDocument sample;
    ASSERT_TRUE(sample.doc.saveDocument(dir.file("a.kv5")).ok);
    const ProgramRun dump = runProgram(dir, "dump " + q(dir.file("a.kv5")));
    ASSERT_EQ(dump.status, 0);
    JsonValue json;
    std::string error;
    ASSERT_TRUE(kovoctl::parseJson(dump.out, json, error)) << error;

    std::vector<std::string> keys;
    for (const auto& member : json.items())
        keys.push_back(member.key());
    EXPECT_EQ(keys,
              (std::vector<std::string>{"version", "channelCount", "controlParams", "mainRecord",
                                        "memoryBanks", "linkSetNames", "passRanges", "searchBanks",
                                        "autoRanges", "searchStrings", "channels", "log"}));
    std::int64_t n = 0;
    ASSERT_TRUE(kovoctl::asInteger(json["version"], n));
    EXPECT_EQ(n, 51010);

    const JsonValue& params = json["controlParams"];
    ASSERT_EQ(params.size(), 36u);
    EXPECT_EQ(params.begin().key(), "p04");
    EXPECT_EQ(std::next(params.begin(), 2).key(), "p0C");
    EXPECT_EQ(std::prev(params.end()).key(), "p98");
    EXPECT_FALSE(params.contains("p6C"));
    EXPECT_FALSE(params.contains("p70"));
    ASSERT_TRUE(kovoctl::asInteger(params["p84"], n));
    EXPECT_EQ(n, 1234);

    EXPECT_EQ(json["mainRecord"]["comment"], "144MHzアマチュア 呼び出し周波数");
    EXPECT_FALSE(json["mainRecord"].contains("bankNumber"));
    EXPECT_EQ(json["mainRecord"].size(), 16u);
    EXPECT_EQ(json["memoryBanks"].size(), 22u);
    EXPECT_EQ(json["memoryBanks"][21]["linkFlags"].size(), 20u);
    EXPECT_EQ(json["memoryBanks"][5]["name"], "あ");
    EXPECT_EQ(json["linkSetNames"][19], "last");

    const JsonValue& channels = json["channels"];
    ASSERT_EQ(channels.size(), 3u);
    EXPECT_EQ(channels[0]["comment"], "管制 \"q\"\\\t");
    ASSERT_TRUE(kovoctl::asInteger(channels[2]["frequency"], n));
    EXPECT_EQ(n, 118050000);
    const JsonValue& log = json["log"];
    ASSERT_EQ(log.size(), 4u);
    ASSERT_TRUE(kovoctl::asInteger(log[0]["frequency"], n));
    EXPECT_EQ(n, 4294967295);
    EXPECT_EQ(std::next(log[0].begin()).key(), "firstHeard");
}

TEST(Kovoctl, PackFillsMissingKeysWithNewDocumentValues) {
    TempDir dir;
    writeText(dir.file("in.json"),
              R"({"channels": [{"frequency": 100000000, "comment": "管制"}], "linkSetNames": ["A"],
                  "controlParams": {"p08": 0}})");
    const ProgramRun pack =
        runProgram(dir, "pack " + q(dir.file("in.json")) + " " + q(dir.file("out.kv5")));
    ASSERT_EQ(pack.status, 0) << pack.err;

    kovo::AppSettings settings;
    kovo::ManualClock clock;
    kovo::CKovo5Doc doc(settings, clock);
    ASSERT_TRUE(doc.openDocument(dir.file("out.kv5")).ok);
    EXPECT_EQ(doc.channelCount, 1);
    EXPECT_EQ(doc.channels[0]->comment, "\x8A\xC7\x90\xA7");
    EXPECT_EQ(doc.channels[0]->step, 0);
    EXPECT_EQ(doc.linkSetNames[0], "A");
    EXPECT_EQ(doc.linkSetNames[1], "01");
    EXPECT_EQ(doc.controlParams.operatingMode, 0);
    EXPECT_EQ(doc.controlParams.p10, 120);
    EXPECT_EQ(doc.mainRecord.frequency, 145000000u);
    EXPECT_EQ(doc.searchBanks[3].stopFrequency, 2040000000u);
}

// Text is stored as the program stores typed text: plainly spelled, and what
// has no form left out and counted.
TEST(Kovoctl, PackSpellsTextAsTheProgramStoresIt) {
    TempDir dir;
    writeText(dir.file("in.json"), R"({"channels": [{"frequency": 100000000,
        "comment": "Malmö tower åäö ✓😀"}], "linkSetNames": ["Straße"]})");
    const ProgramRun pack =
        runProgram(dir, "pack " + q(dir.file("in.json")) + " " + q(dir.file("out.kv5")));
    ASSERT_EQ(pack.status, 0) << pack.err;
    EXPECT_EQ(pack.err, "kovoctl: warning: " + dir.file("in.json") +
                            ": 2 characters have no form in the document's character set "
                            "(Shift-JIS) and were left out.\n");
    kovo::AppSettings settings;
    kovo::ManualClock clock;
    kovo::CKovo5Doc doc(settings, clock);
    ASSERT_TRUE(doc.openDocument(dir.file("out.kv5")).ok);
    EXPECT_EQ(doc.channels[0]->comment, "Malmo tower aao ");
    EXPECT_EQ(doc.linkSetNames[0], "Strasse");
}

TEST(Kovoctl, StateSetSpellsTheCommentAsTheProgramStoresIt) {
    kovo::ipc::StateBlock block;
    std::string error;
    int refused = 0;
    ASSERT_TRUE(kovoctl::mergeState(nlohmann::json::parse(R"({"comment": "Malmö tower ✓"})"), block,
                                    error, refused))
        << error;
    EXPECT_EQ(block.comment, "Malmo tower ");
    EXPECT_EQ(refused, 1);
}

TEST(Kovoctl, BadJsonIsRefusedWithOneMessageAndNoFile) {
    TempDir dir;
    const std::pair<std::string, std::string> cases[] = {
        {"{\"channels\": [", "line 1, column 15"},
        {"[]", "document: expected an object"},
        {"{\"chanels\": []}", "document: unknown key \"chanels\""},
        {"{\"channels\": [{\"frequency\": -1}]}",
         "channels[0].frequency: expected an integer from 0 to 4294967295"},
        {"{\"channels\": [{\"heard\": 256}]}",
         "channels[0].heard: expected an integer from 0 to 255"},
        {"{\"channels\": [{\"mode\": 1.5}]}", "channels[0].mode: expected an integer"},
        {"{\"channels\": [{\"comment\": 5}]}", "channels[0].comment: expected a string"},
        {"{\"channels\": [{\"bankNumber\": 1}]}", "channels[0]: unknown key \"bankNumber\""},
        {"{\"channelCount\": 2, \"channels\": [{}]}",
         "channelCount: is 2 but \"channels\" holds 1"},
        {"{\"controlParams\": {\"p6C\": 1}}", "controlParams: unknown key \"p6C\""},
        {"{\"controlParams\": {\"p08\": 2147483648}}", "controlParams.p08: expected an integer"},
        {"{\"memoryBanks\": [{\"linkFlags\": [0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0]}]}",
         "memoryBanks[0].linkFlags: more than 20 entries"},
        {"{\"searchStrings\": "
         "[\"a\",\"a\",\"a\",\"a\",\"a\",\"a\",\"a\",\"a\",\"a\",\"a\",\"a\",\"a\",\"a\",\"a\","
         "\"a\",\"a\",\"a\",\"a\",\"a\",\"a\",\"a\"]}",
         "searchStrings: more than 20 entries"},
        {"{\"log\": {}}", "log: expected an array"},
    };
    for (const auto& [json, expected] : cases) {
        writeText(dir.file("bad.json"), json);
        const ProgramRun pack =
            runProgram(dir, "pack " + q(dir.file("bad.json")) + " " + q(dir.file("never.kv5")));
        EXPECT_EQ(pack.status, 1) << json;
        EXPECT_NE(pack.err.find(expected), std::string::npos) << json << "\n" << pack.err;
        EXPECT_EQ(std::count(pack.err.begin(), pack.err.end(), '\n'), 1) << pack.err;
        EXPECT_FALSE(std::filesystem::exists(dir.file("never.kv5"))) << json;
    }
}

// Pack orders the channels as the program does when it reads a file: by
// frequency, the first channel of a repeated frequency kept.
TEST(Kovoctl, PackSortsTheChannelsAndKeepsTheFirstOfARepeatedFrequency) {
    struct Case {
        std::string channels;
        std::vector<std::pair<std::uint32_t, std::string>> expected;
        std::string warning; // after "kovoctl: warning: JSON"
    };
    const Case cases[] = {
        {R"({"frequency": 100000000, "comment": "a"}, {"frequency": 200000000, "comment": "b"})",
         {{100000000, "a"}, {200000000, "b"}},
         ""},
        {R"({"frequency": 200000000, "comment": "b"}, {"frequency": 100000000, "comment": "a"})",
         {{100000000, "a"}, {200000000, "b"}},
         ": the channels were put in ascending order of frequency.\n"},
        {R"({"frequency": 200000000, "comment": "b"}, {"frequency": 100000000, "comment": "a"},
            {"frequency": 200000000, "comment": "c"}, {"frequency": 100000000, "comment": "d"})",
         {{100000000, "a"}, {200000000, "b"}},
         " held 2 channels with a frequency stored before; the first channel of each frequency "
         "was kept and the others were merged into it.\n"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.channels);
        const std::string json = dir.file("in.json");
        writeText(json, "{\"channels\": [" + c.channels + "]}");
        char* buffer = nullptr;
        std::size_t size = 0;
        std::FILE* err = open_memstream(&buffer, &size);
        EXPECT_EQ(kovoctl::packCommand(json, dir.file("o.kv5"), err), 0);
        std::fclose(err);
        EXPECT_EQ(std::string(buffer, size),
                  c.warning.empty() ? "" : "kovoctl: warning: " + json + c.warning);
        std::free(buffer);

        kovo::AppSettings settings;
        kovo::ManualClock clock;
        kovo::CKovo5Doc doc(settings, clock);
        ASSERT_TRUE(doc.openDocument(dir.file("o.kv5")).ok);
        std::vector<std::pair<std::uint32_t, std::string>> table;
        for (int i = 0; i < doc.channelCount; ++i)
            table.emplace_back(doc.channels[static_cast<std::size_t>(i)]->frequency,
                               doc.channels[static_cast<std::size_t>(i)]->comment);
        EXPECT_EQ(table, c.expected);
    }
}

TEST(Kovoctl, TooManyChannelsAreRefused) {
    std::string json = "{\"channels\": [";
    for (int i = 0; i <= kovo::kMaxChannels; ++i)
        json += (i ? ",{\"frequency\":" : "{\"frequency\":") + std::to_string(i) + "}";
    json += "]}";
    TempDir dir;
    writeText(dir.file("many.json"), json);
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* err = open_memstream(&buffer, &size);
    EXPECT_EQ(kovoctl::packCommand(dir.file("many.json"), dir.file("o.kv5"), err), 1);
    std::fclose(err);
    EXPECT_EQ(std::string(buffer, size),
              "kovoctl: " + dir.file("many.json") + ": channels: more than 5000 entries\n");
    std::free(buffer);
    EXPECT_FALSE(std::filesystem::exists(dir.file("o.kv5")));
}

TEST(Kovoctl, BadDocumentFilesAndUsageErrorsFailCleanly) {
    TempDir dir;
    ProgramRun run = runProgram(dir, "dump " + q(dir.file("missing.kv5")));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("missing.kv5"), std::string::npos);

    writeText(dir.file("short.kv5"), std::string("\x42\xC7\x00\x00\x01", 5));
    run = runProgram(dir, "dump " + q(dir.file("short.kv5")));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kovoctl: An attempt was made to access " + dir.file("short.kv5") +
                           " past its end.\n");
    EXPECT_EQ(run.out, "");

    EXPECT_EQ(runProgram(dir, "").status, 2);
    EXPECT_EQ(runProgram(dir, "dump").status, 2);
    EXPECT_EQ(runProgram(dir, "frobnicate a b").status, 2);
    run = runProgram(dir, "export channels " + q(dir.file("short.kv5")) + " x.txt");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("neither memory nor log"), std::string::npos);
}

TEST(Kovoctl, WhatIsNoDocumentFileIsRefusedWithoutReadingIt) {
    TempDir dir;
    const std::string huge = dir.file("huge.kv5"), fifo = dir.file("fifo.kv5");
    writeText(huge, "");
    ASSERT_EQ(::truncate(huge.c_str(), off_t(1) << 40), 0);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::pair<std::string, std::string> cases[] = {
        {huge, huge + " is too large to be a document file."},
        {fifo, fifo + " is not a regular file (a pipe or a device, for example)."},
    };
    for (const auto& [file, message] : cases) {
        for (const char* command : {"dump ", "export memory "}) {
            SCOPED_TRACE(command + file);
            const std::string extra = command[0] == 'e' ? " " + q(dir.file("out.txt")) : "";
            const ProgramRun run = runProgram(dir, command + q(file) + extra);
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.err, "kovoctl: " + message + "\n");
        }
    }
}

TEST(Kovoctl, DumpWarnsAboutTextThatIsNotCodePage932) {
    TempDir dir;
    SampleDocument sample(1, 0);
    sample.doc.channels[0]->comment = "ok\x81";
    ASSERT_TRUE(sample.doc.saveDocument(dir.file("w.kv5")).ok);
    const ProgramRun run = runProgram(dir, "dump " + q(dir.file("w.kv5")));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(
        run.err,
        "kovoctl: warning: channels[0].comment is not code page 932 text; written with ? marks\n");
    EXPECT_NE(run.out.find("\"ok?\""), std::string::npos);
}

// kovoctl speaks English, the texts it shares with the program too.
TEST(Kovoctl, SharedTextsAreWrittenInEnglish) {
    TempDir dir;
    SampleDocument sample(1, 0);
    sample.doc.channels[0]->step = 5; // 6.25 kHz
    ASSERT_TRUE(sample.doc.saveDocument(dir.file("s.kv5")).ok);
    const ProgramRun run =
        runProgram(dir, "export memory " + q(dir.file("s.kv5")) + " " + q(dir.file("m.txt")));
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string text = readText(dir.file("m.txt"));
    EXPECT_NE(text.find("6.25kHz"), std::string::npos) << text;
    EXPECT_EQ(text.find("6.25kz"), std::string::npos) << text;
}

TEST(Kovoctl, ExportFollowsTheOutputExtension) {
    TempDir dir;
    SampleDocument sample(3, 2);
    ASSERT_TRUE(sample.doc.saveDocument(dir.file("e.kv5")).ok);
    ProgramRun run =
        runProgram(dir, "export log " + q(dir.file("e.kv5")) + " " + q(dir.file("log.TXT")));
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string columns = readText(dir.file("log.TXT"));
    EXPECT_EQ(columns.rfind("   Frequency    Sig", 0), 0u) << columns;
    run = runProgram(dir, "export log " + q(dir.file("e.kv5")) + " " + q(dir.file("log.csv")));
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string csv = readText(dir.file("log.csv"));
    EXPECT_EQ(csv.find("Frequency"), std::string::npos);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 2);
}
