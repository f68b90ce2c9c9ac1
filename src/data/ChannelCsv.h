#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CsvReader.h"
#include "DocumentContents.h"

// Channels read from a CSV file: which column holds what, each row turned
// into a channel or left out with its reason, and the plan of an import into
// the channel table with its counts, made before anything changes.
namespace kovo {

enum class FrequencyUnit { Hz, kHz, MHz };
std::string_view frequencyUnitName(FrequencyUnit unit);

// The longest comment an import stores, in code page 932 bytes.
inline constexpr std::size_t kImportedCommentBytes = 255;

// Column indices into a row, -1 for none.
struct CsvColumns {
    int frequency = -1;
    FrequencyUnit unit = FrequencyUnit::MHz;
    int name = -1;
    int comment = -1;
    int mode = -1;
    int step = -1; // in kHz
    int tone = -1; // CHIRP's tone kind: "TSQL" is a squelch tone
    int squelchTone = -1;
    int skip = -1; // "S": the channel is passed over
    bool chirp = false;
};

// CHIRP's own columns, recognised from a header holding Location and
// Frequency; nullopt for any other header.
std::optional<CsvColumns> chirpColumns(const std::vector<std::string>& header);
// The columns of any other header, guessed from their names; the frequency
// unit from the header ("MHz", "kHz", "Hz") or else from the values.
CsvColumns guessColumns(const CsvTable& table);

// The roles a column can be chosen for, as the import dialog offers them.
inline constexpr std::array<std::string_view, 4> kColumnRoles{"frequency", "comment", "mode",
                                                              "step"};
// Makes the column headed `header` (any case; empty for none) the one of
// `role`; a new frequency column brings its guessed unit. False, with the
// reason, for an unknown role or header.
bool chooseColumn(CsvColumns& columns, const CsvTable& table, std::string_view role,
                  std::string_view header, std::string& error);
// The unit named `name` (Hz, kHz, MHz in any case).
std::optional<FrequencyUnit> frequencyUnitNamed(std::string_view name);
// Which column holds what, for the user (UTF-8).
std::string columnsSummary(const CsvColumns& columns, const CsvTable& table);
FrequencyUnit guessFrequencyUnit(const CsvTable& table, int column);

// A decimal number of `unit` read exactly into whole hertz (rounded to the
// nearest); nullopt for anything that is not a plain decimal or overflows.
std::optional<std::uint32_t> parseFrequencyHz(std::string_view text, FrequencyUnit unit);
// Index of the receiver's mode named by `text` (FM and NFM are NFM), or -1.
int modeIndexOf(std::string_view text);
// Index of the step nearest `kHz`, or -1 when `text` is not a number.
int nearestStepIndex(std::string_view kHz);
// Index of the CTCSS tone of exactly `hz` ("88.5"), or -1.
int ctcssIndexOf(std::string_view hz);

// What a row becomes.
struct CsvChannel {
    std::uint32_t frequency = 0;
    int mode = 0;
    int step = 0;
    int ctcss = 0;
    std::string comment; // code page 932
    bool pass = false;
    int line = 0;
    // A CHIRP row's columns as read, kept beside the document on import.
    std::vector<std::pair<std::string, std::string>> chirpCells;
};

// The kinds of problem counted, each with the first line it was seen on.
enum class CsvProblem : int {
    NotANumber,       // left out: frequency empty or not a number
    OutOfRange,       // left out: the receiver cannot tune it
    UnknownMode,      // left out: a mode the receiver lacks
    ToneNotInTable,   // imported without the squelch tone
    CommentShortened, // imported with the comment cut to its length
    CommentReplaced,  // imported without the characters the comment cannot hold
    CommentRespelled  // imported with letters spelled without their accents
};
inline constexpr int kCsvProblemCount = 7;
std::string_view csvProblemText(CsvProblem problem);
bool isLeftOut(CsvProblem problem);

struct ProblemCount {
    int count = 0;
    int firstLine = 0;
    std::string firstRow; // the start of that row, UTF-8
};

// Settings a row takes when its file has no column for them.
struct CsvDefaults {
    int mode = 0;
    int step = 0;
};

// An import worked out against the channels already stored.
struct ImportPlan {
    std::vector<CsvChannel> channels; // new channels, in file order
    ProblemCount alreadyStored;       // rows of frequencies the document holds: not imported
    ProblemCount repeated;            // rows of a frequency given again further down the file
    int overLimit = 0;                // channels beyond the table's limit: nothing is stored
    std::array<ProblemCount, kCsvProblemCount> problems{};

    int merged() const { return alreadyStored.count + repeated.count; }
    int leftOut() const;
    bool fits() const { return overLimit == 0; }
    const ProblemCount& problem(CsvProblem p) const {
        return problems[static_cast<std::size_t>(p)];
    }
};

// The row as a channel, noting what was wrong with it in `plan`; nullopt
// for a row left out.
std::optional<CsvChannel> channelOfRow(const CsvRow& row, const CsvColumns& columns,
                                       const CsvDefaults& defaults, ImportPlan& plan);

// Every row of the table against the channels of `existing`. A channel
// already stored at a row's frequency is left as it is, in its own banks (the
// row is not imported); a frequency repeated in the file is imported from its
// first row. Both are counted.
ImportPlan planImport(const CsvTable& table, const CsvColumns& columns,
                      const DocumentContents& existing, const CsvDefaults& defaults);

// What the user is told (UTF-8): imported, merged, left out with reasons and
// the first line of each kind of problem, or why nothing was imported.
std::string importSummary(const ImportPlan& plan);

} // namespace kovo
