#pragma once
#include "data/OperatingMode.h"
#include "data/TypedFrequency.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace kovo {

struct AppSettings;
class BandScope;
class CKovo5Doc;
class DatabaseHold;
class OperatingModes;
class ScanState;
class ReceiverFeatures;
struct ReceiverDescription;
struct CFrequencyData;
class ViewSink;

// What every front end does to the receiver: the front panel, the window bus
// and the network server all call these. Each operation changes the document
// (marking it modified when stored data changed), lets the scan parts follow
// and tells the view through its sink. Nothing here talks to the receiver:
// the polling loop sends what changed.
class ReceiverOperations {
public:
    struct Seams {
        CKovo5Doc& doc;
        ScanState& state;
        const AppSettings& settings;
        BandScope& scope;
        ViewSink& view;
        // Switches the operating mode with everything that goes with it
        // (the core's OperatingModes).
        std::function<void(OperatingMode)> applyOperatingMode;
        // Asks the polling loop for its next command at once.
        std::function<void()> sendNext;
        // What the receiver on the line can do (its range narrows the
        // description's); none before a link exists.
        const ReceiverFeatures* features = nullptr;
        // The receiver on the line (the link's, which may be a stand-in
        // for the one the settings name); none: the settings' receiver.
        std::function<const ReceiverDescription&()> receiver = {};
        // One step of the scan running in `mode` (memory scan, program
        // search or the 1 MHz scan; the core's ScanSteps).
        std::function<void(OperatingMode)> stepScan;
        // Flips the priority watch and starts or stops its interval (the
        // core's ScanEngine).
        std::function<void()> togglePriority;
        // The rows picked by hand in the database panel, and its hold;
        // none while the panels run without a core.
        OperatingModes* modes = nullptr;
        DatabaseHold* hold = nullptr;
    };

    explicit ReceiverOperations(Seams seams);

    // ---- operating mode ----
    void setOperatingMode(OperatingMode mode);
    OperatingMode operatingMode() const;
    // Whether a typed frequency (a panel field, another program) is taken
    // now: always in VFO and the static band scope, in the 1 MHz scan and the
    // active band scope only while tuned by hand.
    [[nodiscard]] bool takesTypedFrequency() const;
    // Whether the keypad tunes: in both band scopes and VFO.
    [[nodiscard]] bool takesKeypadFrequency() const;

    // ---- tuning ----
    // Whether the receiver in use tunes `hz`, as its description says.
    [[nodiscard]] bool canTune(std::uint32_t hz) const;
    // The frequencies the receiver in use tunes: its description's range,
    // narrowed by what the receiver on the line reports. Typed frequencies
    // are read against it.
    [[nodiscard]] FrequencyRange tuningRange() const;
    // Tunes `hz` as given, off the step grid, named after a channel stored
    // there; false, and nothing changed, when the receiver cannot tune it.
    [[nodiscard]] bool tuneExactly(std::uint32_t hz);
    // Stops a scan and tunes `hz` in VFO, as typing it would; false, and
    // nothing changed, when the receiver cannot tune it.
    [[nodiscard]] bool tuneInVfo(std::uint32_t hz);
    // Every way of tuning ends here: the frequency is kept within the
    // receiver's range, put on the step grid (which may fall below the lowest
    // frequency, so it is limited again) and named after a stored channel.
    void tuneTo(std::int64_t hz);
    // `steps` main steps up (negative: down), or sub-steps.
    void tuneBySteps(int steps, bool subStep);
    // Typed text in units of `unitHz` (1,000,000: megahertz; 1,000: kilohertz).
    // False, and nothing tuned, when the text is not wholly a number.
    [[nodiscard]] bool tuneToTyped(std::string_view text, std::uint64_t unitHz);

    // ---- the tuned record ----
    // The receiver mode of mode key `key` (0 NFM .. 5 CW; with the synchronous
    // AM option the AM key cycles AM, SAM, SAL, SAH) and the IF bandwidth it
    // brings with it.
    void selectReceiverMode(int key);
    // Whether the receiver offers mode `mode` (0 NFM .. 8 SAH): the
    // synchronous AM modes need their option.
    [[nodiscard]] bool offersMode(int mode) const;
    // Receiver mode `mode` with IF bandwidth `ifBandwidth`; with none (or one
    // that is not in the table) the bandwidth the mode key would bring.
    // False, and nothing changed, for a mode outside the table.
    [[nodiscard]] bool setReceiverMode(int mode, std::optional<int> ifBandwidth);
    // The IF bandwidth alone; false, and nothing changed, outside the table.
    [[nodiscard]] bool setIfBandwidth(int ifBandwidth);
    // The antenna (0..3); false, and nothing changed, outside that.
    [[nodiscard]] bool setAntenna(int antenna);
    // A whole tuned record from another program; false, and nothing
    // changed, when the receiver cannot tune its frequency or a value is
    // outside its table.
    [[nodiscard]] bool replaceTunedRecord(const CFrequencyData& record);
    // The tuning step `stepIndex`; each operating mode follows it its own way
    // (the band scopes re-centre their window, VFO snaps to the new grid).
    void chooseStep(int stepIndex);
    // The attenuator (0 off, 1 on); false, and nothing changed, in memory
    // scan, where each channel brings its own.
    [[nodiscard]] bool chooseAttenuator(int attenuator);
    // The tone (CTCSS index) and the T-ELM value of the record tuned now.
    void setTone(int tone);
    void setTElm(int value);

