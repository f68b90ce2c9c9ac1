#pragma once
#include "ChannelTable.h"
#include "DocumentPart.h"

namespace kovo {

// The main record, what the receiver is to be tuned to: the panels set its
// fields one by one, and channels, log entries and search banks are recalled
// into it.
class TuningRecord : public DocumentPart {
public:
    // The channel table is looked up when a log entry is recalled.
    TuningRecord(const PartContext& context, ChannelTable& table)
        : DocumentPart(context), table_(table) {}

    // The tuned record's mode with its IF bandwidth, its step, its
    // attenuator and its antenna; the tone and tone-eliminator value of
    // `record`, the main or the priority record.
    void setTunedMode(int mode, int ifBandwidth);
    void setTunedStep(int step);
    void setTunedAttenuator(int attenuator);
    void setTunedAntenna(int antenna);
    // Every field of the tuned record at once, as another program sets it.
    void setTunedRecord(const CFrequencyData& record);
    void setTone(CFrequencyData& record, int tone);
    void setTElm(CFrequencyData& record, int value);
    // Steps the IF bandwidth up or down, skipping the filter the receiver
    // lacks; returns the new value.
    int stepIfBandwidth(bool up);

    // mainRecord takes the bank mask, comment and bank number of channel i.
    void takeChannelInfo(int i);
    // mainRecord gets bank 0 only, an empty comment and bank number 0.
    void clearChannelInfo();
    // Channel i into mainRecord by the copy rule.
    void recallChannel(int i);
    // Log entry r (0 = oldest) into mainRecord.
    void recallLogEntry(int r);
    void loadSearchBank(int k);
    // Puts the tuned frequency on the grid of its step or of the auto-mode
    // range it lies in, and takes that range's settings.
    void normaliseFrequency();

private:
    ChannelTable& table_;
};

} // namespace kovo
