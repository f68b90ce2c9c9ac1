// Line texts, headers and bank numbering of the database lists.
#include "fakes/DatabasePanelRig.h"

#include <gtest/gtest.h>

#include <functional>

namespace kovo::test {
namespace {

constexpr std::int32_t k2001 = 981173106;  // 2001-02-03 04:05:06 UTC
constexpr std::int32_t k2024 = 1735689599; // 2024-12-31 23:59:59 UTC

struct LineCase {
    const char* name;
    std::function<void(DatabasePanelRig&)> setUp;
    int view;
    int row;
    const char* expected;
};

CFrequencyData& onlyChannel(DatabasePanelRig& r, std::uint32_t f, std::int32_t mask) {
    return *r.doc.channels[std::size_t(r.addChannel(f, mask))];
}

const LineCase kLines[] = {
    {"channel never heard, banks 3 and 7",
     [](DatabasePanelRig& r) { onlyChannel(r, 145'500'000, (1 << 3) | (1 << 7)).comment = "abc"; },
     0, 0, "   1\u2462   0  145.500000 NFM   -   - -- -- -- -- -- -- abc"},
    {"channel heard, strongest signal above the table's +60 rows",
     [](DatabasePanelRig& r) {
         CFrequencyData& ch = onlyChannel(r, 2'040'000'000, 1 << 20);
         ch.heard = 1;
         ch.signal = 15;
         ch.maxSignal = 21;
         ch.heardTime = k2001;
         ch.mode = 8;
     },
     0, 0, "   1\u2473   0 2040.000000 SAH +60 +60 01- 2- 3 04:05:06 "},
    {"priority channel in the pass bank, no number",
     [](DatabasePanelRig& r) {
         CFrequencyData& ch = onlyChannel(r, 100'000, 1 << 21);
         ch.priority = 1;
         ch.mode = 4;
         ch.heard = 1;
         ch.heardTime = k2024;
     },
     0, 0, " \u25C6 \uFF30   0    0.100000 USB   0   0 24-12-31 23:59:59 "},
    {"channel in no bank: two blanks", [](DatabasePanelRig& r) { onlyChannel(r, 7'000'000, 0); }, 0,
     0, "   1     0    7.000000 NFM   -   - -- -- -- -- -- -- "},
    {"bank 0 reads Other whatever its name",
     [](DatabasePanelRig& r) {
         r.doc.memoryBanks[0].name = "Name";
         r.doc.memoryBanks[0].linkFlags[0] = 1;
         r.addChannel(1'000'000, 1 | 2);
     },
     1, 0, " 0 \u25CB     1 Other"},
    {"named bank counts channels of several banks",
     [](DatabasePanelRig& r) {
         r.doc.memoryBanks[7].name = "Air";
         r.addChannel(1'000'000, (1 << 3) | (1 << 7));
         r.addChannel(2'000'000, 1 << 7);
     },
     1, 7, " 7        2 Air"},
    {"pass bank reads Pass Channel", [](DatabasePanelRig& r) { r.doc.memoryBanks[21].name = "x"; },
     1, 21,
     "21"
     "        0 Pass Channel"},
    {"search bank with wide step label",
     [](DatabasePanelRig& r) {
         CSearchBank& b = r.doc.searchBanks[0];
         b.inUse = 1, b.startFrequency = 118'000'000, b.stopFrequency = 136'975'000;
         b.step = 8, b.mode = 2, b.attenuator = 1, b.comment = "Air";
     },
     2, 0, " 1 \u25CB  118.000000- 136.975000 12.5kHz AM    10dB Air"},
    {"pass range at the edges",
     [](DatabasePanelRig& r) {
         CPassBank& p = r.doc.passRanges[2];
         p.lowFrequency = 100'000, p.highFrequency = 2'040'000'000, p.comment = "x";
     },
     3, 2, " 3       0.100000-2040.000000  x"},
    {"auto-mode range, 6.25 kHz step",
     [](DatabasePanelRig& r) {
         CAutoBank& a = r.doc.autoRanges[19];
         a.startFrequency = 430'000'000, a.stopFrequency = 440'000'000;
         a.step = 5, a.mode = 1, a.attenuator = 2, a.comment = "";
     },
     4, 19, "20     430.000000- 440.000000  6.25kz WFM    0dB "},
    {"search string", [](DatabasePanelRig& r) { r.doc.searchStrings[4] = "hello"; }, 5, 4,
     " 5    hello"},
    {"log entry",
     [](DatabasePanelRig& r) {
         r.addLog(145'500'000, k2001, k2001 + 54, 16);
         r.doc.logEntry(0).comment = "\x83\x65\x83\x58\x83\x67"; // テスト
     },
     6, 0, "  145.500000 +60 01- 2- 3 04:05:06 - 04:06:00 \u30C6\u30B9\u30C8"},
};

class LineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineTest, GoldenText) {
    DatabasePanelRig r;
    r.doc.onNewDocument();
    GetParam().setUp(r);
    r.panel.refreshAll();
    EXPECT_EQ(r.lineOf(GetParam().view, GetParam().row).toStdString(),
              QString::fromUtf8(GetParam().expected).toStdString());
    // The list shows and exposes the same text.
    DatabaseModel& m = r.panel.model(GetParam().view);
    const QModelIndex i = m.index(GetParam().row);
    EXPECT_EQ(m.data(i, Qt::DisplayRole).toString(), QString::fromUtf8(GetParam().expected));
    EXPECT_EQ(m.data(i, Qt::AccessibleTextRole).toString(), QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Views, LineTest, ::testing::ValuesIn(kLines), [](const auto& testInfo) {
    return "case" + std::to_string(testInfo.index);
});

TEST(DatabaseLines, EditableFieldsStartAtTheirColumns) {
    DatabasePanelRig r;
    r.addChannel(145'500'000, 1 << 3);
    r.doc.channels[0]->comment = "C";
    r.doc.searchBanks[0].comment = "S";
    r.doc.passRanges[0].comment = "P";
    r.doc.memoryBanks[1].name = "N";
    r.panel.refreshAll();
    auto column = [](const QString& line, qsizetype index) {
        int col = 0;
        for (int i = 0; i < index; ++i)
            col += dblines::columnsOf(line.at(i).unicode());
        return col;
    };
    const QString ch = r.lineOf(0, 0);
    EXPECT_EQ(column(ch, ch.indexOf(QStringLiteral("145.5")) - 1), 11);
    EXPECT_EQ(column(ch, ch.lastIndexOf(QLatin1Char('C'))), 53);
    EXPECT_EQ(column(r.lineOf(1, 1), r.lineOf(1, 1).lastIndexOf(QLatin1Char('N'))), 12);
    EXPECT_EQ(column(r.lineOf(2, 0), r.lineOf(2, 0).lastIndexOf(QLatin1Char('S'))), 49);
    EXPECT_EQ(column(r.lineOf(3, 0), r.lineOf(3, 0).lastIndexOf(QLatin1Char('P'))), 31);
}

TEST(DatabaseLines, HeadersAndStatistics) {
    DatabasePanelRig r;
    r.panel.refreshAll();
    r.doc.log().logAnalysis().frequency = 145'012'500;
    r.doc.log().logAnalysis().sampleCount = 3;
    r.doc.log().logAnalysis().comment = "c";
    EXPECT_EQ(dblines::header(r.doc, 5), QStringLiteral("No   Strings"));
    EXPECT_EQ(dblines::header(r.doc, 7),
              QStringLiteral(" Statistics  Frequency:145.012500  Sample:3  c"));
    r.show(3);
    EXPECT_EQ(r.panel.headerLine().text(),
              QStringLiteral("No Use   Start       Stop       Comment"));
}

// Channels in list order with their bank masks, and the numbers a rebuild gives.
TEST(DatabaseLines, NumbersWithinBanksSurviveSaveAndReopen) {
    const std::int32_t masks[] = {1 << 3, 0, 1 << 3 | 1 << 7, 1 << 7, 1, 1 << 3, 1 << 21};
    const int numbers[] = {0, 0, 1, 0, 1, 2, 0};
    DatabasePanelRig r;
    for (int i = 0; i < 7; ++i)
        r.addChannel(std::uint32_t(1'000'000 * (i + 1)), masks[i]);
    r.doc.mainRecord.frequency = 6'000'000;
    const auto bytes = r.doc.toBytes();

    DatabasePanelRig reopened;
    ASSERT_TRUE(reopened.doc.readBytes(bytes, "x.kv5", false).ok);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(reopened.doc.channels[std::size_t(i)]->bankNumber, numbers[i]) << i;
    EXPECT_EQ(reopened.doc.mainRecord.bankNumber, 2);
    reopened.panel.refreshAll();
    EXPECT_TRUE(reopened.lineOf(0, 5).startsWith(QStringLiteral("   6\u2462   2")));
}

} // namespace
} // namespace kovo::test
