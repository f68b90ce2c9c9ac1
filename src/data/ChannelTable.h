#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "DocumentPart.h"
#include "UiText.h"

namespace kovo {

// The memory channels: kept sorted by frequency, each frequency once, at
// most 5000 of them, with the priority channel and the per-bank counts.
// Rows handed in are checked: a row outside the table changes nothing, and a
// list of rows may come in any order and repeat a row.
class ChannelTable : public DocumentPart {
public:
    using DocumentPart::DocumentPart;

    // What a refused store of a new channel tells the user (UTF-8).
    // Shown through uiText("ChannelTable", ...), which translates it.
    static constexpr const char* kChannelTableFullMessage = KOVO_TRANSLATE_NOOP(
        "ChannelTable",
        "メモリーチャンネルが一杯です（最大 5000 チャンネル）。新しいチャンネルは登録できません。");

    // Index of the channel at exactly `f`, or -1; sets insertPosition (on a
    // miss: the number of channels below f).
    int findChannel(std::uint32_t f);
    int insertPosition() const { return insertPosition_; }

    // Stores `f` with the settings of mainRecord. A frequency that is already
    // stored is overwritten in place; any other is inserted where the table
    // stays sorted. A new channel stored by auto-store gets no tone and the
    // auto-store comment; `heard` and `s` start its signal history. Returns
    // the row, or -1 when a new channel does not fit (5000 channels): nothing
    // changes then and the caller may show kChannelTableFullMessage.
    [[nodiscard]] int storeChannel(std::uint32_t f, bool autoStored = false, int heard = 0,
                                   std::int32_t s = 0);
    // Stores many channels at once, each as storeChannel would store its
    // frequency with that record standing in for mainRecord: the same table,
    // the same notice per row, but the banks are counted once for the whole
    // batch. Returns the row of each record as it stands after the batch, or
    // nothing (and nothing changes) when the new channels do not all fit.
    [[nodiscard]] std::vector<int> storeChannels(const std::vector<CFrequencyData>& tuned);
    // Takes the channel at `from` out and puts it at `to`; false if either row
    // is outside the table.
    [[nodiscard]] bool moveChannel(int from, int to);
    // Gives channel i the frequency f and moves it to the row that keeps the
    // table sorted; returns that row. -1 (nothing changed) when another
    // channel already has f or i is outside the table.
    [[nodiscard]] int setChannelFrequency(int i, std::uint32_t f);
    // Deletes the channels of `rows`; the row to select afterwards (the first
    // of the rows, kept inside the table), or -1 when no channel is left.
    int deleteChannels(const std::vector<int>& rows);
    // Channel i is put into the pass-channel bank alone.
    void makePassChannel(int i);
    // A signal report s on channel i; 1 when the channel changed.
    int recordReport(int i, std::int32_t s);

    // Channel `row` becomes the priority channel, alone in carrying the mark.
    void choosePriorityChannel(int row);
    void copyToPriorityRecord(int i);

    // Channels per memory bank.
    const std::array<int, kBankCount>& channelCountPerBank() const { return countPerBank_; }
    void countChannelsPerBank();

    // Edits of the channel list; each returns whether it touched a channel.
    bool setChannelBanks(const std::vector<int>& rows, int bank, bool multiBank);
    bool setChannelsCtcss(const std::vector<int>& rows, int tone);
    // Text typed into the list, in code page 932.
    bool setChannelComments(const std::vector<int>& rows, const std::string& text);
    // Marks the document and reports the rows of `rows` inside the table as
    // changed; false when `touched` is.
    bool afterRowsEdit(bool touched, const std::vector<int>& rows);

private:
    // storeChannel with `tuned` in place of mainRecord; the caller counts
    // the banks when a new row was made.
    int storeWithoutCount(std::uint32_t f, const CFrequencyData& tuned, bool autoStored, int heard,
                          std::int32_t s, bool& isNew);
    void insertEmptyRow(int row);
    void removeRow(int row);

    int insertPosition_ = 0;
    std::array<int, kBankCount> countPerBank_{};
};

} // namespace kovo
