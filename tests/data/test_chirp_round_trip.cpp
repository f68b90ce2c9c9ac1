// A CHIRP list imported into a bank, saved, opened again and exported from
// that bank comes back as it was, the CHIRP details living beside the
// document; what was changed since comes from the channels.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DataTestSupport.h"
#include "DocumentFixtures.h"
#include "data/ChannelCsv.h"
#include "data/ChannelImport.h"
#include "data/ChirpCsv.h"
#include "data/CsvReader.h"
#include "data/PlainSpelling.h"
#include "data/SpreadsheetCells.h"
#include "data/ValueTables.h"

namespace kovo {
namespace {

constexpr const char* kHeader =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
    "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE\r\n";

// Rows as CHIRP writes them, every column filled where CHIRP fills it.
const std::vector<std::string> kKeptRows{
    "0,Marine 16,156.800000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,25.00,,50W,distress,,,,",
    "1,CB 19,27.185000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,AM,10.00,,4.0W,CB radio,,,,",
    "3,Malm\xC3\xB6,118.700000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,AM,8.33,,,tower "
    "\xC3\xA5\xC3\xA4\xC3\xB6,,,,",
    "4,GB3XX,145.650000,-,0.600000,Tone,103.5,88.5,023,NN,023,Tone->Tone,FM,12.50,,5W,rptr,,,,",
    "5,Club,430.100000,+,1.600000,TSQL,88.5,88.5,023,NN,023,Tone->Tone,NFM,12.50,,,,,,,",
    "6,DCS,446.006250,,0.000000,DTCS,88.5,88.5,754,RN,754,Tone->Tone,FM,6.25,S,,,,,,",
    "7,Cross,439.000000,split,434.000000,Cross,88.5,100.0,023,NN,025,DTCS->Tone,FM,5.00,,,,,,,",
    "9,\"Say \"\"hi\"\"\",144.800000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,12.50,,,"
    "\"APRS, digi\",,,,",
    "12,D-STAR,145.375000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,12.50,,,,CQCQCQ,GB7XX "
    "B,GB7XX G,",
};
// A mode the receiver lacks: left out of the document, so not given back.
const std::string kLeftOutRow =
    "10,DV,145.400000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,DV,12.50,,,,,,,";

std::string lines(const std::vector<std::string>& rows) {
    std::string text = kHeader;
    for (const std::string& row : rows)
        text += row + "\r\n";
    return text;
}

void importInto(CKovo5Doc& doc, const std::string& text, int bank) {
    CsvTable table;
    ASSERT_TRUE(readCsv(text, table).ok());
    const ImportPlan plan = planImport(table, guessColumns(table), doc, importDefaultsOf(doc));
    ASSERT_TRUE(applyImport(doc, plan, bank).applied);
}

CFrequencyData& channelAt(CKovo5Doc& doc, std::uint32_t hz) {
    const int row = doc.channelTable().findChannel(hz);
    EXPECT_GE(row, 0) << hz;
    return *doc.channels[static_cast<std::size_t>(std::max(row, 0))];
}

struct RoundTrip : ::testing::Test {
    test::DocumentFixture fixture;
    test::TempDir dir;
    std::string path = dir.file("list.kv5");

