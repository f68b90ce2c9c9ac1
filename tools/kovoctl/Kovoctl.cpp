#include "Kovoctl.h"

#include <cerrno>
#include <cstring>

#include "BusClient.h"
#include "DocumentJson.h"
#include "HistoryCommand.h"
#include "data/Archive.h"
#include "data/CKovo5Doc.h"
#include "data/ChannelOrder.h"
#include "data/DocumentFormat.h"
#include "data/FileErrors.h"
#include "data/FileIo.h"

namespace kovoctl {
namespace {

constexpr const char* kUsage =
    "usage: kovoctl dump FILE.kv5\n"
    "       kovoctl pack JSON OUT.kv5\n"
    "       kovoctl export memory|log FILE.kv5 OUT\n"
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
    message = path + ": " + std::strerror(error);
    return false;
}

} // namespace

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
    if (!applyDocumentJson(json, *tool.doc, error))
        return failure(err, jsonFile + ": " + error);
    const kovo::ChannelOrderChange order = kovo::putChannelsInOrder(*tool.doc);
    if (order.merged > 0)
        warning(err, kovo::mergedChannelsMessage(order.merged, jsonFile));
    else if (order.changed)
        warning(err, jsonFile + ": the channels were put in ascending order of frequency.");
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
    if (args.size() == 4 && args[0] == "export")
        return exportCommand(args[1], args[2], args[3], err);
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
