// Column text and CSV export of the memory channels and the log.
#include <gtest/gtest.h>

#include <memory>
#include <sys/stat.h>

#include "DataTestSupport.h"
#include "data/CKovo5Doc.h"
#include "data/Export.h"

namespace kovo {
namespace {

constexpr std::int32_t kMarch7th2002At090500Jst = 1015459500;
constexpr std::int32_t kMarch7th2002At090730Jst = 1015459650;

CFrequencyData towerChannel() {
    CFrequencyData ch;
    ch.frequency = 145000000;
    ch.bankMask = 1 << 1;
    ch.step = 10;
    ch.mode = 0;
    ch.ifBandwidth = 3;
    ch.attenuator = 3;
    ch.comment = "Tower";
    return ch;
}

CLogData towerEntry() {
    CLogData e;
    e.frequency = 145000000;
    e.maxSignal = 10; // "+10"
    e.firstHeard = kMarch7th2002At090500Jst;
    e.lastHeard = kMarch7th2002At090730Jst;
    e.comment = "Tower";
    return e;
}

std::string memoryLine(const CFrequencyData& ch, bool csv, int bank = 1) {
    std::string out;
    appendMemoryLine(out, bank, ch, csv);
    return out;
}
std::string logLine(const CLogData& e, bool csv) {
    std::string out;
    appendLogLine(out, e, csv);
    return out;
}

class ExportTest : public ::testing::Test {
protected:
    ExportTest() : doc(settings, clock) {}

    void addChannel(const CFrequencyData& ch) {
        doc.channels[static_cast<std::size_t>(doc.channelCount++)] =
            std::make_unique<CFrequencyData>(ch);
    }
    void linkBanks(std::initializer_list<int> banks) {
        for (int b : banks)
            doc.memoryBanks[static_cast<std::size_t>(b)]
                .linkFlags[static_cast<std::size_t>(doc.controlParams.currentLinkSet)] = 1;
    }

