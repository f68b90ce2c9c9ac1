#include "OutOfRange.h"

#include "FileErrors.h"
#include "ReceiverRange.h"

namespace kovo {
namespace {

bool isRangeEdge(std::uint32_t hz) {
    return hz == 0 || isReceiverFrequency(hz);
}

template <typename Range>
bool edgesOutside(const Range& range, std::uint32_t Range::*low, std::uint32_t Range::*high) {
    return !isRangeEdge(range.*low) || !isRangeEdge(range.*high);
}

std::string counted(int count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

} // namespace

int resetRangesOutsideReceiver(DocumentContents& contents, int nfmBandWidth) {
    int reset = 0;
    for (auto& bank : contents.searchBanks) {
        if (edgesOutside(bank, &CSearchBank::startFrequency, &CSearchBank::stopFrequency)) {
            bank.setNewDocumentValues(nfmBandWidth);
            ++reset;
        }
    }
    for (auto& range : contents.passRanges) {
        if (edgesOutside(range, &CPassBank::lowFrequency, &CPassBank::highFrequency)) {
            range.setNewDocumentValues();
            ++reset;
        }
    }
    for (auto& range : contents.autoRanges) {
        if (edgesOutside(range, &CAutoBank::startFrequency, &CAutoBank::stopFrequency)) {
            range.setNewDocumentValues(nfmBandWidth);
            ++reset;
        }
    }
    return reset;
}

std::string outOfRangeMessage(const OutOfRangeRepair& repair, std::string_view fileName) {
    std::string what;
    auto add = [&what](const std::string& part) {
        if (!what.empty())
            what += ", ";
        what += part;
    };
    if (repair.channels > 0)
        add(counted(repair.channels, "channel", "channels"));
    if (repair.ranges > 0)
        add(counted(repair.ranges, "search bank or range", "search banks or ranges"));
    if (repair.tuningRecord)
        add("the tuned frequency");
    return withFileName("%1 held " + what +
                            " outside the receiver's 0.1 to 2040 MHz; channels were left out, "
                            "and ranges and the tuned frequency were set as in a new document.",
                        fileName);
}

} // namespace kovo
