// Channel lists read from CSV files (CHIRP's and others), planned against the
// channel table, applied to the document, and written back as CHIRP's CSV.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DocumentFixtures.h"
#include "data/ChannelCsv.h"
#include "data/ChannelImport.h"
#include "data/ChirpCsv.h"
#include "data/Cp932.h"
#include "data/CsvReader.h"
#include "data/ValueTables.h"

namespace kovo {
namespace {

constexpr const char* kChirpHeader =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
    "Mode,TStep,Skip,Comment,URCALL,RPT1CALL,RPT2CALL\n";

// One CHIRP row with the columns the import reads; the rest as CHIRP fills them.
std::string chirpRow(int location, const std::string& name, const std::string& mhz,
                     const std::string& tone, const std::string& ctone, const std::string& mode,
                     const std::string& step, const std::string& skip = "",
                     const std::string& comment = "") {
    return std::to_string(location) + "," + name + "," + mhz + ",+,0.600000," + tone + ",88.5," +
           ctone + ",023,NN," + mode + "," + step + "," + skip + "," + comment + ",,,\n";
}

CsvTable read(const std::string& text) {
    CsvTable table;
    const CsvOutcome outcome = readCsv(text, table);
    EXPECT_TRUE(outcome.ok()) << outcome.message;
    return table;
}

struct Imported {
    test::DocumentFixture fixture;
    ImportPlan plan;
    ImportOutcome outcome;