    void importAndReopen(const std::string& text, int bank) {
        importInto(*fixture.doc, text, bank);
        ASSERT_TRUE(fixture.doc->saveDocument(path).ok);
        fixture.doc = fixture.freshDocument();
        const FileResult opened = fixture.doc->openDocument(path);
        ASSERT_TRUE(opened.ok);
        EXPECT_EQ(opened.message, "");
    }
    std::string exported(int bank) const {
        return formatChirpCsv(*fixture.doc, bank, fixture.doc->chirpDetails());
    }
};

TEST_F(RoundTrip, AnImportedListComesBackAsItWasForEveryChannelKept) {
    std::vector<std::string> rows = kKeptRows;
    rows.insert(rows.begin() + 8, kLeftOutRow);
    importAndReopen(lines(rows), 3);
    EXPECT_EQ(exported(3), lines(kKeptRows));
    EXPECT_EQ(exported(kAllBanks), lines(kKeptRows));
    EXPECT_EQ(exported(4), kHeader);

    // The document holds what the receiver can: the name joined to the
    // comment, plainly spelled, the nearest step, the pass channel.
    CKovo5Doc& doc = *fixture.doc;
    EXPECT_EQ(channelAt(doc, 156'800'000).comment, "Marine 16 distress");
    EXPECT_EQ(channelAt(doc, 118'700'000).comment, "Malmo tower aao");
    EXPECT_EQ(stepHz(channelAt(doc, 118'700'000).step), 9'000u);
    EXPECT_EQ(channelAt(doc, 446'006'250).bankMask, 1 << kPassBank);
    EXPECT_EQ(channelAt(doc, 430'100'000).ctcss, 9);
    EXPECT_EQ(channelAt(doc, 430'100'000).bankMask, 1 << 3);
}

TEST_F(RoundTrip, SettingsChangedSinceTheImportComeFromTheChannel) {
    importAndReopen(lines(kKeptRows), 3);
    CKovo5Doc& doc = *fixture.doc;
    ChannelTable& table = doc.channelTable();
    const auto rowOf = [&](std::uint32_t hz) { return table.findChannel(hz); };
    channelAt(doc, 156'800'000).mode = 2;                                      // AM now
    channelAt(doc, 118'700'000).step = 4;                                      // 5 kHz now
    table.setChannelComments({rowOf(27'185'000)}, "CB 19 truckers");           // name kept
    table.setChannelComments({rowOf(145'650'000)}, "Another name altogether"); // name lost
    table.setChannelsCtcss({rowOf(145'650'000)}, 13);                          // 100.0 Hz
    table.setChannelsCtcss({rowOf(430'100'000)}, CtcssOff);
    table.setChannelBanks({rowOf(446'006'250)}, 3, false); // no longer passed over

    const std::string text = exported(3);
    const auto has = [&text](const std::string& row) {
        return text.find("\r\n" + row + "\r\n") != std::string::npos;
    };
    EXPECT_TRUE(has("0,Marine 16,156.800000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,AM,25.00,"
                    ",50W,distress,,,,"))
        << text;
    EXPECT_TRUE(has("3,Malm\xC3\xB6,118.700000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,AM,5.00,"
                    ",,tower \xC3\xA5\xC3\xA4\xC3\xB6,,,,"))
        << text;
    EXPECT_TRUE(has("1,CB 19,27.185000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,AM,10.00,,4.0W,"
                    "truckers,,,,"))
        << text;
    EXPECT_TRUE(has("4,Another ,145.650000,-,0.600000,TSQL,103.5,100.0,023,NN,023,Tone->Tone,FM,"
                    "12.50,,5W,Another name altogether,,,,"))
        << text;
    EXPECT_TRUE(has("5,Club,430.100000,+,1.600000,,88.5,88.5,023,NN,023,Tone->Tone,NFM,12.50,,,,,"
                    ",,"))
        << text;
    EXPECT_TRUE(has("6,DCS,446.006250,,0.000000,DTCS,88.5,88.5,754,RN,754,Tone->Tone,FM,6.25,,,,,"
                    ",,"))
        << text;
}

TEST_F(RoundTrip, LocationsStayUniqueAndNewChannelsTakeFreeOnes) {
    importAndReopen(lines({kKeptRows[0], kKeptRows[1]}), 3);
    CKovo5Doc& doc = *fixture.doc;
    // Stored by hand: no CHIRP row, so the lowest free location from 1.
    const int added = doc.channelTable().storeChannel(100'000'000);
    doc.channelTable().setChannelBanks({added}, 3, false);
    // A second list into another bank whose locations clash with the first.
    importInto(doc,
               lines({"1,Other,101.000000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,"
                      "12.50,,,,,,,"}),
               4);
    const std::string all = exported(kAllBanks);
    EXPECT_NE(all.find("\r\n0,Marine 16,"), std::string::npos) << all;
    EXPECT_NE(all.find("\r\n1,CB 19,"), std::string::npos) << all;
    const std::size_t handMade = all.find(",100.000000,");
    ASSERT_NE(handMade, std::string::npos) << all;
    EXPECT_EQ(all.substr(all.rfind("\r\n", handMade) + 2, 2), "2,") << all;
    EXPECT_NE(all.find("\r\n3,Other,101.000000,"), std::string::npos) << all;
    EXPECT_NE(exported(4).find("\r\n1,Other,101.000000,"), std::string::npos);
}

TEST_F(RoundTrip, TheDetailsFileFollowsTheDocument) {
    importAndReopen(lines(kKeptRows), 3);
    const std::string details = ChirpDetails::pathBeside(path);
    EXPECT_FALSE(test::readFileBytes(details).empty());

    // A deleted channel's row is not kept past the next save.
    CKovo5Doc& doc = *fixture.doc;
    const std::size_t before = doc.chirpDetails().size();
    doc.channelTable().deleteChannels({doc.channelTable().findChannel(156'800'000)});
    ASSERT_TRUE(doc.saveDocument(path).ok);
    EXPECT_EQ(doc.chirpDetails().size(), before - 1);

    // A damaged details file is told about and not used; the document opens.
    test::writeFileBytes(details, test::bytesOf("{\"kind\": \"KOVO3000 CHIRP details\""));
    const FileResult opened = doc.openDocument(path);
    EXPECT_TRUE(opened.ok);
    EXPECT_NE(opened.message.find("CHIRP details beside the document are damaged"),
              std::string::npos);
    EXPECT_TRUE(doc.chirpDetails().empty());

    // A new document keeps none, and saving it removes the stale file.
    doc.onNewDocument();
    EXPECT_TRUE(doc.chirpDetails().empty());
    ASSERT_TRUE(doc.saveDocument(path).ok);
    EXPECT_TRUE(test::readFileBytes(details).empty());
}

TEST(PlainSpelling, LettersTheCharacterSetLacksAreSpelledPlainlyOrLeftOut) {
    struct Case {
        const char* text;
        const char* stored;
        int refused;
    };
    const Case cases[] = {
        {"Malm\xC3\xB6 tower \xC3\xA5\xC3\xA4\xC3\xB6", "Malmo tower aao", 0},
        {"Stra\xC3\x9F"
         "e \xC5\x81\xC3\xB3"
         "d\xC5\xBA",
         "Strasse Lodz", 0},
        {"q \xE2\x80\x93 \xE2\x82\xAC", "q - EUR", 0},
        {"\xE6\x9D\xB1\xE4\xBA\xAC ? \xCE\xB1", "\xE6\x9D\xB1\xE4\xBA\xAC ? \xCE\xB1", 0},
        {"a\xE0\xA4\x95"
         "b\xF0\x9F\x98\x80"
         "c\xFF",
         "abc", 3},
    };
    for (const Case& c : cases) {
        const PlainSpelling spelled = plainSpelling(c.text);
        EXPECT_EQ(spelled.text, c.stored) << c.text;
        EXPECT_EQ(spelled.refusedCount, c.refused) << c.text;
    }
}

TEST(SpreadsheetCells, OnlyWhatASpreadsheetRunsIsGuardedInChirpNames) {
    struct Case {
        const char* text;
        bool mayRead; // memory and log CSV
        bool runs;    // CHIRP
    };
    const Case cases[] = {
        {"=cmd|' /C calc'!A0", true, true},
        {"+SUM(1,2)", true, true},
        {"-cmd|' /C calc'!A0", true, true},
        {"@SUM(A1)", true, true},
        {"\t=1", true, true},
        {" =1", false, true},
        {"-REP", true, false},
        {"+5", true, false},
        {"-REP (N)", true, false},
        {"@home", true, false},
        {"Tone->Tone", false, false},
        {"-", true, false},
        {"", false, false},
        {"A=B", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(mayReadAsFormula(c.text), c.mayRead) << c.text;
        EXPECT_EQ(runsAsFormula(c.text), c.runs) << c.text;
    }
    test::DocumentFixture f;
    importInto(*f.doc,
               lines({"1,=1+1,145.000000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,12.50,,,"
                      "-REP,,,,"}),
               2);
    const std::string text = formatChirpCsv(*f.doc, 2, f.doc->chirpDetails());
    EXPECT_NE(text.find("\r\n1,'=1+1,145.000000,"), std::string::npos) << text;
    EXPECT_NE(text.find(",-REP,"), std::string::npos) << text;
}

} // namespace
} // namespace kovo
