#include "ui/ScopeGeometry.h"

#include "data/ValueTables.h"

#include <algorithm>

namespace kovo::scope {
namespace {

int pointsOf(const BandScope::Window& w) {
    return std::max(1, w.points);
}
std::uint64_t spanOf(const BandScope::Window& w) {
    return std::max<std::uint32_t>(1, w.spanHz);
}

} // namespace

Bar barAt(int x, int h) {
    Bar b;
    b.left = std::max(0, x - h + (h > 1 ? 1 : 0));
    b.right = std::min(kPlotWidth, x + h - (h > 2 ? 1 : 0));
    if (b.right <= b.left)
        b.right = b.left + 1;
    return b;
}

int barTop(int level, bool staticMode) {
    const int top = level > 0 ? 65 - 4 * level : 62;
    return staticMode ? std::max(1, top) : top;
}

int pointX(const BandScope::Window& w, int i) {
    return int(std::int64_t(i) * kPlotWidth / pointsOf(w));
}

std::uint32_t frequencyAtOffset(const BandScope::Window& w, int u) {
    const std::uint32_t step = std::max<std::uint32_t>(1, w.stepHz);
    const std::uint64_t f = std::uint64_t(std::max(0, u)) * spanOf(w) / kPlotWidth + w.start;
    return std::uint32_t(std::uint64_t(step) * (f / step));
}

int sweepIndexAtOffset(const BandScope::Window& w, int u) {
    return std::clamp(int(std::int64_t(w.points) * std::max(0, u) / kPlotWidth), 0, w.points);
}

int staticX(const BandScope::Window& w, std::uint32_t frequency) {
    return int(std::uint64_t(frequency - w.start) * kPlotWidth / spanOf(w));
}

int staticHalfWidth(const BandScope::Window& w, std::int32_t stepIndex) {
    return int(std::uint64_t(stepHz(stepIndex)) * 200 / spanOf(w));
}

} // namespace kovo::scope
