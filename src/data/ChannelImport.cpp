#include "ChannelImport.h"

#include "CKovo5Doc.h"
#include "DatabaseEdits.h"

namespace kovo {
namespace {

// The table's own store takes a new channel's receiver settings from the
// tuned record; it is lent for the duration and given back unchanged.
class LentTunedRecord {
public:
    explicit LentTunedRecord(CKovo5Doc& doc) : doc_(doc), kept_(doc.mainRecord) {}
    ~LentTunedRecord() { doc_.mainRecord = kept_; }
    LentTunedRecord(const LentTunedRecord&) = delete;
    LentTunedRecord& operator=(const LentTunedRecord&) = delete;

    void takeSettingsOf(const CsvChannel& channel) {
        CFrequencyData& tuned = doc_.mainRecord;
        tuned.mode = channel.mode;
        tuned.step = channel.step;
        tuned.ctcss = channel.ctcss;
        tuned.tElm = 0;
        tuned.ifBandwidth =
            edits::bandwidthForMode(channel.mode, kept_.ifBandwidth, doc_.settings());
    }

private:
    CKovo5Doc& doc_;
    CFrequencyData kept_;
};

} // namespace

CsvDefaults importDefaultsOf(const CKovo5Doc& doc) {
    return {doc.mainRecord.mode, doc.mainRecord.step};
}

ImportOutcome applyImport(CKovo5Doc& doc, const ImportPlan& plan, int bank) {
    ImportOutcome outcome;
    if (!plan.fits() || bank < 0 || bank >= kBankCount) {
        outcome.message = importSummary(plan);
        return outcome;
    }
    ChannelTable& table = doc.channelTable();
    int added = 0;
    for (const CsvChannel& channel : plan.channels)
        added += table.findChannel(channel.frequency) < 0 ? 1 : 0;
    if (doc.channelCount + added > kMaxChannels) {
        outcome.message = std::to_string(doc.channelCount + added - kMaxChannels) +
                          " channels would go beyond the limit of " + std::to_string(kMaxChannels) +
                          " channels; nothing was imported.";
        return outcome;
    }
    LentTunedRecord tuned(doc);
    for (const CsvChannel& channel : plan.channels) {
        if (table.findChannel(channel.frequency) >= 0) {
            ++outcome.merged;
            continue;
        }
        tuned.takeSettingsOf(channel);
        const int row = table.storeChannel(channel.frequency);
        if (row < 0)
            break; // cannot happen: the room was counted above
        table.setChannelComments({row}, channel.comment);
        table.setChannelBanks({row}, channel.pass ? kPassBank : bank, false);
        ++outcome.stored;
    }
    outcome.applied = true;
    return outcome;
}

} // namespace kovo
