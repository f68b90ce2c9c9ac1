#include "scan/BandScope.h"

#include <algorithm>

#include "data/ValueTables.h"
#include "scan/ScanSteps.h"

namespace kovo {

namespace {
constexpr int kLastRange = int(ScopeRangeTable.size()) - 1;

std::uint32_t spanFor(int range, int fractional) {
    return SpanHzTable[std::size_t(2 * range + fractional)];
}
} // namespace

BandScope::BandScope(CKovo5Doc& doc, ViewSink& view) : doc_(doc), view_(view) {}

int BandScope::clampedRange() const {
    return std::clamp(int(doc_.controlParams.scopeRange), 0, kLastRange);
}

void BandScope::recomputeFromStep() {
    // Steps of 1 MHz and 10 MHz fit no range; the scope uses 100 kHz for them.
    std::int32_t& step = doc_.mainRecord.step;
    step = std::clamp<std::int32_t>(step, kSmallestStepIndex, kLargestStepIndex);
    window_.fractional = FractionalStepFlags[std::size_t(step)];
    window_.stepHz = StepHzTable[std::size_t(step)];

    int range = clampedRange();
    if (window_.stepHz < ScopeRangeTable[std::size_t(range)].smallestStepHz) {
        while (range > 0 && window_.stepHz < ScopeRangeTable[std::size_t(range)].smallestStepHz)
            --range;
    } else {
        while (range < kLastRange &&
               window_.stepHz > ScopeRangeTable[std::size_t(range)].largestStepHz)
            ++range;
    }
    doc_.controlParams.scopeRange = range;
    window_.spanHz = spanFor(range, window_.fractional);
    limitWindow();
}

void BandScope::recomputeFromSpan(int row) {
    const int range = std::clamp(row, 0, kLastRange);
    doc_.controlParams.scopeRange = range;
    std::int32_t& step = doc_.mainRecord.step;
    step = std::clamp<std::int32_t>(step, kSmallestStepIndex, kLargestStepIndex);
    const ScopeRange& accepted = ScopeRangeTable[std::size_t(range)];

    const std::int32_t before = step;
    if (StepHzTable[std::size_t(step)] < accepted.smallestStepHz) {
        while (step < kLargestStepIndex && StepHzTable[std::size_t(step)] < accepted.smallestStepHz)
            ++step;
    } else {
        while (step > kSmallestStepIndex && StepHzTable[std::size_t(step)] > accepted.largestStepHz)
            --step;
    }
    if (step != before)
        window_.fractional = FractionalStepFlags[std::size_t(step)];
    window_.stepHz = StepHzTable[std::size_t(step)];
    window_.spanHz = spanFor(range, window_.fractional);
    limitWindow();
}

void BandScope::limitWindow() {
    const std::uint32_t half = window_.spanHz / 2;
    std::uint32_t start = window_.centre - half; // below 0 wraps and counts as too high
    if (start < kLowestStart || start > kHighestStart) {
        const std::uint32_t step = window_.stepHz;
        start = step * ((step + kLowestStart - 1) / step);
        window_.centre = start + half;
    }
    window_.start = start;
    window_.end = window_.centre + half;
    window_.points = int(window_.spanHz / window_.stepHz);
    window_.barHalfWidth = window_.points > 0 ? 200 / window_.points : 0;
    window_.sweepIndex = std::min(window_.sweepIndex, window_.points);
}

void BandScope::enter(bool active) {
    window_.centre = doc_.mainRecord.frequency;
    recomputeFromStep();
    view_.refreshPanels();
    view_.resetScope();
    doc_.controlParams.manualTuning = 0;
    if (active)
        restartSweep();
    else
        view_.showStaticScope();
}

void BandScope::spanChosen(int row, bool active) {
    recomputeFromSpan(row);
    view_.refreshPanels();
    view_.resetScope();
    if (active)
        restartSweep();
    else
        view_.showStaticScope();
}

void BandScope::restartSweep() {
    tuneToPoint(doc_.controlParams.direction == 1 ? 0 : window_.points);
}

void BandScope::nextPoint() {
    const int count = window_.points + 1;
    const int index = doc_.controlParams.direction == 1
                          ? (window_.sweepIndex + 1) % count
                          : (window_.sweepIndex + window_.points) % count;
    view_.refreshDisplay();
    tuneToPoint(index);
}

void BandScope::tuneToPoint(int index) {
    window_.sweepIndex = std::clamp(index, 0, window_.points);
    const std::uint64_t offset =
        window_.points > 0
            ? std::uint64_t(window_.sweepIndex) * window_.spanHz / std::uint64_t(window_.points)
            : 0;
    doc_.mainRecord.frequency = std::uint32_t(window_.start + offset);
    lookUpTunedChannel(doc_);
    view_.moveScopeCursor(window_.sweepIndex);
}

} // namespace kovo