    explicit Imported(const std::string& text, int bank = 3, int existing = 0) {
        test::fillChannels(*fixture.doc, existing);
        const CsvTable table = read(text);
        plan = planImport(table, guessColumns(table), *fixture.doc, importDefaultsOf(*fixture.doc));
        outcome = applyImport(*fixture.doc, plan, bank);
    }
    const CFrequencyData& channel(std::uint32_t hz) {
        const int row = fixture.doc->channelTable().findChannel(hz);
        EXPECT_GE(row, 0) << hz;
        return *fixture.doc->channels[static_cast<std::size_t>(std::max(row, 0))];
    }
};

TEST(ChannelCsv, ChirpRowsBecomeChannelsWithTheirSettings) {
    Imported in(std::string(kChirpHeader) +
                chirpRow(0, "Marine16", "156.800000", "", "88.5", "FM", "25.00") +
                chirpRow(1, "Rptr", "162.200000", "TSQL", "162.2", "NFM", "12.50", "", "club") +
                chirpRow(2, "Air", "118.100000", "Tone", "100.0", "AM", "8.33") +
                chirpRow(3, "Skipme", "145.500000", "", "88.5", "USB", "6.25", "S") +
                chirpRow(4, "BC", "89.100000", "", "88.5", "WFM", "100.00"));
    ASSERT_TRUE(in.outcome.applied);
    EXPECT_EQ(in.outcome.stored, 5);
    EXPECT_EQ(in.fixture.doc->channelCount, 5);

    const CFrequencyData& marine = in.channel(156'800'000);
    EXPECT_EQ(modeName(marine.mode), "NFM");
    EXPECT_EQ(stepHz(marine.step), 25'000u);
    EXPECT_EQ(marine.ctcss, CtcssOff);
    EXPECT_EQ(marine.comment, "Marine16");
    EXPECT_EQ(marine.bankMask, 1 << 3);

    // 162.2 MHz read as a decimal, not as a binary fraction a hertz short.
    const CFrequencyData& repeater = in.channel(162'200'000);
    EXPECT_EQ(ctcssName(repeater.ctcss), " 162.2");
    EXPECT_EQ(stepHz(repeater.step), 12'500u);
    EXPECT_EQ(repeater.comment, "Rptr club");

    // A transmit-only tone is no squelch tone; 8.33 kHz goes to the nearest step.
    EXPECT_EQ(in.channel(118'100'000).ctcss, CtcssOff);
    EXPECT_EQ(stepHz(in.channel(118'100'000).step), 9'000u);
    EXPECT_EQ(in.channel(145'500'000).bankMask, 1 << kPassBank);
    EXPECT_EQ(modeName(in.channel(89'100'000).mode), "WFM");
    EXPECT_TRUE(in.fixture.doc->isModified());
}

TEST(ChannelCsv, BadRowsAreLeftOutAndCountedWithTheirFirstLine) {
    std::string longKana;
    for (int i = 0; i < 150; ++i)
        longKana += "\xE3\x82\xA2"; // two bytes each in Shift-JIS
    Imported in(std::string(kChirpHeader) + chirpRow(0, "ok", "145.000000", "", "", "FM", "5.00") +
                chirpRow(1, "dv", "145.375000", "", "", "DV", "12.50") +
                chirpRow(2, "low", "0.050000", "", "", "AM", "5.00") +
                chirpRow(3, "high", "2400.000000", "", "", "FM", "5.00") +
                chirpRow(4, "junk", "14x.5", "", "", "FM", "5.00") +
                chirpRow(5, "dv2", "145.400000", "", "", "DIG", "12.50") +
                chirpRow(6, "odd", "145.600000", "TSQL", "150.0", "FM", "5.00") +
                chirpRow(7, "Malm\xC3\xB6", "145.700000", "", "", "FM", "5.00") +
                chirpRow(8, "", "145.800000", "", "", "FM", "5.00", "", longKana));
    const ImportPlan& p = in.plan;
    EXPECT_EQ(p.channels.size(), 4u);
    EXPECT_EQ(p.leftOut(), 5);
    EXPECT_EQ(p.problem(CsvProblem::UnknownMode).count, 2);
    EXPECT_EQ(p.problem(CsvProblem::UnknownMode).firstLine, 3);
    EXPECT_EQ(p.problem(CsvProblem::OutOfRange).count, 2);
    EXPECT_EQ(p.problem(CsvProblem::OutOfRange).firstLine, 4);
    EXPECT_EQ(p.problem(CsvProblem::NotANumber).firstLine, 6);
    EXPECT_EQ(p.problem(CsvProblem::ToneNotInTable).firstLine, 8);
    EXPECT_EQ(p.problem(CsvProblem::CommentRespelled).firstLine, 9);
    EXPECT_EQ(p.problem(CsvProblem::CommentReplaced).count, 0);
    EXPECT_EQ(p.problem(CsvProblem::CommentShortened).firstLine, 10);
    // Cut on a character boundary: 127 whole characters, not half of one.
    EXPECT_EQ(in.channel(145'800'000).comment.size(), 254u);
    EXPECT_EQ(in.channel(145'700'000).comment, "Malmo");
    const std::string summary = importSummary(p);
    EXPECT_NE(summary.find("4 imported, 0 already stored"), std::string::npos) << summary;
    EXPECT_NE(summary.find("5 left out"), std::string::npos) << summary;
    EXPECT_NE(summary.find("lacks (first on line 3: 1,dv,145.375000,"), std::string::npos)
        << summary;
}

TEST(ChannelCsv, StoredAndRepeatedFrequenciesAreMergedKeepingTheFirst) {
    // fillChannels stores 100.000, 100.001, ... MHz with their own comments.
    Imported in(std::string(kChirpHeader) + chirpRow(0, "new", "100.001000", "", "", "AM", "5.00") +
                    chirpRow(1, "one", "120.000000", "", "", "AM", "5.00") +
                    chirpRow(2, "again", "120.000000", "", "", "FM", "5.00"),
                1, 3);
    EXPECT_EQ(in.plan.alreadyStored.count, 1);
    EXPECT_EQ(in.plan.repeated.count, 1);
    EXPECT_EQ(in.outcome.stored, 1);
    // The user is told what became of each: nothing moved, nothing changed.
    const std::string summary = importSummary(in.plan);
    EXPECT_NE(summary.find("1 imported, 1 already stored, 0 left out."), std::string::npos)
        << summary;
    EXPECT_NE(summary.find("1 already stored: the document holds a channel at these "
                           "frequencies; those channels were left as they are, in their own "
                           "banks, and these rows were not imported (first on line 2: "),
              std::string::npos)
        << summary;
    EXPECT_NE(summary.find("1 repeated: a frequency given again further down the file; only its "
                           "first row was imported (first on line 4: "),
              std::string::npos)
        << summary;
    EXPECT_NE(in.channel(100'001'000).comment, "new");
    EXPECT_EQ(in.channel(120'000'000).comment, "one");
    EXPECT_EQ(in.fixture.doc->channelCount, 4);
}

TEST(ChannelCsv, AnImportBeyondTheLimitChangesNothing) {
    std::string text = kChirpHeader;
    for (int i = 0; i < 11; ++i)
        text += chirpRow(i, "x", std::to_string(300 + i) + ".0", "", "", "FM", "5.00");
    Imported in(text, 1, kMaxChannels - 10);
    EXPECT_EQ(in.plan.overLimit, 1);
    EXPECT_FALSE(in.outcome.applied);
    EXPECT_EQ(in.fixture.doc->channelCount, kMaxChannels - 10);
    EXPECT_NE(in.outcome.message.find("1 channels would go beyond"), std::string::npos);
}

TEST(ChannelCsv, TheTunedRecordIsGivenBackUnchanged) {
    test::DocumentFixture f;
    const CFrequencyData before = f.doc->mainRecord;
    const CsvTable table =
        read(std::string(kChirpHeader) + chirpRow(0, "x", "440.0", "TSQL", "67.0", "USB", "1.00"));
    applyImport(*f.doc, planImport(table, guessColumns(table), *f.doc, importDefaultsOf(*f.doc)),
                2);
    EXPECT_EQ(f.doc->mainRecord, before);
}

TEST(ChannelCsv, ExportThenImportGivesTheSameChannels) {
    test::DocumentFixture source;
    struct Case {
        std::uint32_t hz;
        int mode, step, ctcss, bank;
        const char* comment;
    };
    const std::vector<Case> cases{{145'000'000, 0, 10, 13, 1, "Calling, \"main\""},
                                  {162'200'000, 1, 5, 28, 1, "Rptr \x83\x41"},
                                  {118'100'000, 2, 8, 0, 1, "Air"},
                                  {7'074'000, 4, 0, 0, kPassBank, ""},
                                  {1'296'123'450, 5, 1, 0, 1, "A rather long comment"}};
    for (const Case& c : cases) {
        source.doc->mainRecord.mode = c.mode;
        source.doc->mainRecord.step = c.step;
        source.doc->mainRecord.ctcss = c.ctcss;
        const int row = source.doc->channelTable().storeChannel(c.hz);
        source.doc->channelTable().setChannelComments({row}, c.comment);
        source.doc->channelTable().setChannelBanks({row}, c.bank, false);
    }
    Imported back(formatChirpCsv(*source.doc), 1);
    ASSERT_EQ(back.fixture.doc->channelCount, static_cast<int>(cases.size()));
    for (const Case& c : cases) {
        const CFrequencyData& ch = back.channel(c.hz);
        EXPECT_EQ(ch.mode, c.mode) << c.hz;
        EXPECT_EQ(ch.step, c.step) << c.hz;
        EXPECT_EQ(ch.ctcss, c.ctcss) << c.hz;
        EXPECT_EQ(ch.comment, c.comment) << c.hz;
        EXPECT_EQ(ch.bankMask, 1 << c.bank) << c.hz;
    }
}

TEST(ChannelCsv, ExportOfOneBankHoldsOnlyItsChannels) {
    test::DocumentFixture f;
    test::fillChannels(*f.doc, 3);
    f.doc->channelTable().setChannelBanks({1}, 5, false);
    const std::string text = formatChirpCsv(*f.doc, 5);
    EXPECT_NE(text.find("1,"), std::string::npos);
    EXPECT_NE(text.find(",100.001000,"), std::string::npos);
    EXPECT_EQ(text.find(",100.000000,"), std::string::npos);
}

TEST(ChannelCsv, FrequenciesAreReadAsExactDecimals) {
    struct Case {
        const char* text;
        FrequencyUnit unit;
        std::optional<std::uint32_t> hz;
    };
    const std::vector<Case> cases{{"162.2", FrequencyUnit::MHz, 162'200'000},
                                  {" 145.0125 ", FrequencyUnit::MHz, 145'012'500},
                                  {"0.1000005", FrequencyUnit::MHz, 100'000},
                                  {"7074", FrequencyUnit::kHz, 7'074'000},
                                  {"14074,5", FrequencyUnit::kHz, 14'074'500},
                                  {"1296123450", FrequencyUnit::Hz, 1'296'123'450},
                                  {".5", FrequencyUnit::MHz, 500'000},
                                  {"5000", FrequencyUnit::MHz, std::nullopt},
                                  {"1e6", FrequencyUnit::Hz, std::nullopt},
                                  {"-1", FrequencyUnit::Hz, std::nullopt},
                                  {"", FrequencyUnit::Hz, std::nullopt},
                                  {".", FrequencyUnit::Hz, std::nullopt},
                                  {"99999999999999", FrequencyUnit::Hz, std::nullopt}};
    for (const Case& c : cases)
        EXPECT_EQ(parseFrequencyHz(c.text, c.unit), c.hz) << c.text;
}

TEST(ChannelCsv, OtherHeadersAreMappedAndTheUnitGuessed) {
    const CsvTable kHz = read("Freq;Description;Mode\n7074;FT8;USB\n14074,5;x;USB\n");
    const CsvColumns c = guessColumns(kHz);
    EXPECT_FALSE(c.chirp);
    EXPECT_EQ(c.frequency, 0);
    EXPECT_EQ(c.comment, 1);
    EXPECT_EQ(c.mode, 2);
    EXPECT_EQ(c.unit, FrequencyUnit::kHz);
    EXPECT_EQ(guessColumns(read("Hz,Name\n145000000,x\n")).unit, FrequencyUnit::Hz);
    EXPECT_EQ(guessColumns(read("Frequency (MHz),Name\n100000,x\n")).unit, FrequencyUnit::MHz);
    EXPECT_EQ(guessColumns(read("f,Name\n145.5,x\n")).frequency, -1);
}

TEST(CsvReader, QuotesSeparatorsAndEncodings) {
    const CsvTable t = read("\xEF\xBB\xBF"
                            "a,b\r\n\"x,\"\"y\"\"\",\"two\nlines\"\r\n\n3,\xC3\xB6\n");
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(t.rows[0].fields[0], "x,\"y\"");
    EXPECT_EQ(t.rows[0].fields[1], "two\nlines");
    EXPECT_EQ(t.rows[1].line, 5);
    EXPECT_EQ(t.encoding, TextEncoding::Utf8);

    const CsvTable sjis = read("Frequency\tComment\n145.0\t\x83\x41\x83\x7D\n");
    EXPECT_EQ(sjis.encoding, TextEncoding::Cp932);
    EXPECT_EQ(sjis.separator, '\t');
    EXPECT_EQ(sjis.rows[0].fields[1], "アマ");
    EXPECT_EQ(utf8ToCp932(sjis.rows[0].fields[1]), "\x83\x41\x83\x7D");
}

TEST(CsvReader, FilesThatAreNotCsvAreRefusedWhole) {
    struct Case {
        std::string bytes;
        const char* reason;
    };
    const std::vector<Case> cases{
        {std::string("Frequency\n145.0\n\x01\x02\x00junk", 18), "binary"},
        {"Frequency,Name\n145.0,\"open\n146.0,x\n", "line 2: a quote is opened"},
        {"", "no header"},
        {std::string(kMaxCsvFileSize + 1, 'a'), "larger than"},
        {"a," + std::string(kMaxCsvFieldBytes + 1, 'b') + "\n", "too long"},
        {std::string(kMaxCsvFields + 1, ',') + "\n", "fields in a row"}};
    for (const Case& c : cases) {
        CsvTable table;
        const CsvOutcome outcome = readCsv(c.bytes, table);
        EXPECT_EQ(outcome.status, CsvStatus::Refused) << c.reason;
        EXPECT_NE(outcome.message.find(c.reason), std::string::npos) << outcome.message;
        EXPECT_TRUE(table.rows.empty());
    }
}

TEST(CsvReader, ProgressIsReportedAndCancelStopsTheReading) {
    std::string text = "Frequency\n";
    while (text.size() < 300'000)
        text += "145.000000\n";
    CsvTable table;
    int calls = 0;
    const CsvOutcome outcome = readCsv(text, table, [&calls](std::size_t done, std::size_t total) {
        EXPECT_LE(done, total);
        return ++calls < 3;
    });
    EXPECT_EQ(outcome.status, CsvStatus::Cancelled);
    EXPECT_EQ(calls, 3);
}

} // namespace
} // namespace kovo
