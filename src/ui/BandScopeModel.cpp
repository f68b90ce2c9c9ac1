#include "ui/BandScopeModel.h"

#include "data/ValueTables.h"

#include <algorithm>

namespace kovo {
namespace {

constexpr int kLowestScopeStep = 2;   // 100 Hz
constexpr int kHighestScopeStep = 13; // 100 kHz, the largest step the step list offers
constexpr int kLastRange = int(ScopeRangeTable.size()) - 1;

int clampRange(int r) { return std::clamp(r, 0, kLastRange); }

} // namespace

void BandScopeModel::recomputeFromStep(std::int32_t& stepIndex, std::int32_t& rangeIndex)
{
    // 1 MHz and 10 MHz steps exceed every range; the scope works with 100 kHz.
    stepIndex = std::clamp<std::int32_t>(stepIndex, kLowestScopeStep, kHighestScopeStep);
    fractional_ = FractionalStepFlags[std::size_t(stepIndex)];
    step_ = StepHzTable[std::size_t(stepIndex)];
    int r = clampRange(rangeIndex);
    if (step_ < ScopeRangeTable[std::size_t(r)].smallestStepHz) {
        while (r > 0 && step_ < ScopeRangeTable[std::size_t(r)].smallestStepHz)
            --r;
    } else if (step_ > ScopeRangeTable[std::size_t(r)].largestStepHz) {
        while (r < kLastRange && step_ > ScopeRangeTable[std::size_t(r)].largestStepHz)
            ++r;
    }
    rangeIndex = range_ = r;
    span_ = SpanHzTable[std::size_t(2 * r + fractional_)];
    limitWindow();
}

void BandScopeModel::recomputeFromSpan(int row, std::int32_t& stepIndex, std::int32_t& rangeIndex)
{
    const int r = clampRange(row);
    rangeIndex = range_ = r;
    int s = std::clamp<std::int32_t>(stepIndex, kLowestScopeStep, kHighestScopeStep);
    const auto& limits = ScopeRangeTable[std::size_t(r)];
    const int before = s;
    if (StepHzTable[std::size_t(s)] < limits.smallestStepHz) {
        while (s < kHighestScopeStep && StepHzTable[std::size_t(s)] < limits.smallestStepHz)
            ++s;
    } else if (StepHzTable[std::size_t(s)] > limits.largestStepHz) {
        while (s > kLowestScopeStep && StepHzTable[std::size_t(s)] > limits.largestStepHz)
            --s;
    }
    if (s != before)
        fractional_ = FractionalStepFlags[std::size_t(s)];
    stepIndex = s;
    step_ = StepHzTable[std::size_t(s)];
    span_ = SpanHzTable[std::size_t(2 * r + fractional_)];
    limitWindow();
}

void BandScopeModel::limitWindow()
{
    start_ = centre_ - span_ / 2; // wraps below 0, which then counts as too high
    if (start_ < 100'000 || start_ > kHighestStart) {
        start_ = step_ * ((step_ + 99'999) / step_);
        centre_ = start_ + span_ / 2;
    }
    end_ = centre_ + span_ / 2;
    points_ = std::max<int>(1, int(span_ / step_));
    barHalfWidth_ = 200 / points_;
    sweepIndex_ = std::clamp(sweepIndex_, 0, points_);
}

void BandScopeModel::setSweepIndex(int i) { sweepIndex_ = std::clamp(i, 0, points_); }

int BandScopeModel::nextIndex(int direction) const
{
    const int n = points_ + 1;
    return direction == 1 ? (sweepIndex_ + 1) % n : (sweepIndex_ + points_) % n;
}

std::uint32_t BandScopeModel::pointFrequency(int i) const
{
    return start_ + std::uint32_t(std::uint64_t(i) * span_ / std::uint64_t(points_));
}

int BandScopeModel::pointX(int i) const { return int(std::int64_t(i) * kPlotWidth / points_); }

std::uint32_t BandScopeModel::frequencyAtOffset(int u) const
{
    const std::uint64_t f = std::uint64_t(std::max(0, u)) * span_ / kPlotWidth + start_;
    return std::uint32_t(std::uint64_t(step_) * (f / step_));
}

int BandScopeModel::sweepIndexAtOffset(int u) const
{
    return std::clamp(int(std::int64_t(points_) * std::max(0, u) / kPlotWidth), 0, points_);
}

int BandScopeModel::staticHalfWidth(std::int32_t stepIndex) const
{
    return int(std::uint64_t(stepHz(stepIndex)) * 200 / span_);
}

BandScopeModel::Bar BandScopeModel::barAt(int x, int h)
{
    Bar b;
    b.left = std::max(0, x - h + (h > 1 ? 1 : 0));
    b.right = std::min(kPlotWidth, x + h - (h > 2 ? 1 : 0));
    if (b.right <= b.left)
        b.right = b.left + 1;
    return b;
}

int BandScopeModel::barTop(int level, bool staticMode)
{
    const int top = level > 0 ? 65 - 4 * level : 62;
    return staticMode ? std::max(1, top) : top;
}

} // namespace kovo
