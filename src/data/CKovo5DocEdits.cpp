// The document's small edits: the tuned record and the scan timing as the
// panels set them, and what the database lists change in their tables. Each
// marks the document modified and reports the rows a list shows.
#include <utility>

#include "CKovo5Doc.h"
#include "DatabaseEdits.h"

namespace kovo {
namespace {

std::size_t at(int i) {
    return static_cast<std::size_t>(i);
}

bool isRangeTable(int table) {
    return table == edits::SearchBanks || table == edits::PassRanges || table == edits::AutoRanges;
}

// Calls edit(k) for each of `rows` that lies in 0..limit-1; true when there
// was one.
template <typename Edit> bool editRowsBelow(const std::vector<int>& rows, int limit, Edit edit) {
    bool touched = false;
    for (int row : rows) {
        if (row < 0 || row >= limit)
            continue;
        edit(at(row));
        touched = true;
    }
    return touched;
}

} // namespace

// ---- tuning record and scan timing ----

void CKovo5Doc::setTunedMode(int mode, int ifBandwidth) {
    mainRecord.mode = mode;
    mainRecord.ifBandwidth = ifBandwidth;
    setModified();
}

void CKovo5Doc::setTunedStep(int step) {
    mainRecord.step = step;
    setModified();
}

void CKovo5Doc::setTunedAttenuator(int attenuator) {
    mainRecord.attenuator = attenuator;
    setModified();
}

void CKovo5Doc::setTunedAntenna(int antenna) {
    mainRecord.antenna = antenna;
    setModified();
}

void CKovo5Doc::setTunedRecord(const CFrequencyData& record) {
    mainRecord = record;
    setModified();
}

void CKovo5Doc::setTone(CFrequencyData& record, int tone) {
    record.ctcss = tone;
    setModified();
}

void CKovo5Doc::setTElm(CFrequencyData& record, int value) {
    record.tElm = value;
    setModified();
}

void CKovo5Doc::setDelaySeconds(int seconds) {
    controlParams.delaySeconds = seconds;
    setModified();
}

void CKovo5Doc::setPauseSeconds(int seconds) {
    controlParams.pauseSeconds() = seconds;
    setModified();
}

void CKovo5Doc::setSubStep(int subStep) {
    controlParams.subStep = subStep;
    setModified();
}

void CKovo5Doc::setOperatingMode(OperatingMode mode, bool isChange) {
    controlParams.setMode(mode);
    if (isChange)
        setModified();
}

// ---- database list edits ----

bool CKovo5Doc::afterRowsEdit(bool touched, int table, const std::vector<int>& rows) {
    if (!touched)
        return false;
    setModified();
    using Kind = DocumentChange::Kind;
    if (table == edits::Channels) {
        for (int row : rows)
            if (row >= 0 && row < channelCount)
                notify(Kind::ChannelChanged, row);
    } else if (table == edits::Banks) {
        notify(Kind::BanksChanged);
    } else if (isRangeTable(table)) {
        notify(Kind::RangesChanged);
    }
    return true;
}

bool CKovo5Doc::setChannelBanks(const std::vector<int>& rows, int bank, bool multiBank) {
    const bool touched = edits::setBankMembership(*this, rows, bank, multiBank);
    if (touched)
        countChannelsPerBank();
    return afterRowsEdit(touched, edits::Channels, rows);
}

bool CKovo5Doc::setRowsStep(int table, const std::vector<int>& rows, int step) {
    return afterRowsEdit(edits::setStep(*this, table, rows, step), table, rows);
}

bool CKovo5Doc::setRowsMode(int table, const std::vector<int>& rows, int mode) {
    return afterRowsEdit(edits::setMode(*this, table, rows, mode, settings()), table, rows);
}

bool CKovo5Doc::setRowsAttenuator(int table, const std::vector<int>& rows, int attenuator) {
    return afterRowsEdit(edits::setAttenuator(*this, table, rows, attenuator), table, rows);
}

bool CKovo5Doc::setRowsIfBandwidth(int table, const std::vector<int>& rows, int ifBandwidth) {
    return afterRowsEdit(edits::setIfBandwidth(*this, table, rows, ifBandwidth), table, rows);
}

bool CKovo5Doc::setRowsAntenna(int table, const std::vector<int>& rows, int antenna) {
    return afterRowsEdit(edits::setAntenna(*this, table, rows, antenna), table, rows);
}

bool CKovo5Doc::setChannelsCtcss(const std::vector<int>& rows, int tone) {
    return afterRowsEdit(edits::setCtcss(*this, rows, tone), edits::Channels, rows);
}

bool CKovo5Doc::setUseFlags(int table, const std::vector<int>& rows, bool on) {
    const bool touched = edits::setUseFlag(*this, table, rows, on);
    return afterRowsEdit(touched, table, rows);
}

bool CKovo5Doc::setChannelComments(const std::vector<int>& rows, const std::string& text) {
    const bool touched =
        editRowsBelow(rows, channelCount, [&](std::size_t k) { channels[k]->comment = text; });
    return afterRowsEdit(touched, edits::Channels, rows);
}

bool CKovo5Doc::setBankNames(const std::vector<int>& rows, const std::string& text) {
    const bool touched =
        editRowsBelow(rows, kBankCount, [&](std::size_t k) { memoryBanks[k].name = text; });
    return afterRowsEdit(touched, edits::Banks, rows);
}

bool CKovo5Doc::setRangeComments(int table, const std::vector<int>& rows, const std::string& text) {
    if (!isRangeTable(table))
        return false;
    const bool touched = editRowsBelow(rows, kRangeCount, [&](std::size_t k) {
        if (table == edits::SearchBanks)
            searchBanks[k].comment = text;
        else if (table == edits::PassRanges)
            passRanges[k].comment = text;
        else
            autoRanges[k].comment = text;
    });
    return afterRowsEdit(touched, table, rows);
}

bool CKovo5Doc::setSearchStrings(const std::vector<int>& rows, const std::string& text) {
    const bool touched =
        editRowsBelow(rows, kSearchStringCount, [&](std::size_t k) { searchStrings[k] = text; });
    if (touched) {
        setModified();
        notify(DocumentChange::Kind::SearchStringsChanged);
    }
    return touched;
}

bool CKovo5Doc::setRangeEdges(int table, int row, std::uint32_t a, std::uint32_t b) {
    if (row < 0 || row >= kRangeCount || !isRangeTable(table))
        return false;
    if (a > b)
        std::swap(a, b);
    const std::size_t k = at(row);
    if (table == edits::SearchBanks) {
        searchBanks[k].startFrequency = a;
        searchBanks[k].stopFrequency = b;
    } else if (table == edits::PassRanges) {
        passRanges[k].lowFrequency = a;
        passRanges[k].highFrequency = b;
    } else {
        autoRanges[k].startFrequency = a;
        autoRanges[k].stopFrequency = b;
    }
    return afterRowsEdit(true, table, {row});
}

bool CKovo5Doc::renameLinkSet(int k, const std::string& name) {
    if (k < 0 || k >= kLinkSetCount)
        return false;
    linkSetNames[at(k)] = name;
    setModified();
    notify(DocumentChange::Kind::LinkSetsChanged);
    return true;
}

} // namespace kovo
