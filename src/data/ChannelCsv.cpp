#include "ChannelCsv.h"

#include <algorithm>
#include <cctype>
#include <unordered_set>

#include "Cp932.h"
#include "PlainSpelling.h"
#include "ReceiverRange.h"
#include "TypedFrequency.h"
#include "ValueTables.h"

namespace kovo {
namespace {

constexpr std::array<std::string_view, 3> kUnitNames{"Hz", "kHz", "MHz"};

constexpr std::array<std::string_view, kCsvProblemCount> kProblemTexts{
    "frequency empty or not a number",
    "frequency outside the receiver's range",
    "a mode the receiver lacks",
    "squelch tone not in the receiver's table",
    "comment shortened to 255 bytes",
    "comment characters with no Shift-JIS form left out",
    "comment letters stored without their accents (\"Malm\xC3\xB6\" as \"Malmo\")"};

struct ModeName {
    std::string_view name;
    int mode;
};
// FM of a handheld is the receiver's narrow FM.
constexpr std::array<ModeName, 10> kModeNames{{{"FM", 0},
                                               {"NFM", 0},
                                               {"WFM", 1},
                                               {"AM", 2},
                                               {"LSB", 3},
                                               {"USB", 4},
                                               {"CW", 5},
                                               {"SAM", 6},
                                               {"SAL", 7},
                                               {"SAH", 8}}};

constexpr int kLabelledSteps = static_cast<int>(StepNameTable.size());

std::string_view trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool containsIgnoringCase(std::string_view text, std::string_view part) {
    return std::search(text.begin(), text.end(), part.begin(), part.end(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           }) != text.end();
}

int columnNamed(const std::vector<std::string>& header, std::string_view name) {
    for (std::size_t i = 0; i < header.size(); ++i)
        if (equalsIgnoringCase(trim(header[i]), name))
            return static_cast<int>(i);
    return -1;
}

int columnContaining(const std::vector<std::string>& header,
                     std::initializer_list<std::string_view> parts) {
    for (std::string_view part : parts)
        for (std::size_t i = 0; i < header.size(); ++i)
            if (containsIgnoringCase(header[i], part))
                return static_cast<int>(i);
    return -1;
}

std::string_view field(const CsvRow& row, int column) {
    if (column < 0 || static_cast<std::size_t>(column) >= row.fields.size())
        return {};
    return trim(row.fields[static_cast<std::size_t>(column)]);
}

// A plain decimal as an integer scaled by 10^scaleDigits, rounded half up.
std::optional<std::uint64_t> parseScaledDecimal(std::string_view text, int scaleDigits) {
    text = trim(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    // A decimal comma (spreadsheets of many countries) reads as a point.
    std::size_t point = text.find('.');
    if (point == std::string_view::npos)
        point = text.find(',');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
    if (whole.empty() && fraction.empty())
        return std::nullopt;
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (!std::all_of(whole.begin(), whole.end(), isDigit) ||
        !std::all_of(fraction.begin(), fraction.end(), isDigit) || whole.size() > 12)
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : whole)
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    for (int i = 0; i < scaleDigits; ++i) {
        const auto index = static_cast<std::size_t>(i);
        value = value * 10 +
                (index < fraction.size() ? static_cast<std::uint64_t>(fraction[index] - '0') : 0);
    }
    const auto next = static_cast<std::size_t>(scaleDigits);
    if (next < fraction.size() && fraction[next] >= '5')
        ++value;
    return value;
}

// The comment of a row: the name and the comment, the name left out when the
// comment begins with it, spelled as the character set can keep it and cut to
// its length on a character boundary.
std::string commentOf(const CsvRow& row, const CsvColumns& columns, bool& shortened, bool& replaced,
                      bool& respelled) {
    const std::string_view name = field(row, columns.name);
    const std::string_view comment = field(row, columns.comment);
    std::string text;
    if (name.empty() || comment.starts_with(name))
        text = comment;
    else if (comment.empty())
        text = name;
    else
        text = std::string(name) + " " + std::string(comment);
    const PlainSpelling spelled = plainSpelling(text);
    replaced = spelled.refusedCount > 0;
    respelled = !spelled.changed.empty();
    std::string cp932 = utf8ToCp932(spelled.text);
    shortened = cp932.size() > kImportedCommentBytes;
    if (shortened) {
        std::size_t cut = 0;
        for (std::size_t i = 0; i < cp932.size();) {
            const auto c = static_cast<unsigned char>(cp932[i]);
            const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
            const std::size_t length = lead ? 2 : 1;
            if (i + length > kImportedCommentBytes)
                break;
            i += length;
            cut = i;
        }
        cp932.resize(cut);
    }
    return cp932;
}

constexpr std::size_t kShownRowBytes = 60;

// The row's fields joined again, cut to kShownRowBytes on a character boundary.
std::string shownRow(const CsvRow& row) {
    std::string text;
    for (const std::string& f : row.fields) {
        if (!text.empty())
            text += ',';
        text += f;
        if (text.size() > kShownRowBytes)
            break;
    }
    if (text.size() <= kShownRowBytes)
        return text;
    std::size_t cut = kShownRowBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return text.substr(0, cut) + "...";
}

void count(ProblemCount& count, const CsvRow& row) {
    if (count.count++ == 0) {
        count.firstLine = row.line;
        count.firstRow = shownRow(row);
    }
}

void note(ImportPlan& plan, CsvProblem problem, const CsvRow& row) {
    count(plan.problems[static_cast<std::size_t>(problem)], row);
}

// Each column of a CHIRP row by its header, for the details kept beside the
// document.
std::vector<std::pair<std::string, std::string>> cellsOf(const CsvRow& row,
                                                         const std::vector<std::string>& header) {
    std::vector<std::pair<std::string, std::string>> cells;
    const std::size_t n = std::min(header.size(), row.fields.size());
    cells.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        cells.emplace_back(std::string(trim(header[i])), row.fields[i]);
    return cells;
}

std::string countLine(const ProblemCount& count, const std::string& text) {
    return "\n" + std::to_string(count.count) + text + " (first on line " +
           std::to_string(count.firstLine) + ": " + count.firstRow + ")";
}

std::optional<std::uint32_t> frequencyOfRow(const CsvRow& row, const CsvColumns& columns,
                                            ImportPlan& plan) {
    const std::optional<std::uint32_t> hz =
        parseFrequencyHz(field(row, columns.frequency), columns.unit);
    if (!hz) {
        note(plan, CsvProblem::NotANumber, row);
        return std::nullopt;
    }
    if (!isReceiverFrequency(*hz)) {
        note(plan, CsvProblem::OutOfRange, row);
        return std::nullopt;
    }
    return hz;
}

int squelchToneOfRow(const CsvRow& row, const CsvColumns& columns, ImportPlan& plan) {
    const bool squelch = columns.tone >= 0 ? equalsIgnoringCase(field(row, columns.tone), "TSQL")
                                           : !field(row, columns.squelchTone).empty();
    if (!squelch)
        return CtcssOff;
    const int tone = ctcssIndexOf(field(row, columns.squelchTone));
    if (tone > 0)
        return tone;
    note(plan, CsvProblem::ToneNotInTable, row);
    return CtcssOff;
}

} // namespace

std::string_view frequencyUnitName(FrequencyUnit unit) {
    return kUnitNames[static_cast<std::size_t>(unit)];
}

std::optional<CsvColumns> chirpColumns(const std::vector<std::string>& header) {
    if (columnNamed(header, "Location") < 0 || columnNamed(header, "Frequency") < 0)
        return std::nullopt;
    CsvColumns c;
    c.chirp = true;
    c.frequency = columnNamed(header, "Frequency");
    c.unit = FrequencyUnit::MHz;
    c.name = columnNamed(header, "Name");
    c.comment = columnNamed(header, "Comment");
    c.mode = columnNamed(header, "Mode");
    c.step = columnNamed(header, "TStep");
    c.tone = columnNamed(header, "Tone");
    c.squelchTone = columnNamed(header, "cToneFreq");
    c.skip = columnNamed(header, "Skip");
    return c;
}

FrequencyUnit guessFrequencyUnit(const CsvTable& table, int column) {
    if (column < 0 || static_cast<std::size_t>(column) >= table.header.size())
        return FrequencyUnit::MHz;
    const std::string_view name = table.header[static_cast<std::size_t>(column)];
    for (FrequencyUnit unit : {FrequencyUnit::MHz, FrequencyUnit::kHz, FrequencyUnit::Hz})
        if (containsIgnoringCase(name, frequencyUnitName(unit)))
            return unit;
    // The largest value tells: the receiver's top frequency is 2040 in MHz
    // and 2,040,000 in kHz.
    std::uint64_t largest = 0;
    for (const CsvRow& row : table.rows)
        if (auto value = parseScaledDecimal(field(row, column), 0))
            largest = std::max(largest, *value);
    if (largest <= kHighestFrequency / 1'000'000)
        return FrequencyUnit::MHz;
    if (largest <= kHighestFrequency / 1'000)
        return FrequencyUnit::kHz;
    return FrequencyUnit::Hz;
}

CsvColumns guessColumns(const CsvTable& table) {
    if (auto chirp = chirpColumns(table.header))
        return *chirp;
    const auto& h = table.header;
    CsvColumns c;
    // English names first, then those of German and French lists.
    c.frequency = columnContaining(h, {"frequency", "freq", "mhz", "khz", "hz", "fréq"});
    c.unit = guessFrequencyUnit(table, c.frequency);
    c.comment = columnContaining(h, {"comment", "name", "description", "label", "memo", "kommentar",
                                     "bemerkung", "bezeichnung"});
    c.mode = columnContaining(h, {"mode", "modus", "modulation", "betriebsart"});
    c.step = columnContaining(h, {"step", "schritt", "raster"});
    return c;
}

std::optional<FrequencyUnit> frequencyUnitNamed(std::string_view name) {
    for (FrequencyUnit unit : {FrequencyUnit::Hz, FrequencyUnit::kHz, FrequencyUnit::MHz})
        if (equalsIgnoringCase(trim(name), frequencyUnitName(unit)))
            return unit;
    return std::nullopt;
}

bool chooseColumn(CsvColumns& columns, const CsvTable& table, std::string_view role,
                  std::string_view header, std::string& error) {
    const int column = trim(header).empty() ? -1 : columnNamed(table.header, trim(header));
    if (column < 0 && !trim(header).empty()) {
        error = "no column \"" + std::string(header) + "\" in the header row";
        return false;
    }
    if (role == "frequency") {
        columns.frequency = column;
        columns.unit = guessFrequencyUnit(table, column);
    } else if (role == "comment") {
        columns.comment = column;
        columns.name = -1;
    } else if (role == "mode") {
        columns.mode = column;
    } else if (role == "step") {
        columns.step = column;
    } else {
        error = "no column role \"" + std::string(role) + "\" (frequency, comment, mode or step)";
        return false;
    }
    return true;
}

std::string columnsSummary(const CsvColumns& columns, const CsvTable& table) {
    const auto name = [&table](int column) {
        return column >= 0 && static_cast<std::size_t>(column) < table.header.size()
                   ? "\"" + table.header[static_cast<std::size_t>(column)] + "\""
                   : std::string("(none)");
    };
    return "columns: frequency " + name(columns.frequency) + " in " +
           std::string(frequencyUnitName(columns.unit)) + ", comment " +
           name(columns.comment >= 0 ? columns.comment : columns.name) + ", mode " +
           name(columns.mode) + ", step " + name(columns.step);
}

std::optional<std::uint32_t> parseFrequencyHz(std::string_view text, FrequencyUnit unit) {
    constexpr std::array<std::uint64_t, 3> unitHz{1, kKilohertz, kMegahertz};
    // Whether the receiver tunes it is checked with the row.
    const TypedFrequency typed =
        readTypedFrequency(text, kAnyFrequency, unitHz[static_cast<std::size_t>(unit)]);
    if (!typed)
        return std::nullopt;
    return typed.hz;
}

int modeIndexOf(std::string_view text) {
    text = trim(text);
    for (const ModeName& m : kModeNames)
        if (equalsIgnoringCase(text, m.name))
            return m.mode;
    return -1;
}

int nearestStepIndex(std::string_view kHz) {
    const auto milliHz = parseScaledDecimal(kHz, 6);
    if (!milliHz)
        return -1;
    int best = 0;
    std::uint64_t bestDistance = UINT64_MAX;
    for (int i = 0; i < kLabelledSteps; ++i) {
        const std::uint64_t step = std::uint64_t{stepHz(i)} * 1000;
        const std::uint64_t distance = step > *milliHz ? step - *milliHz : *milliHz - step;
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

int ctcssIndexOf(std::string_view hz) {
    const auto tenths = parseScaledDecimal(hz, 1);
    if (!tenths || trim(hz).size() > 8)
        return -1;
    for (int i = 1; i < CtcssToneSearch; ++i)
        if (parseScaledDecimal(ctcssName(i), 1) == tenths)
            return i;
    return -1;
}

std::string_view csvProblemText(CsvProblem problem) {
    return kProblemTexts[static_cast<std::size_t>(problem)];
}

bool isLeftOut(CsvProblem problem) {
    return problem == CsvProblem::NotANumber || problem == CsvProblem::OutOfRange ||
           problem == CsvProblem::UnknownMode;
}

int ImportPlan::leftOut() const {
    int total = 0;
    for (int p = 0; p < kCsvProblemCount; ++p)
        if (isLeftOut(static_cast<CsvProblem>(p)))
            total += problems[static_cast<std::size_t>(p)].count;
    return total;
}

std::optional<CsvChannel> channelOfRow(const CsvRow& row, const CsvColumns& columns,
                                       const CsvDefaults& defaults, ImportPlan& plan) {
    CsvChannel channel;
    channel.line = row.line;
    const auto frequency = frequencyOfRow(row, columns, plan);
    if (!frequency)
        return std::nullopt;
    channel.frequency = *frequency;
    const std::string_view mode = field(row, columns.mode);
    channel.mode = mode.empty() ? defaults.mode : modeIndexOf(mode);
    if (channel.mode < 0) {
        note(plan, CsvProblem::UnknownMode, row);
        return std::nullopt;
    }
    const int step = nearestStepIndex(field(row, columns.step));
    channel.step = step < 0 ? defaults.step : step;
    channel.ctcss = squelchToneOfRow(row, columns, plan);
    bool shortened = false;
    bool replaced = false;
    bool respelled = false;
    channel.comment = commentOf(row, columns, shortened, replaced, respelled);
    if (shortened)
        note(plan, CsvProblem::CommentShortened, row);
    if (replaced)
        note(plan, CsvProblem::CommentReplaced, row);
    if (respelled)
        note(plan, CsvProblem::CommentRespelled, row);
    channel.pass = equalsIgnoringCase(field(row, columns.skip), "S");
    return channel;
}

ImportPlan planImport(const CsvTable& table, const CsvColumns& columns,
                      const DocumentContents& existing, const CsvDefaults& defaults) {
    ImportPlan plan;
    std::unordered_set<std::uint32_t> stored;
    stored.reserve(static_cast<std::size_t>(existing.channelCount) + table.rows.size());
    for (int i = 0; i < existing.channelCount; ++i)
        stored.insert(existing.channels[static_cast<std::size_t>(i)]->frequency);
    plan.channels.reserve(table.rows.size());
    std::unordered_set<std::uint32_t> inFile;
    for (const CsvRow& row : table.rows) {
        auto channel = channelOfRow(row, columns, defaults, plan);
        if (!channel)
            continue;
        if (stored.contains(channel->frequency)) {
            count(plan.alreadyStored, row);
            continue;
        }
        if (!inFile.insert(channel->frequency).second) {
            count(plan.repeated, row);
            continue;
        }
        if (columns.chirp)
            channel->chirpCells = cellsOf(row, table.header);
        plan.channels.push_back(std::move(*channel));
    }
    const int total = existing.channelCount + static_cast<int>(plan.channels.size());
    plan.overLimit = std::max(0, total - kMaxChannels);
    return plan;
}

std::string importSummary(const ImportPlan& plan) {
    if (!plan.fits())
        return std::to_string(plan.overLimit) + " channels would go beyond the limit of " +
               std::to_string(kMaxChannels) + " channels; nothing was imported.";
    std::string text = std::to_string(plan.channels.size()) + " imported, " +
                       std::to_string(plan.alreadyStored.count) + " already stored, " +
                       std::to_string(plan.leftOut()) + " left out.";
    if (plan.alreadyStored.count > 0)
        text += countLine(plan.alreadyStored,
                          " already stored: the document holds a channel at these frequencies; "
                          "those channels were left as they are, in their own banks, and these "
                          "rows were not imported");
    if (plan.repeated.count > 0)
        text += countLine(plan.repeated, " repeated: a frequency given again further down the "
                                         "file; only its first row was imported");
    for (int p = 0; p < kCsvProblemCount; ++p) {
        const ProblemCount& count = plan.problems[static_cast<std::size_t>(p)];
        if (count.count == 0)
            continue;
        text += countLine(count, (isLeftOut(static_cast<CsvProblem>(p)) ? " left out: " : ": ") +
                                     std::string(csvProblemText(static_cast<CsvProblem>(p))));
    }
    return text;
}

} // namespace kovo