    test::ScopedTimeZone zone{"JST-9"};
    AppSettings settings;
    ManualClock clock;
    CKovo5Doc doc;
};

TEST_F(ExportTest, WorkedMemoryLinesByteForByte) {
    EXPECT_EQ(memoryLine(towerChannel(), false),
              "   1    0  145.000000MHz   20kHz NFM   15kHz    0dB   OFF   OFF  ANT1    -   -   "
              "-- -- -- -- -- --  Tower\r\n");
    EXPECT_EQ(
        memoryLine(towerChannel(), true),
        "   1,   0, 145.000000MHz, 20kHz,NFM,\"15kHz\",\"   0dB\",\"  OFF \",\"OFF\",ANT1,,,,,"
        "Tower\r\n");
}

TEST_F(ExportTest, WorkedLogLinesByteForByte) {
    EXPECT_EQ(logLine(towerEntry(), false),
              " 145.000000MHz  +10   02- 3- 7 09:05:00-09:07:30  Tower\r\n");
    EXPECT_EQ(logLine(towerEntry(), true),
              " 145.000000MHz,\"+10\",\"02- 3- 7\",\"09:05:00\",\"09:07:30\",\"Tower\"\r\n");
}

TEST_F(ExportTest, HeardChannelShowsSignalsAndLocalTime) {
    CFrequencyData ch = towerChannel();
    ch.heard = 1;
    ch.signal = 4;
    ch.maxSignal = 17;
    ch.heardTime = kMarch7th2002At090730Jst;
    ch.tElm = 7;
    ch.ctcss = 13;
    ch.antenna = 2;
    ch.bankNumber = 12;
    ch.mode = 4;
    ch.step = 8;
    EXPECT_EQ(memoryLine(ch, false, 3),
              "   3   12  145.000000MHz 12.5kHz USB   15kHz    0dB  100.0    7  ANT3     4 +60  "
              "02- 3- 7 09:07:30  Tower\r\n");
    EXPECT_EQ(memoryLine(ch, true, 3),
              "   3,  12, 145.000000MHz,12.5kHz,USB,\"15kHz\",\"   0dB\",\" 100.0\",\"  7\",ANT3,"
              "\"  4\",\"+60\",\"02- 3- 7\",\"09:07:30\",Tower\r\n");
}

// How a comment ends the memory line and the log line in CSV; the columns
// form always shows it as stored.
struct CsvCommentCase {
    std::string comment;
    std::string memoryEnding;
    std::string logEnding;
};

void expectCsvComments(std::initializer_list<CsvCommentCase> cases) {
    const std::string tower = memoryLine(towerChannel(), true);
    const std::string beforeComment =
        tower.substr(0, tower.size() - std::string("Tower\r\n").size());
    for (const CsvCommentCase& c : cases) {
        CFrequencyData ch = towerChannel();
        ch.comment = c.comment;
        EXPECT_EQ(memoryLine(ch, true), beforeComment + c.memoryEnding + "\r\n") << c.comment;
        CLogData e = towerEntry();
        e.comment = c.comment;
        EXPECT_TRUE(logLine(e, true).ends_with("\"09:07:30\"," + c.logEnding + "\r\n"))
            << c.comment << " " << logLine(e, true);
        EXPECT_TRUE(memoryLine(ch, false).ends_with("  " + c.comment + "\r\n"))
            << "columns unchanged";
    }
}

// A spreadsheet must find the comment in one cell: a memory comment that
// would end the field early is quoted, quotes doubled; the log's comment is
// always quoted, so only its quotes are doubled. Other text stays as it is.
TEST_F(ExportTest, CsvCommentsStayInOneSpreadsheetCell) {
    expectCsvComments({
        {"a,\"b\"\x83\x41", "\"a,\"\"b\"\"\x83\x41\"", "\"a,\"\"b\"\"\x83\x41\""},
        {"x,y", "\"x,y\"", "\"x,y\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\"", "\"say \"\"hi\"\"\""},
        {"two\rlines\n", "\"two\rlines\n\"", "\"two\rlines\n\""},
        {"plain \x83\x41 text;'", "plain \x83\x41 text;'", "\"plain \x83\x41 text;'\""},
        {"", "", "\"\""},
    });
}

// A comment a spreadsheet would run as a formula is written as text: a
// leading "'" in the CSV forms, nothing added in the columns form.
TEST_F(ExportTest, CsvCommentsThatReadAsFormulasAreWrittenAsText) {
    expectCsvComments({
        {"=cmd|' /C calc'!A0", "'=cmd|' /C calc'!A0", "\"'=cmd|' /C calc'!A0\""},
        {"+SUM(1,2)", "\"'+SUM(1,2)\"", "\"'+SUM(1,2)\""},
        {"-REP", "'-REP", "\"'-REP\""},
        {"@SUM(A1)", "'@SUM(A1)", "\"'@SUM(A1)\""},
        {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\"", "\"'=HYPERLINK(\"\"x\"\")\""},
        {"\t=1+1", "'\t=1+1", "\"'\t=1+1\""},
        {"\r=1+1", "\"'\r=1+1\"", "\"'\r=1+1\""},
        {"a=b-c", "a=b-c", "\"a=b-c\""},
        {"'quoted", "'quoted", "\"'quoted\""},
    });
}

TEST_F(ExportTest, IndicesOutsideTheTablesGiveBlanksNotCrashes) {
    CFrequencyData ch = towerChannel();
    ch.mode = 99;
    ch.step = -1;
    ch.ifBandwidth = 7;
    ch.attenuator = 4;
    ch.ctcss = 52;
    ch.heard = 1;
    ch.signal = 22;
    ch.maxSignal = -1;
    ch.antenna = 2147483647;
    ch.bankNumber = -2147483647 - 1;
    ch.tElm = -2147483647 - 1;
    ch.frequency = 4294967295u;
    ch.comment = std::string(300, 'c');
    ch.heardTime = kMarch7th2002At090730Jst;
    // Empty labels keep their column widths.
    const std::string blanks(1 + 7 + 1 + 4 + 1 + 6 + 1 + 4 + 1 + 6 + 1, ' ');
    EXPECT_EQ(memoryLine(ch, false), "   1 -2147483648 4294.967295MHz" + blanks +
                                         "-2147483648  ANT2147483648" + std::string(2 + 10, ' ') +
                                         "02- 3- 7 09:07:30  " + std::string(300, 'c') + "\r\n");
}

TEST_F(ExportTest, MemoryExportFollowsCurrentLinkSet) {
    doc.controlParams.currentLinkSet = 2;
    linkBanks({1, 3, 7});
    CFrequencyData a = towerChannel();
    a.frequency = 100000000;
    a.bankMask = (1 << 3) | (1 << 7);
    CFrequencyData b = towerChannel();
    b.frequency = 110000000;
    b.bankMask = 1 << 5; // outside the link set
    CFrequencyData c = towerChannel();
    c.frequency = 120000000;
    c.bankMask = 0; // in no bank
    addChannel(a);
    addChannel(b);
    addChannel(c);
    addChannel(towerChannel());

    const std::string csv = formatMemoryExport(doc, true);
    EXPECT_EQ(csv, memoryLine(a, true, 3) + memoryLine(towerChannel(), true, 1));

    const std::string columns = formatMemoryExport(doc, false);
    const std::string header =
        " Bank  Ch    Frequency     Step Mode   IFBW    ATT   CTCSS T-ELM ANT    Sig Max    Date  "
        "   Time         Comment";
    ASSERT_EQ(header.size(), 112u);
    EXPECT_EQ(columns, header + "\r\n" + std::string(137, '-') + "\r\n" + memoryLine(a, false, 3) +
                           memoryLine(towerChannel(), false, 1));

    doc.controlParams.currentLinkSet = 40; // damaged file: no bank is linked
    EXPECT_EQ(formatMemoryExport(doc, true), "");
}

// What the link set keeps out of the file is counted and told, not hidden.
TEST_F(ExportTest, MemoryExportTellsHowManyChannelsItLeftOut) {
    test::TempDir dir;
    linkBanks({1});
    CFrequencyData autoStored = towerChannel();
    autoStored.frequency = 150000000;
    autoStored.bankMask = 1; // bank 0, where auto-store puts channels
    addChannel(towerChannel());
    const std::string path = dir.file("memory.csv");
    FileResult written = doc.exportFile(path, 0);
    EXPECT_TRUE(written.ok);
    EXPECT_EQ(written.message, "") << "nothing left out";

    addChannel(autoStored);
    addChannel(autoStored);
    written = doc.exportFile(path, 0);
    EXPECT_TRUE(written.ok);
    EXPECT_EQ(written.message, leftOutOfMemoryExportMessage(2));
    EXPECT_TRUE(written.message.starts_with("2 件のチャンネル")) << written.message;
    EXPECT_EQ(test::readFileBytes(path), test::bytesOf(memoryLine(towerChannel(), true)));
    EXPECT_EQ(doc.exportFile(path, 1).message, "") << "the log leaves nothing out";
}

TEST_F(ExportTest, LogExportRunsFromOldestAndEmptyLogGivesHeaderOnly) {
    const std::string header = "   Frequency    Sig     Date     Time         Comment";
    ASSERT_EQ(header.size(), 53u);
    EXPECT_EQ(formatLogExport(doc, false), header + "\r\n" + std::string(79, '-') + "\r\n");
    EXPECT_EQ(formatLogExport(doc, true), "");

    CLogData older = towerEntry();
    older.frequency = 430000000;
    CLogData newer = towerEntry();
    doc.logRing[kLogSlots - 1] = older;
    doc.logRing[0] = newer;
    doc.logStart = kLogSlots - 1;
    doc.logCount = 2;
    EXPECT_EQ(formatLogExport(doc, true), logLine(older, true) + logLine(newer, true));
}

TEST(ExportForm, ColumnsOnlyForTxtOrNoExtension) {
    EXPECT_TRUE(exportUsesColumns("/tmp/Frequency.txt"));
    EXPECT_TRUE(exportUsesColumns("LIST.TXT"));
    EXPECT_TRUE(exportUsesColumns("/home/me/out"));
    EXPECT_TRUE(exportUsesColumns("/home/my.dir/out"));
    EXPECT_FALSE(exportUsesColumns("list.csv"));
    EXPECT_FALSE(exportUsesColumns("list.dat"));
    EXPECT_FALSE(exportUsesColumns("list.txt.csv"));
    EXPECT_FALSE(exportUsesColumns("list.text"));
    EXPECT_FALSE(exportUsesColumns("list."));
}

TEST_F(ExportTest, ExportFileWritesChosenFormReplacingOldFile) {
    test::TempDir dir;
    addChannel(towerChannel());
    linkBanks({1});
    doc.logRing[0] = towerEntry();
    doc.logCount = 1;

    const std::string csvPath = dir.file("memory.csv");
    test::writeFileBytes(csvPath, test::bytesOf(std::string(5000, 'x')));
    ASSERT_TRUE(doc.exportFile(csvPath, 0).ok);
    EXPECT_EQ(test::readFileBytes(csvPath), test::bytesOf(memoryLine(towerChannel(), true)));

    const std::string txtPath = dir.file("log.TXT");
    ASSERT_TRUE(doc.exportFile(txtPath, 1).ok);
    EXPECT_EQ(test::readFileBytes(txtPath), test::bytesOf(formatLogExport(doc, false)));

    ASSERT_TRUE(doc.exportFile(txtPath, 1, true).ok);
    EXPECT_EQ(test::readFileBytes(txtPath), test::bytesOf(logLine(towerEntry(), true)));
    EXPECT_FALSE(doc.isModified());
}

TEST_F(ExportTest, FailureToWriteIsReportedWithTheFileName) {
    test::TempDir dir;
    const std::string missing = dir.file("no/such/dir/out.txt");
    const FileResult result = doc.exportFile(missing, 0);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find(missing), std::string::npos);

    EXPECT_FALSE(doc.exportFile(dir.path(), 0).ok); // a directory
    EXPECT_FALSE(doc.exportFile(dir.file("x.txt"), 2).ok);

    const std::string readOnly = dir.file("locked");
    ASSERT_EQ(::mkdir(readOnly.c_str(), 0500), 0);
    if (::geteuid() != 0) { // root writes anywhere
        EXPECT_FALSE(doc.exportFile(readOnly + "/out.csv", 1).ok);
    }
}

} // namespace
} // namespace kovo