    // The direction the pad or the knob last moved (1 up, 0 down): the scans
    // and the band scope's sweep go on that way.
    void setDirection(int direction);
    // One move of the pad, the knob or a remote's up and down keys in
    // `direction` (1 up, 0 down): the direction is kept, each scan takes one
    // step, VFO tunes as `tuneVfo` says (one main step that way without it).
    // False in the band scopes, which only take the direction.
    bool stepOnce(int direction, const std::function<void()>& tuneVfo = {});
    // The priority watch on or off.
    void togglePriority();
    // Tone search on or off; switched on, it starts from no tone.
    bool toggleToneSearch();

    // ---- band scope ----
    // The active sweep runs on by itself again after it was tuned by hand.
    void resumeScopeSweep();
    // A click on the scope at `hz`, named after a channel stored there. With
    // `holdAtPoint` the active sweep stands on that point and stays there
    // (tuned by hand).
    void tuneFromScope(std::uint32_t hz, std::optional<int> holdAtPoint);
    // Span-list row `row` (0 to 6) in the band scopes; other modes ignore it.
    void chooseScopeSpan(int row);

    // ---- the database panel ----
    // The user picked a channel, a log entry (0 = oldest) or a search bank:
    // it is tuned by hand where the operating mode takes it.
    void channelChosenByHand(int row);
    void logEntryChosenByHand(int r);
    void searchBankChosenByHand(int k);
    // While the user works in the lists they stop following the receiver:
    // for five seconds from the last call, or until released.
    void holdDatabase();
    void holdDatabaseUntilCleared();
    void releaseDatabaseHold();
    [[nodiscard]] bool databaseHeld() const;

    // ---- scan timing ----
    void setDelaySeconds(int seconds);
    // The pause time that applies now (with or without auto-store).
    void setPauseSeconds(int seconds);
    // The sub-step used when the sub-step key is held.
    void setSubStep(int subStep);

    // ---- the panels' switches ----
    enum class PanelSwitch {
        Monitor,      // MONI: the squelch held open
        Pause,        // the scan pauses on a signal
        VoiceSquelch, // VCS
        Logging,      // LOG
        AutoStore,    // AS-M
        AutoMode,     // AUTO: the mode follows the band
        StepAdjust,   // ADJ
        ModeFilter,   // the memory scan skips modes switched off
        ModeEnabled,  // one mode's place in that filter (index 0 NFM .. 5 CW)
    };
    // Flips a switch and returns its new value, or -1 (nothing changed) for
    // an index outside its range.
    int toggle(PanelSwitch which, int index = 0);

    // ---- banks ----
    // Link set `k` (0..19) becomes the current one, and a running memory
    // scan starts again so that it runs over the new set's banks; false, and
    // nothing changed, outside that. Every front end chooses a set this way.
    bool chooseLinkSet(int k);
    // Which banks the current link set reaches, and which search banks the
    // program search uses, as bit masks.
    void setLinkFlags(std::uint32_t bits);
    void setSearchBanksInUse(std::uint32_t bits);

    // ---- storing ----
    enum class StoreResult {
        Stored,        // row names the channel
        NotInThisMode, // memory scan tunes stored channels only
        Declined,      // the frequency is stored and overwriting was declined
        TableFull,     // 5000 channels: show CKovo5Doc::kChannelTableFullMessage
    };
    struct StoreOutcome {
        StoreResult result = StoreResult::Stored;
        int row = -1;
    };
    // Stores the tuned frequency as a channel with the tuned settings and
    // selects it in the list. `confirmOverwrite` is asked when the frequency
    // is stored already.
    [[nodiscard]] StoreOutcome storeTunedFrequency(const std::function<bool()>& confirmOverwrite);
    // Stores a frequency heard before (a hit of the history) as +MEM does, with
    // the same refusals and question, but with that hit's mode (by its label,
    // e.g. "NFM", and the IF bandwidth the mode brings) and, when it has one,
    // its comment (UTF-8).
    [[nodiscard]] StoreOutcome storeHeardFrequency(std::uint32_t hz, std::string_view modeLabel,
                                                   std::string_view comment,
                                                   const std::function<bool()>& confirmOverwrite);
    // Puts the tuned frequency into the pass-channel bank alone (storing it
    // first when needed), selects it and applies the operating mode again.
    [[nodiscard]] StoreOutcome passTunedFrequency();

private:
    const ReceiverDescription& receiver() const;

    Seams s_;
};

} // namespace kovo
