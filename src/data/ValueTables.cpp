#include "ValueTables.h"

namespace kovo {
namespace {

template <typename Table>
auto rowOr(const Table& table, std::int64_t index, typename Table::value_type fallback) {
    if (index < 0 || index >= static_cast<std::int64_t>(table.size()))
        return fallback;
    return table[static_cast<std::size_t>(index)];
}

} // namespace

std::string_view modeName(std::int64_t mode) {
    return rowOr(ModeNameTable, mode, "");
}
std::string_view modeLetter(std::int64_t mode) {
    return rowOr(ModeLetterTable, mode, "");
}
std::string_view stepName(std::int64_t step) {
    return rowOr(StepNameTable, step, "");
}
std::uint32_t stepHz(std::int64_t step) {
    return rowOr(StepHzTable, step, 0u);
}
bool isFractionalStep(std::int64_t step) {
    return rowOr(FractionalStepFlags, step, 0) != 0;
}
std::string_view attName(std::int64_t att) {
    return rowOr(AttNameTable, att, "");
}
std::string_view attLetter(std::int64_t att) {
    return rowOr(AttLetterTable, att, "");
}
std::string_view ifBandwidthName(std::int64_t ifbw) {
    return rowOr(IfBandwidthNameTable, ifbw, "");
}
std::int32_t ifBandwidthHz(std::int64_t ifbw) {
    return rowOr(IfBandwidthHzTable, ifbw, 0);
}
std::string_view ctcssName(std::int64_t tone) {
    return rowOr(CtcssNameTable, tone, "");
}
std::string_view signalLabel(std::int64_t signal) {
    return rowOr(SignalScaleTable, signal, "");
}
std::string_view bankGlyph(std::int64_t bank) {
    return rowOr(BankGlyphTable, bank, "");
}
std::string_view bankGlyphUtf8(std::int64_t bank) {
    return rowOr(BankGlyphTableUtf8, bank, "");
}
std::string_view markerGlyph(bool on) {
    return MarkerGlyphTable[on ? 1 : 0];
}
std::string_view spanName(std::int64_t span) {
    return rowOr(SpanNameTable, span, "");
}
std::uint32_t spanHz(std::int64_t span) {
    return rowOr(SpanHzTable, span, 0u);
}

const ScopeRange* scopeRange(std::int64_t range) {
    if (range < 0 || range >= static_cast<std::int64_t>(ScopeRangeTable.size()))
        return nullptr;
    return &ScopeRangeTable[static_cast<std::size_t>(range)];
}

int legacyStepIndex(std::int32_t code) {
    for (std::size_t row = 0; row < LegacyStepCodeTable.size(); ++row) {
        if (LegacyStepCodeTable[row] == code)
            return row < 2 ? static_cast<int>(row) + 1 : static_cast<int>(row);
    }
    return 7;
}

} // namespace kovo
