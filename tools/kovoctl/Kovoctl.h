#pragma once
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "data/ChannelCsv.h"

// The kovoctl commands as functions, so that tests can run them without a
// process. Each returns the process exit status (0 success) and writes one
// clear message to `err` on failure.
namespace kovoctl {

// `kovoctl dump FILE`: the document as JSON on `out`.
int dumpCommand(const std::string& file, std::FILE* out, std::FILE* err);
// `kovoctl pack JSON OUT.kv5`: a document file from JSON. The channels are
// put in order of frequency and a repeated frequency is kept once (its first
// channel), as the program does when it reads a file; a warning on `err`
// says so.
int packCommand(const std::string& jsonFile, const std::string& outFile, std::FILE* err);
// `kovoctl export memory|log FILE.kv5 OUT`: text export; the form follows
// OUT's extension (".txt" columns, anything else CSV).
int exportCommand(const std::string& kind, const std::string& file, const std::string& outFile,
                  std::FILE* err);

struct ImportOptions {
    int bank = 0;
    // Column roles as the import dialog offers them ("mode") and the header
    // of the column chosen for each (empty: none).
    std::vector<std::pair<std::string, std::string>> columns;
    std::optional<kovo::FrequencyUnit> unit;
};

// `kovoctl import FILE.csv INTO.kv5 [--bank N] [--column ROLE=HEADER]...
// [--unit U]`: the channels of a CSV file (CHIRP's or another with a header
// row) added to INTO.kv5, which is created when it does not exist and
// replaced atomically; a CHIRP list's details go beside it. The columns are
// recognised as the import dialog recognises them, and chosen as there. The
// columns used and the summary go to `err`; a refused file leaves INTO.kv5
// untouched and exits non-zero.
int importCommand(const std::string& csvFile, const std::string& intoFile,
                  const ImportOptions& options, std::FILE* err);
// `kovoctl export chirp FILE.kv5 OUT.csv [--bank N]`: the channels as
// CHIRP's CSV, all of them or those of one bank, with the CHIRP details kept
// beside the document.
int exportChirpCommand(const std::string& file, const std::string& outFile, int bank,
                       std::FILE* err);

// Dispatches a command line (argv without the program name).
int runKovoctl(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

} // namespace kovoctl
