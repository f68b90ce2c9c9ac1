#include "Kovoctl.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "BusClient.h"
#include "DocumentJson.h"
#include "HistoryCommand.h"
#include "data/Archive.h"
#include "data/CKovo5Doc.h"
#include "data/ChannelImport.h"
#include "data/ChannelOrder.h"
#include "data/ChirpCsv.h"
#include "data/CsvReader.h"
#include "data/DocumentFormat.h"
#include "data/DocumentLock.h"
#include "data/FileErrors.h"
#include "data/FileIo.h"
#include "data/PlainSpelling.h"

namespace kovoctl {
namespace {

constexpr const char* kUsage =
    "usage: kovoctl dump FILE.kv5\n"
    "       kovoctl pack JSON OUT.kv5\n"
    "       kovoctl export memory|log FILE.kv5 OUT\n"
    "       kovoctl export chirp FILE.kv5 OUT.csv [--bank N]\n"
    "       kovoctl import FILE.csv INTO.kv5 [--bank N] [--column ROLE=HEADER]... [--unit U]\n"
    "         (ROLE: frequency, comment, mode or step; U: Hz, kHz or MHz)\n"
    "       kovoctl send CODE [VALUE]\n"
    "       kovoctl tune MHZ\n"
    "       kovoctl get frequency|mode|step|bandwidth|attenuator|antenna\n"
    "       kovoctl names banks|search|linksets\n"
    "       kovoctl state get|set\n"
    "       kovoctl shutdown\n"
    "       kovoctl history [--from DATE] [--to DATE] [--freq MHZ[-MHZ]] [--csv|--json]\n";

int failure(std::FILE* err, const std::string& message) {
    std::fprintf(err, "kovoctl: %s\n", message.c_str());
    return 1;
}

void warning(std::FILE* err, const std::string& message) {
    std::fprintf(err, "kovoctl: warning: %s\n", message.c_str());
}

// The tool's document: default settings and the system clock.
struct ToolDocument {
    kovo::AppSettings settings;
    kovo::SystemClock clock;
    std::unique_ptr<kovo::CKovo5Doc> doc = std::make_unique<kovo::CKovo5Doc>(settings, clock);
};

bool readFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& message) {
    int error = 0;
    if (kovo::readWholeFile(path, bytes, error))
        return true;
    // What is no document file at all is refused in the program's own words.
    const bool refused = error == EFBIG || error == ENOTSUP;
    message = refused ? kovo::systemErrorMessage(error, kovo::FileAccess::Open, path)
                      : path + ": " + std::strerror(error);
    return false;
}

// The arguments after the files: nothing, or "--bank N" with N a memory
// bank (0..21). False for anything else.
bool parseBankOption(const std::vector<std::string>& rest, int& bank) {
    if (rest.empty())
        return true;
    if (rest.size() != 2 || rest[0] != "--bank")
        return false;
    const std::string& text = rest[1];
    if (text.empty() || text.size() > 2 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    bank = std::stoi(text);
    return bank < kovo::kBankCount;
}

// A document another program has open is not written behind its back; the
// lock is held until the tool has written it.
bool lockDocument(const std::string& path, kovo::DocumentLock& lock, std::string& message) {
    lock = kovo::DocumentLock::acquire(path);
    if (!lock.heldElsewhere())
        return true;
    message = path + " is open in another program (" + lock.holder().describe() +
              "); close it there first.";
    return false;
}

bool openOrStartDocument(const std::string& path, ToolDocument& tool, std::string& message) {
    std::error_code ignored;
    if (!std::filesystem::exists(path, ignored))
        return true;
    const kovo::FileResult opened = tool.doc->openDocument(path);
    message = opened.message;
    return opened.ok;
}

// The import's options: "--bank N", "--column ROLE=HEADER" (any number) and
// "--unit U", each followed by its value. False for anything else.
bool parseImportOptions(const std::vector<std::string>& rest, ImportOptions& options) {
    for (std::size_t i = 0; i < rest.size(); i += 2) {
        if (i + 1 >= rest.size())
            return false;
        const std::string& value = rest[i + 1];
        if (rest[i] == "--bank" && parseBankOption({rest[i], value}, options.bank))
            continue;
        if (const std::size_t equals = value.find('=');
            rest[i] == "--column" && equals != std::string::npos) {
            options.columns.emplace_back(value.substr(0, equals), value.substr(equals + 1));
            continue;
        }
        if (rest[i] == "--unit" && (options.unit = kovo::frequencyUnitNamed(value)))
            continue;
        return false;
    }
    return true;
}

// The columns guessed from the header as the import dialog guesses them,
// with the user's choices over them.
bool importColumns(const kovo::CsvTable& table, const ImportOptions& options,
                   kovo::CsvColumns& columns, std::string& error) {
    columns = kovo::guessColumns(table);
    for (const auto& [role, header] : options.columns)
        if (!kovo::chooseColumn(columns, table, role, header, error))
            return false;
    if (options.unit)
        columns.unit = *options.unit;
    return true;
}

} // namespace

int importCommand(const std::string& csvFile, const std::string& intoFile,
                  const ImportOptions& options, std::FILE* err) {
    std::vector<std::uint8_t> bytes;
    std::string message;
    if (!readFile(csvFile, bytes, message))
        return failure(err, message);
    kovo::CsvTable table;
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (const kovo::CsvOutcome read = kovo::readCsv(text, table); !read.ok())
        return failure(err, csvFile + ": " + read.message);
    kovo::CsvColumns columns;
    if (!importColumns(table, options, columns, message))
        return failure(err, csvFile + ": " + message);
    if (columns.frequency < 0)
        return failure(err, csvFile + ": no frequency column in the header row.");
    if (!columns.chirp)
        std::fprintf(err, "%s: %s\n", csvFile.c_str(),
                     kovo::columnsSummary(columns, table).c_str());
    ToolDocument tool;
    kovo::DocumentLock lock;
    if (!lockDocument(intoFile, lock, message) || !openOrStartDocument(intoFile, tool, message))
        return failure(err, message);
    if (!message.empty())
        warning(err, message);
    const kovo::ImportPlan plan =
        kovo::planImport(table, columns, *tool.doc, kovo::importDefaultsOf(*tool.doc));
    const kovo::ImportOutcome outcome = kovo::applyImport(*tool.doc, plan, options.bank);
    if (!outcome.applied)
        return failure(err, csvFile + ": " + outcome.message);
    const kovo::FileResult saved = tool.doc->saveDocument(intoFile);
    if (!saved.ok)
        return failure(err, saved.message);
    std::fprintf(err, "%s: %s\n", csvFile.c_str(), kovo::importSummary(plan).c_str());
    return 0;
}

int exportChirpCommand(const std::string& file, const std::string& outFile, int bank,
                       std::FILE* err) {
    ToolDocument tool;
    const kovo::FileResult opened = tool.doc->openDocument(file);
    if (!opened.ok)
        return failure(err, opened.message);
    const kovo::FileResult written = kovo::exportChirpCsv(*tool.doc, outFile, bank);
    if (!written.ok)
        return failure(err, written.message);
    return 0;
}

int dumpCommand(const std::string& file, std::FILE* out, std::FILE* err) {
    std::vector<std::uint8_t> bytes;
    std::string message;
    if (!readFile(file, bytes, message))
        return failure(err, message);
    ToolDocument tool;
    std::int32_t version = 0;
    // The contents exactly as stored: no priority mark is added and no value
    // is derived, so that packing the dump gives the same file back.
    try {
        version =
            kovo::readDocumentStream(bytes, *tool.doc, kovo::CKovo5Doc::isLegacyFileName(file));
    } catch (const kovo::ArchiveError& error) {
        return failure(err, kovo::archiveFaultMessage(error.fault(), file));
    }
    std::vector<std::string> warnings;
    writeDocumentJson(*tool.doc, version, out, warnings);
    if (std::fflush(out) != 0 || std::ferror(out))
        return failure(err, "cannot write the JSON output");
    for (const auto& text : warnings)
        warning(err, text);
    return 0;
}

int packCommand(const std::string& jsonFile, const std::string& outFile, std::FILE* err) {
    std::vector<std::uint8_t> bytes;
    std::string message;
    if (!readFile(jsonFile, bytes, message))
        return failure(err, message);
    JsonValue json;
    std::string error;
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!parseJson(text, json, error))
        return failure(err, jsonFile + ": " + error);
    ToolDocument tool;
    int refused = 0;
    if (!applyDocumentJson(json, *tool.doc, error, &refused))
        return failure(err, jsonFile + ": " + error);
    if (refused > 0)
        warning(err, jsonFile + ": " + kovo::refusedCharactersMessage(refused));
    const kovo::ChannelOrderChange order = kovo::putChannelsInOrder(*tool.doc);
    if (order.merged > 0)
        warning(err, kovo::mergedChannelsMessage(order.merged, jsonFile));
    else if (order.changed)
        warning(err, jsonFile + ": the channels were put in ascending order of frequency.");
    kovo::DocumentLock lock;
    if (!lockDocument(outFile, lock, message))
        return failure(err, message);
    const kovo::FileResult saved = tool.doc->saveDocument(outFile);
    if (!saved.ok)
        return failure(err, saved.message);
    return 0;
}

