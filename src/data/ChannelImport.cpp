#include "ChannelImport.h"

#include "CKovo5Doc.h"
#include "Cp932.h"
#include "DatabaseEdits.h"

#include <algorithm>
#include <vector>

namespace kovo {
namespace {

// A new channel takes the tuned record's receiver settings with the mode,
// step and tone of the imported line.
CFrequencyData tunedRecordFor(const CKovo5Doc& doc, const CsvChannel& channel) {
    CFrequencyData tuned = doc.mainRecord;
    tuned.frequency = channel.frequency;
    tuned.mode = channel.mode;
    tuned.step = channel.step;
    tuned.ctcss = channel.ctcss;
    tuned.tElm = 0;
    tuned.ifBandwidth =
        edits::bandwidthForMode(channel.mode, doc.mainRecord.ifBandwidth, doc.settings());
    return tuned;
}

// A CHIRP row's columns with what the channel became, so that the CHIRP
// export gives the row back while the channel stays as imported.
void rememberChirpRow(CKovo5Doc& doc, const CsvChannel& imported, int bank) {
    if (imported.chirpCells.empty())
        return;
    const int row = doc.channelTable().findChannel(imported.frequency);
    if (row < 0)
        return;
    const CFrequencyData& channel = *doc.channels[static_cast<std::size_t>(row)];
    doc.chirpDetails().remember({imported.frequency,
                                 bank,
                                 imported.chirpCells,
                                 {cp932ToUtf8(channel.comment), channel.mode, channel.step,
                                  channel.ctcss, (channel.bankMask & (1 << kPassBank)) != 0}});
}

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
    // Stored in ascending order of frequency, so that each new channel
    // lands at or near the end of the table instead of moving the rows.
    std::vector<const CsvChannel*> inOrder;
    inOrder.reserve(plan.channels.size());
    for (const CsvChannel& channel : plan.channels)
        inOrder.push_back(&channel);
    std::stable_sort(inOrder.begin(), inOrder.end(), [](const CsvChannel* a, const CsvChannel* b) {
        return a->frequency < b->frequency;
    });
    std::vector<const CsvChannel*> fresh;
    std::vector<CFrequencyData> records;
    for (const CsvChannel* channel : inOrder) {
        const bool repeated = !fresh.empty() && fresh.back()->frequency == channel->frequency;
        if (repeated || table.findChannel(channel->frequency) >= 0) {
            ++outcome.merged;
            continue;
        }
        fresh.push_back(channel);
        records.push_back(tunedRecordFor(doc, *channel));
    }
    if (!records.empty() && table.storeChannels(records).empty())
        return outcome; // cannot happen: the room was counted above
    // Comments row by row, banks in one edit per bank: every bank edit
    // counts the whole table again.
    std::vector<int> bankRows;
    std::vector<int> passRows;
    for (const CsvChannel* channel : fresh) {
        const int row = table.findChannel(channel->frequency);
        table.setChannelComments({row}, channel->comment);
        (channel->pass ? passRows : bankRows).push_back(row);
    }
    table.setChannelBanks(bankRows, bank, false);
    table.setChannelBanks(passRows, kPassBank, false);
    for (const CsvChannel* channel : fresh)
        rememberChirpRow(doc, *channel, bank);
    outcome.stored = static_cast<int>(fresh.size());
    outcome.applied = true;
    return outcome;
}

} // namespace kovo
