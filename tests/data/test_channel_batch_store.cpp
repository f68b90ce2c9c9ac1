// Storing many channels in one batch gives the table that storing them one
// by one gives, with the same notices, bank counts and modified flag.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "data/CKovo5Doc.h"

namespace kovo {
namespace {

using Kind = DocumentChange::Kind;

CFrequencyData tunedAt(std::uint32_t f, std::int32_t mode, std::int32_t ctcss = 0) {
    CFrequencyData r;
    r.frequency = f;
    r.mode = mode;
    r.step = 3;
    r.ctcss = ctcss;
    r.ifBandwidth = 1;
    return r;
}

struct BatchCase {
    const char* name;
    std::function<void(CKovo5Doc&)> before; // the table the batch goes into
    std::vector<CFrequencyData> batch;
};

void storedAndSaved(CKovo5Doc& d, std::vector<std::uint32_t> fs, int bank) {
    for (std::uint32_t f : fs)
        ASSERT_GE(d.channelTable().storeChannel(f), 0);
    std::vector<int> rows;
    for (int i = 0; i < d.channelCount; ++i)
        rows.push_back(i);
    d.channelTable().setChannelBanks(rows, bank, true);
    d.channelTable().choosePriorityChannel(d.channelCount - 1);
    d.setModified(false);
}

const BatchCase kBatchCases[] = {
    {"ascending into an empty table",
     [](CKovo5Doc&) {},
     {tunedAt(100'000'000, 1), tunedAt(145'500'000, 2, 7), tunedAt(430'000'000, 0)}},
    {"out of order around stored channels, one already stored, one repeated",
     [](CKovo5Doc& d) {
         storedAndSaved(d, {120'000'000, 300'000'000}, 4);
     },
     {tunedAt(500'000'000, 1), tunedAt(120'000'000, 2, 3), tunedAt(80'000'000, 0),
      tunedAt(500'000'000, 4), tunedAt(200'000'000, 1)}},
    {"only frequencies already stored",
     [](CKovo5Doc& d) {
         storedAndSaved(d, {120'000'000, 300'000'000}, 9);
     },
     {tunedAt(300'000'000, 5), tunedAt(120'000'000, 1)}},
    {"nothing", [](CKovo5Doc& d) { storedAndSaved(d, {120'000'000}, 2); }, {}},
};

struct Outcome {
    std::vector<CFrequencyData> channels;
    std::vector<std::string> notices;
    std::array<int, kBankCount> counts{};
    bool modified = false;
    int priorityIndex = 0;
    CFrequencyData priorityRecord;
};

Outcome outcomeOf(CKovo5Doc& d, const std::vector<std::string>& notices) {
    Outcome o;
    for (int i = 0; i < d.channelCount; ++i)
        o.channels.push_back(*d.channels[static_cast<std::size_t>(i)]);
    o.notices = notices;
    o.counts = d.channelTable().channelCountPerBank();
    o.modified = d.isModified();
    o.priorityIndex = d.priorityIndex;
    o.priorityRecord = d.priorityRecord;
    return o;
}

TEST(ChannelBatchStore, GivesTheTableOfStoringOneByOne) {
    for (const BatchCase& c : kBatchCases) {
        SCOPED_TRACE(c.name);
        AppSettings settings;
        ManualClock clock{1'000'000'000'000};
        CKovo5Doc single(settings, clock);
        CKovo5Doc batch(settings, clock);
        c.before(single);
        c.before(batch);
        std::vector<std::string> heardSingle, heardBatch;
        const auto record = [](std::vector<std::string>& into) {
            return [&into](const DocumentChange& n) {
                into.push_back(std::to_string(int(n.kind)) + ":" + std::to_string(n.row));
            };
        };
        const Subscription s1 = single.changes().subscribe(record(heardSingle));
        const Subscription s2 = batch.changes().subscribe(record(heardBatch));

        for (const CFrequencyData& r : c.batch) {
            single.mainRecord = r;
            ASSERT_GE(single.channelTable().storeChannel(r.frequency), 0);
        }
        const std::vector<int> rows = batch.channelTable().storeChannels(c.batch);

        const Outcome one = outcomeOf(single, heardSingle);
        const Outcome all = outcomeOf(batch, heardBatch);
        EXPECT_EQ(all.channels, one.channels);
        EXPECT_EQ(all.notices, one.notices);
        EXPECT_EQ(all.counts, one.counts);
        EXPECT_EQ(all.modified, one.modified);
        EXPECT_EQ(all.priorityIndex, one.priorityIndex);
        EXPECT_EQ(all.priorityRecord, one.priorityRecord);
        ASSERT_EQ(rows.size(), c.batch.size());
        for (std::size_t i = 0; i < rows.size(); ++i)
            EXPECT_EQ(batch.channels[static_cast<std::size_t>(rows[i])]->frequency,
                      c.batch[i].frequency)
                << "the row of each record after the whole batch";
    }
}

TEST(ChannelBatchStore, ABatchThatDoesNotFitChangesNothing) {
    AppSettings settings;
    ManualClock clock{1'000'000'000'000};
    CKovo5Doc doc(settings, clock);
    std::vector<CFrequencyData> seed;
    for (std::uint32_t i = 0; i < kMaxChannels - 1; ++i)
        seed.push_back(tunedAt(100'000'000 + 10'000 * i, 1));
    ASSERT_EQ(doc.channelTable().storeChannels(seed).size(), seed.size());
    doc.setModified(false);
    const auto countsBefore = doc.channelTable().channelCountPerBank();
    int notices = 0;
    const Subscription s = doc.changes().subscribe([&](const DocumentChange&) { ++notices; });

    // One stored frequency and two new ones: one new channel too many.
    const std::vector<int> rows = doc.channelTable().storeChannels(
        {tunedAt(100'000'000, 4), tunedAt(30'000'000, 1), tunedAt(31'000'000, 1)});
    EXPECT_TRUE(rows.empty());
    EXPECT_EQ(doc.channelCount, kMaxChannels - 1);
    EXPECT_EQ(doc.channels[0]->mode, 1) << "the stored channel is left as it was";
    EXPECT_EQ(doc.channelTable().channelCountPerBank(), countsBefore);
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(notices, 0);
}

} // namespace
} // namespace kovo
