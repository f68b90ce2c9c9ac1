// kovoctl import and export chirp, run as the built program.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>

#include "data/CKovo5Doc.h"
#include "data/Clock.h"

namespace {

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kovoimp-XXXXXX").string();
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

struct ToolRun {
    int status;
    std::string err;
};

ToolRun kovoctl(const TempDir& dir, const std::string& args) {
    const std::string err = dir.file("stderr");
    const std::string command =
        std::string("'") + KOVOCTL_PROGRAM + "' " + args + " 2>'" + err + "'";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readText(err)};
}

struct Opened {
    kovo::AppSettings settings;
    kovo::SystemClock clock;
    kovo::CKovo5Doc doc{settings, clock};
    explicit Opened(const std::string& path) { EXPECT_TRUE(doc.openDocument(path).ok); }
};

constexpr const char* kChirpFile =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Mode,"
    "TStep,Skip,Comment,URCALL,RPT1CALL,RPT2CALL\r\n"
    "0,Rptr,145.650000,-,0.600000,TSQL,88.5,88.5,023,NN,FM,12.50,,,,,\r\n"
    "1,Air,118.100000,,0.000000,,88.5,88.5,023,NN,AM,25.00,,,,,\r\n"
    "2,DV,145.375000,,0.000000,,88.5,88.5,023,NN,DV,12.50,,,,,\r\n";

TEST(KovoctlImport, ImportCreatesTheDocumentAndExportGivesTheChannelsBack) {
    TempDir dir;
    writeText(dir.file("in.csv"), kChirpFile);
    ToolRun run =
        kovoctl(dir, "import " + dir.file("in.csv") + " " + dir.file("new.kv5") + " --bank 4");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("2 imported, 0 already stored, 1 left out."), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("a mode the receiver lacks (first on line 4: 2,DV,145.375000,"),
              std::string::npos);
    {
        Opened opened(dir.file("new.kv5"));
        ASSERT_EQ(opened.doc.channelCount, 2);
        EXPECT_EQ(opened.doc.channels[0]->bankMask, 1 << 4);
        EXPECT_EQ(opened.doc.channels[1]->ctcss, 9); // 88.5 Hz
    }

    // A second import merges what is stored already.
    run = kovoctl(dir, "import " + dir.file("in.csv") + " " + dir.file("new.kv5"));
    EXPECT_NE(run.err.find("0 imported, 2 already stored"), std::string::npos) << run.err;

    run = kovoctl(dir,
                  "export chirp " + dir.file("new.kv5") + " " + dir.file("out.csv") + " --bank 4");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string out = readText(dir.file("out.csv"));
    EXPECT_EQ(out.rfind("Location,Name,Frequency,", 0), 0u);
    // The list comes back with its locations, duplex and offset.
    EXPECT_NE(out.find("\r\n0,Rptr,145.650000,-,0.600000,TSQL,88.5,88.5,"), std::string::npos)
        << out;
    EXPECT_NE(out.find("\r\n1,Air,118.100000,,0.000000,,88.5,88.5,"), std::string::npos) << out;
}

// The columns are recognised as the import dialog recognises them, and
// chosen as there; the tool says which it used.
TEST(KovoctlImport, ColumnsAreChosenAsInTheImportDialog) {
    TempDir dir;
    writeText(dir.file("de.csv"), "Nr;Frequenz;Betrieb;Bezeichnung\n1;145,500;USB;Anruf\n"
                                  "2;118,100;AM;Turm\n");
    struct Case {
        std::string options;
        int status;
        const char* said;
        int mode; // of 145.5 MHz, -1: not imported
    };
    const std::vector<Case> cases{
        {"", 0, "columns: frequency \"Frequenz\" in MHz, comment \"Bezeichnung\", mode (none)", -1},
        {"--column mode=Betrieb", 0, "mode \"Betrieb\"", 4},
        {"--column mode=betrieb --column comment= --unit Hz", 0,
         "2 left out: frequency outside the receiver's range", -1},
        {"--column mode=Modus", 1, "no column \"Modus\" in the header row", -1},
        {"--column colour=Betrieb", 1, "no column role \"colour\"", -1},
        {"--column mode", 2, "usage:", -1},
        {"--unit furlongs", 2, "usage:", -1},
    };
    for (const Case& c : cases) {
        const std::string kv5 = dir.file("de.kv5");
        std::filesystem::remove(kv5);
        const ToolRun run =
            kovoctl(dir, "import " + dir.file("de.csv") + " " + kv5 + " " + c.options);
        EXPECT_EQ(run.status, c.status) << c.options << run.err;
        EXPECT_NE(run.err.find(c.said), std::string::npos) << c.options << run.err;
        if (c.mode < 0)
            continue;
        Opened opened(kv5);
        ASSERT_EQ(opened.doc.channelCount, 2) << c.options;
        EXPECT_EQ(opened.doc.channels[1]->mode, c.mode) << c.options;
    }
    // A German "Modus" header is a mode column without being named.
    writeText(dir.file("modus.csv"), "Frequenz;Modus\n145,500;USB\n");
    const ToolRun run = kovoctl(dir, "import " + dir.file("modus.csv") + " " + dir.file("m.kv5"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Opened(dir.file("m.kv5")).doc.channels[0]->mode, 4);
}

TEST(KovoctlImport, RefusedFilesLeaveTheDocumentUntouched) {
    TempDir dir;
    writeText(dir.file("in.csv"), kChirpFile);
    ASSERT_EQ(kovoctl(dir, "import " + dir.file("in.csv") + " " + dir.file("d.kv5")).status, 0);
    const std::string before = readText(dir.file("d.kv5"));
    struct Case {
        std::string bytes;
        const char* message;
    };
    const std::vector<Case> cases{{std::string("\x7F"
                                               "ELF\x02\x01\x01\x00",
                                               8),
                                   "binary data"},
                                  {"Name,Comment\nx,y\n", "no frequency column"},
                                  {"Frequency,Name\n145.0,\"open\n", "never closed"}};
    for (const Case& c : cases) {
        writeText(dir.file("bad.csv"), c.bytes);
        const ToolRun run = kovoctl(dir, "import " + dir.file("bad.csv") + " " + dir.file("d.kv5"));
        EXPECT_EQ(run.status, 1) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(readText(dir.file("d.kv5")), before) << c.message;
    }
    EXPECT_EQ(kovoctl(dir, "import " + dir.file("in.csv") + " " + dir.file("d.kv5") + " --bank 22")
                  .status,
              2);
}

} // namespace
