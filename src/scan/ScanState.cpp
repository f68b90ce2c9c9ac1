#include "scan/ScanState.h"

#include <algorithm>

#include "data/DocumentRules.h"

namespace kovo {

ScanState::ScanState(CKovo5Doc& doc)
    : doc_(doc), loggingOn_(doc.controlParams.logging == 1),
      subscription_(doc.changes().subscribe([this](const DocumentChange& c) { onChange(c); })) {}

int ScanState::reachableCount() const {
    return countReachableChannels(doc_);
}

void ScanState::onChange(const DocumentChange& change) {
    using Kind = DocumentChange::Kind;
    const bool loggingOn = doc_.controlParams.logging == 1;
    if (change.kind == Kind::DocumentReplaced) {
        scanPosition = doc_.rowAfterReplacement(scanPosition);
        if (change.newDocument) {
            priority = PriorityCheck{};
            toneSearch = false;
        }
    } else if (change.kind == Kind::LogCleared) {
        newLogEntryMain = true;
        newLogEntryPriority = true;
    } else if (loggingOn && !loggingOn_) {
        newLogEntryMain = true;
    }
    loggingOn_ = loggingOn;
    followRows(change);
}

// Keeps scanPosition on the channel it named.
void ScanState::followRows(const DocumentChange& change) {
    using Kind = DocumentChange::Kind;
    const int row = change.row;
    switch (change.kind) {
    case Kind::ChannelInserted:
        if (scanPosition >= row)
            ++scanPosition;
        break;
    case Kind::ChannelRemoved:
        if (scanPosition > row)
            --scanPosition;
        scanPosition = std::clamp(scanPosition, 0, std::max(doc_.channelCount - 1, 0));
        break;
    case Kind::ChannelMoved:
        if (scanPosition == row)
            scanPosition = change.toRow;
        else if (row < change.toRow && scanPosition > row && scanPosition <= change.toRow)
            --scanPosition;
        else if (change.toRow < row && scanPosition >= change.toRow && scanPosition < row)
            ++scanPosition;
        break;
    default:
        break;
    }
}

} // namespace kovo
