#include <gtest/gtest.h>

#include "FolderCap.h"
#include "PreRoll.h"
#include "RecordingGate.h"
#include "RecordingName.h"
#include "SoundFile.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <numeric>
#include <set>
#include <unistd.h>

namespace kovo::recorder {
namespace {

// ---- file names ----

struct NameCase {
    RecordingKey key;
    const char* base;
};

TEST(RecordingName, PrintsUtcTimeAndFrequencyAndReadsThemBack) {
    const NameCase cases[] = {
        {{145500000, 1704096000}, "20240101-080000Z_145.500000MHz"},
        {{10000, 0}, "19700101-000000Z_0.010000MHz"},
        {{4294967295u, 2147483647}, "20380119-031407Z_4294.967295MHz"},
        {{118012500, 1719792059}, "20240701-000059Z_118.012500MHz"},
    };
    for (const NameCase& c : cases) {
        EXPECT_EQ(recordingBaseName(c.key), c.base);
        for (const char* ext : {".flac", ".opus"}) {
            const auto back = parseRecordingName(std::string(c.base) + ext);
            ASSERT_TRUE(back) << c.base << ext;
            EXPECT_EQ(*back, c.key) << c.base;
        }
        EXPECT_EQ(parseRecordingName(std::string(c.base) + "-3.flac"), c.key) << "a second copy";
    }
}

TEST(RecordingName, RejectsNamesItDidNotMake) {
    for (const char* name :
         {"20240101-080000Z_145.500000MHz.wav", "20240101-080000Z_145.500000MHz", "notes.flac",
          "20241301-080000Z_145.500000MHz.flac", "20240101-080000Z_145.5MHz.flac",
          "20240101-080000Z_145.500000MHz-1.flac", "20240101-080000Z_145.500000MHz-x.flac",
          "20240101-080000Z_4295.000000MHz.flac", "20240101-080000Z_-45.500000MHz.flac", ".flac"})
        EXPECT_FALSE(parseRecordingName(name)) << name;
}

TEST(RecordingName, SameEntryTwiceGetsACopyNumber) {
    std::set<std::string> taken;
    const RecordingKey key{145500000, 1704096000};
    for (const char* expected :
         {"20240101-080000Z_145.500000MHz.flac", "20240101-080000Z_145.500000MHz-2.flac",
          "20240101-080000Z_145.500000MHz-3.flac"}) {
        const std::string name = uniqueRecordingName(
            key, ".flac", [&](const std::string& n) { return taken.count(n) > 0; });
        EXPECT_EQ(name, expected);
        taken.insert(name);
    }
}

// ---- pre-roll ----

std::vector<float> ramp(float from, std::size_t n) {
    std::vector<float> v(n);
    std::iota(v.begin(), v.end(), from);
    return v;
}

TEST(PreRoll, KeepsTheNewestSamplesInOrder) {
    struct Case {
        std::size_t capacity;
        std::vector<std::size_t> pushes; // block sizes of a ramp 0, 1, 2, ...
        std::vector<float> expected;
    };
    const Case cases[] = {
        {5, {3}, {0, 1, 2}},
        {5, {3, 4}, {2, 3, 4, 5, 6}}, // wraps
        {5, {12}, {7, 8, 9, 10, 11}}, // one block larger than the ring
        {5, {2, 2, 2, 2, 2}, {5, 6, 7, 8, 9}},
        {0, {4}, {}}, // no pre-roll
    };
    for (const Case& c : cases) {
        PreRoll roll(c.capacity);
        float next = 0;
        for (std::size_t n : c.pushes) {
            roll.push(ramp(next, n));
            next += float(n);
        }
        EXPECT_EQ(roll.take(), c.expected) << "capacity " << c.capacity;
        EXPECT_EQ(roll.size(), 0u) << "taking empties it";
    }
}

// ---- the gate ----

class FakeSink final : public RecordingSink {
public:
    bool open(const EntryInfo& e) override {
        if (!accept)
            return false;
        files.push_back({e, {}});
        return true;
    }
    void write(std::span<const float> s) override {
        files.back().second.insert(files.back().second.end(), s.begin(), s.end());
    }
    void close() override { ++closed; }
    bool accept = true;
    int closed = 0;
    std::vector<std::pair<EntryInfo, std::vector<float>>> files;
};

// Audio is a ramp so that every sample says when it was captured.
class GateTest : public ::testing::Test {
protected:
    void audio(std::size_t n) {
        gate.audio(ramp(next, n));
        next += float(n);
    }
    FakeSink sink;
    RecordingGate gate{sink, 4};
    float next = 0;
};

TEST_F(GateTest, KeepsAudioOnlyWhileTheSquelchIsOpenWithPreRoll) {
    audio(10); // 0..9 before anything: only the last 4 wait
    gate.squelchChanged(true);
    audio(2); // 10, 11 still wait: no file yet
    gate.entryStarted({145500000, 1, "a"});
    audio(3); // 12..14 kept
    gate.squelchChanged(false);
    audio(6);                  // 15..20 dropped but the last 4 wait
    gate.squelchChanged(true); // 17..20 are the pre-roll of the reopening
    audio(1);                  // 21
    gate.squelchChanged(false);
    audio(2);                  // 22, 23: closed
    gate.squelchChanged(true); // pre-roll is only what came after the close
    gate.entryEnded();
    audio(5); // no file
    ASSERT_EQ(sink.files.size(), 1u);
    EXPECT_EQ(sink.files[0].second,
              (std::vector<float>{8, 9, 10, 11, 12, 13, 14, 17, 18, 19, 20, 21, 22, 23}));
    EXPECT_EQ(sink.closed, 1);
}

TEST_F(GateTest, AnEntryBeforeAnySquelchCodeCountsAsOpenAndANewEntryClosesTheOld) {
    audio(2);
    gate.entryStarted({1, 1, ""});
    audio(2);
    gate.entryStarted({2, 2, ""});
    EXPECT_EQ(sink.closed, 1);
    gate.squelchChanged(false);
    audio(3);
    gate.linkLost();
    EXPECT_EQ(sink.closed, 2);
    EXPECT_FALSE(gate.fileOpen());
    ASSERT_EQ(sink.files.size(), 2u);
    EXPECT_EQ(sink.files[0].second, (std::vector<float>{0, 1, 2, 3}));
    EXPECT_TRUE(sink.files[1].second.empty());
}

TEST_F(GateTest, AFileThatCannotBeOpenedRecordsNothingAndClosesNothing) {
    sink.accept = false;
    gate.squelchChanged(true);
    EXPECT_FALSE(gate.entryStarted({1, 1, ""}));
    audio(8);
    gate.entryEnded();
    EXPECT_EQ(sink.closed, 0);
    EXPECT_FALSE(gate.keeping());
}

// ---- folder cap ----

TEST(FolderCap, RemovesOldestFirstUntilUnderTheCapButNeverTheOpenFile) {
    const std::vector<StoredRecording> files = {
        {"c", 300, 30}, {"a", 100, 10}, {"b", 200, 20}, {"d", 400, 40}};
    struct Case {
        std::uint64_t cap;
        std::string keep;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {1000, "", {}}, // exactly at the cap
        {999, "", {"a"}},
        {600, "", {"a", "b", "c"}}, // 400 left
        {0, "", {}},                // no cap
        {950, "a", {"b"}},          // the file being written is skipped
        {1, "", {"a", "b", "c", "d"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(recordingsOverCap(files, c.cap, c.keep), c.expected) << "cap " << c.cap;
}

TEST(FolderCap, DeletesOnlyRecordingsFromTheFolder) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("kovo-cap-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    auto make = [&](const std::string& name, std::size_t bytes, int age) {
        std::ofstream(dir / name) << std::string(bytes, 'x');
        std::filesystem::last_write_time(dir / name, std::filesystem::file_time_type::clock::now() -
                                                         std::chrono::hours(age));
    };
    make("20240101-080000Z_145.500000MHz.flac", 1000, 3);
    make("20240101-090000Z_145.500000MHz.opus", 1000, 2);
    make("notes.txt", 5000, 9);
    make("20240101-100000Z_145.500000MHz.flac", 1000, 1);
    EXPECT_EQ(enforceCap(dir, 2000, {}),
              (std::vector<std::string>{"20240101-080000Z_145.500000MHz.flac"}));
    EXPECT_TRUE(std::filesystem::exists(dir / "notes.txt"));
    EXPECT_EQ(listRecordings(dir).size(), 2u);
    std::filesystem::remove_all(dir);
}

// ---- files ----

TEST(SoundFile, WritesTaggedFilesThatReadBackAndAreFoundByTheirEntry) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("kovo-sf-" + std::to_string(::getpid()));
    for (FileFormat format : {FileFormat::Flac, FileFormat::Opus}) {
        std::filesystem::remove_all(dir);
        SoundFileSink sink(dir, format, 24000);
        std::string closed;
        sink.onClosed = [&](const std::string& n) { closed = n; };
        ASSERT_TRUE(sink.open({145500000, 1704096000, "東京 Tower"}));
        std::vector<float> tone(24000);
        for (std::size_t i = 0; i < tone.size(); ++i)
            tone[i] = 0.5f * std::sin(2.0f * 3.14159265f * 440.0f * float(i) / 24000.0f);
        sink.write(tone);
        const std::string name = sink.currentName();
        sink.close();
        EXPECT_EQ(closed, name);
        const auto found = findRecording(dir, 145500000, 1704096000);
        ASSERT_TRUE(found);
        EXPECT_EQ(found->filename(), name);
        EXPECT_FALSE(findRecording(dir, 145500000, 1704096001));
        EXPECT_FALSE(findRecording(dir, 145512500, 1704096000));
        const auto back = readRecording(*found);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->title, "145.500000 MHz");
        EXPECT_EQ(back->comment, "東京 Tower");
        EXPECT_EQ(back->date, "2024-01-01T08:00:00Z");
        EXPECT_NEAR(double(back->samples.size()), 24000.0, 2400.0);
    }
    std::filesystem::remove_all(dir);
}

TEST(SoundFile, AnEntryWithoutAudioLeavesNoFile) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("kovo-sf0-" + std::to_string(::getpid()));
    SoundFileSink sink(dir, FileFormat::Flac, 24000);
    std::string closed, discarded;
    sink.onClosed = [&](const std::string& n) { closed = n; };
    sink.onDiscarded = [&](const std::string& n) { discarded = n; };
    ASSERT_TRUE(sink.open({145500000, 1704096000, ""}));
    sink.close();
    EXPECT_EQ(discarded, "20240101-080000Z_145.500000MHz.flac");
    EXPECT_TRUE(closed.empty());
    EXPECT_FALSE(findRecording(dir, 145500000, 1704096000));
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace kovo::recorder
