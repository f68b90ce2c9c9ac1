#pragma once
#include "DocumentPart.h"
#include "OperatingMode.h"
#include "SoftSetting.h"

namespace kovo {

// The switches toggleSwitch flips: six of the operating parameters, the
// decoder mode (which cycles) and two program settings.
enum class SwitchKind {
    Pause = 0,
    VoiceSquelch = 1,
    Logging = 2,
    Afc = 3,
    NoiseBlanker = 4,
    Ctcss = 5,
    DecoderMode = 6, // cycles 0..4
    Dtmf = 7,        // program setting "DTMF"
    Elm = 8,         // program setting "ELM"
};

// The operating parameters stored with the document: the operating mode,
// the scan timing and the switches of the panels.
class StoredParameters : public DocumentPart {
public:
    using DocumentPart::DocumentPart;

    void setDelaySeconds(int seconds);
    // The pause of the current auto-store setting.
    void setPauseSeconds(int seconds);
    void setSubStep(int subStep);
    // The view the database panel shows; a choice of display that the file
    // keeps but that changes nothing the user made.
    void showDatabaseView(int view) { contents().controlParams.databaseView = view; }
    // Stores the operating mode. `isChange` is false for the mode the program
    // starts in, which changes nothing the user made.
    void setOperatingMode(OperatingMode mode, bool isChange);

    // Each returns the new value, or -1 for an index outside its range.
    int toggleModeEnabled(int m);
    int toggleModeFilter();
    int toggleAutoMode();
    int toggleStepAdjust();
    int togglePriorityScan();
    int toggleSwitch(SwitchKind kind);
    // The monitor key's F/G switch and auto-store.
    int toggleMonitor();
    int toggleAutoStore();

    // Asks for a program setting to change: the application stores it and
    // updates the settings the document reads. The Dtmf and Elm switches
    // and the database's multi-bank mode use it.
    Notices<SoftSettingChange>& softSettingChanges() { return softSettings_; }
    void changeSoftSetting(SoftSetting which, int value) const {
        softSettings_.notify({which, value});
    }

private:
    // Inverts a 0/1 parameter, marks the document and returns the new value.
    int invert(std::int32_t& flag);

    Notices<SoftSettingChange> softSettings_;
};

} // namespace kovo