int exportCommand(const std::string& kind, const std::string& file, const std::string& outFile,
                  std::FILE* err) {
    int kindIndex = -1;
    if (kind == "memory")
        kindIndex = 0;
    else if (kind == "log")
        kindIndex = 1;
    else
        return failure(err, "export what? \"" + kind + "\" is neither memory nor log");
    ToolDocument tool;
    const kovo::FileResult opened = tool.doc->openDocument(file);
    if (!opened.ok)
        return failure(err, opened.message);
    const kovo::FileResult written = tool.doc->exportFile(outFile, kindIndex);
    if (!written.ok)
        return failure(err, written.message);
    return 0;
}

int runKovoctl(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    if (args.size() == 2 && args[0] == "dump")
        return dumpCommand(args[1], out, err);
    if (args.size() == 3 && args[0] == "pack")
        return packCommand(args[1], args[2], err);
    const auto restAfter = [&args](std::size_t n) {
        return std::vector<std::string>(args.begin() + static_cast<std::ptrdiff_t>(n), args.end());
    };
    int bank = kovo::kAllBanks;
    if (args.size() >= 4 && args[0] == "export" && args[1] == "chirp" &&
        parseBankOption(restAfter(4), bank))
        return exportChirpCommand(args[2], args[3], bank, err);
    if (args.size() == 4 && args[0] == "export")
        return exportCommand(args[1], args[2], args[3], err);
    if (ImportOptions options;
        args.size() >= 3 && args[0] == "import" && parseImportOptions(restAfter(3), options))
        return importCommand(args[1], args[2], options, err);
    if (!args.empty() && args[0] == "history") {
        const int status = historyCommand(args, out, err);
        if (status != 2)
            return status;
    }
    if (!args.empty() && isBusCommand(args[0])) {
        const int status = runBusCommand(args, out, err);
        if (status != 2)
            return status;
    }
    std::fputs(kUsage, err);
    return 2;
}

} // namespace kovoctl
