// Each part of the document publishes its own changes; the document passes
// them on and every part marks the document modified.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "DataTestSupport.h"
#include "data/CKovo5Doc.h"
#include "data/DatabaseEdits.h"

namespace kovo {
namespace {

using Kind = DocumentChange::Kind;

struct PartCase {
    const char* name;
    std::function<DocumentPart&(CKovo5Doc&)> part;
    std::function<void(CKovo5Doc&)> change;
    std::vector<Kind> heard; // by the part's own listeners and the document's
};

const PartCase kPartCases[] = {
    {"channel table",
     [](CKovo5Doc& d) -> DocumentPart& { return d.channelTable(); },
     [](CKovo5Doc& d) { ASSERT_EQ(d.channelTable().storeChannel(150'000'000), 0); },
     {Kind::ChannelInserted}},
    {"log",
     [](CKovo5Doc& d) -> DocumentPart& { return d.log(); },
     [](CKovo5Doc& d) { d.log().openLogEntry(d.mainRecord, 3); },
     {Kind::LogAppended}},
    {"banks",
     [](CKovo5Doc& d) -> DocumentPart& { return d.banks(); },
     [](CKovo5Doc& d) { ASSERT_TRUE(d.banks().setCurrentLinkSet(4)); },
     {Kind::BanksChanged}},
    {"link sets",
     [](CKovo5Doc& d) -> DocumentPart& { return d.banks(); },
     [](CKovo5Doc& d) { d.banks().setLinkFlags(6); },
     {Kind::LinkSetsChanged}},
    {"ranges",
     [](CKovo5Doc& d) -> DocumentPart& { return d.ranges(); },
     [](CKovo5Doc& d) { ASSERT_TRUE(d.ranges().setRangeEdges(edits::PassRanges, 1, 9, 5)); },
     {Kind::RangesChanged}},
    {"range use flags",
     [](CKovo5Doc& d) -> DocumentPart& { return d.ranges(); },
     [](CKovo5Doc& d) { ASSERT_TRUE(d.listEdits().setUseFlags(edits::SearchBanks, {2}, true)); },
     {Kind::RangesChanged}},
    {"parameters",
     [](CKovo5Doc& d) -> DocumentPart& { return d.parameters(); },
     [](CKovo5Doc& d) { d.parameters().toggleSwitch(SwitchKind::Logging); },
     {Kind::ParametersChanged}},
    {"tuned record",
     [](CKovo5Doc& d) -> DocumentPart& { return d.tuning(); },
     [](CKovo5Doc& d) { d.tuning().setTunedStep(4); },
     {}},
};

TEST(DocumentParts, EachPartReportsItsOwnChangesAndMarksTheDocument) {
    for (const PartCase& c : kPartCases) {
        SCOPED_TRACE(c.name);
        AppSettings settings;
        ManualClock clock;
        CKovo5Doc doc{settings, clock};
        std::vector<Kind> byPart, byDocument, byOthers;
        const Subscription own = c.part(doc).changes().subscribe(
            [&](const DocumentChange& n) { byPart.push_back(n.kind); });
        const Subscription all =
            doc.changes().subscribe([&](const DocumentChange& n) { byDocument.push_back(n.kind); });
        std::vector<Subscription> others;
        for (DocumentPart* p :
             std::initializer_list<DocumentPart*>{&doc.channelTable(), &doc.log(), &doc.banks(),
                                                  &doc.ranges(), &doc.parameters(), &doc.tuning()})
            if (p != &c.part(doc))
                others.push_back(p->changes().subscribe(
                    [&](const DocumentChange& n) { byOthers.push_back(n.kind); }));
        ASSERT_FALSE(doc.isModified());

        c.change(doc);
        EXPECT_EQ(byPart, c.heard);
        EXPECT_EQ(byDocument, c.heard);
        EXPECT_TRUE(byOthers.empty());
        EXPECT_TRUE(doc.isModified());
    }
}

// The log's listener on the document still hears of every entry opened, with
// the frequency, time and comment of the entry.
TEST(DocumentParts, OpeningALogEntryThroughTheLogReachesTheRecorderHook) {
    AppSettings settings;
    ManualClock clock{5000};
    CKovo5Doc doc{settings, clock};
    std::vector<std::uint32_t> told;
    Subscription recorder = doc.log().changes().subscribe([&](const DocumentChange& change) {
        ASSERT_EQ(change.kind, DocumentChange::Kind::LogAppended);
        told.push_back(doc.logEntry(change.row).frequency);
        EXPECT_EQ(doc.logEntry(change.row).firstHeard, 5);
    });
    doc.priorityRecord.frequency = 430'000'000;
    doc.log().openLogEntry(doc.priorityRecord, 1);
    EXPECT_EQ(told, std::vector<std::uint32_t>{430'000'000u});
}

} // namespace
} // namespace kovo
