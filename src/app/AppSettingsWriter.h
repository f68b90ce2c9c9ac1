#pragma once
#include "data/AppSettings.h"

#include <functional>
#include <string>

namespace kovo {

class SettingsStore;

// The six receiver option flags, stored together.
struct ReceiverOptions {
    int afc = 0;
    int ctcss = 0;
    int decoder = 0;
    int nb = 0;
    int sam = 0;
    int filter = 0;

    static ReceiverOptions from(const AppSettings& settings);
    bool operator==(const ReceiverOptions&) const = default;
};

// Every change of a setting goes through here: the AppSettings field changes
// and the store is written at once, one value or group at a time. There is no
// save-all at exit. A store that cannot be written is reported once, at the
// first write that fails: the settings still change for this run.
class AppSettingsWriter {
public:
    AppSettingsWriter(AppSettings& settings, SettingsStore& store);

    // Called at the first write that does not reach the store's file.
    void setWriteFailureReporter(std::function<void()> report) { report_ = std::move(report); }

    const AppSettings& settings() const { return settings_; }

    void setPosition(int x, int y);
    void setShowTitle(int shown);
    void setShowControls(int control1, int control2);
    void setShowDataBase(int shown);
    void setPort(int portNum, int commSpeed);
    void setDevice(int device);
    void setAfGain(int gain);
    void setCwPitch(int pitch);
    void setBandWidths(int nfm, int wfm, int am);
    void setTopMost(int topMost);
    void setAfGainRange(int range);
    void setPowerControl(int powerControl);
    void setOptions(const ReceiverOptions& options);
    void setDtmf(int shown);
    void setElm(int shown);
    void setMbMultiSelect(int multiSelect);
    // The device path COM<portNumber> opens (1..4); other numbers are ignored.
    void setComDevice(int portNumber, const std::string& path);
    // The receiver kind and the Hamlib radio, stored together.
    void setHamlib(int useHamlib, int model, const std::string& port, int speed);
    // How a Hamlib radio's squelch is read: its own report (DCD), or its
    // strength against the threshold (dB relative to S9).
    void setHamlibSquelch(bool useDcd, int thresholdDb);

private:
    void store(int AppSettings::*field, int value);
    void reportFailedWrite();

    AppSettings& settings_;
    SettingsStore& store_;
    std::function<void()> report_;
    bool failureReported_ = false;
};

} // namespace kovo
