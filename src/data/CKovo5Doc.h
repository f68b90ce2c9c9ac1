#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "AppSettings.h"
#include "ChannelOrder.h"
#include "Clock.h"
#include "DocumentChange.h"
#include "DocumentContents.h"
#include "FileResult.h"
#include "Notices.h"
#include "SoftSetting.h"

namespace kovo {

// The program's one document: the channel database, the log, the operating
// parameters and the two tuning records. The stored members live in
// DocumentContents (a base, so they read as doc.channels, doc.mainRecord, ...);
// this class adds the run-time values, the modified flag, the new-document
// values and reading and writing files.
//
// Reading and writing files never touch the serial port; the caller closes it
// before and reopens it after.
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

class CKovo5Doc : public DocumentContents {
public:
    // The settings and the clock must outlive the document.
    CKovo5Doc(const AppSettings& settings, const Clock& clock);

    const AppSettings& settings() const { return settings_; }
    const Clock& clock() const { return clock_; }

    // Starts a new, unmodified document (also done by the constructor).
    bool onNewDocument();

    // Reads a document file. A name ending in "kvx" (any case) is read as the
    // older format. On failure the document is left exactly as it was and the
    // result carries the message to show.
    [[nodiscard]] FileResult openDocument(const std::string& path);
    // Writes the current format to a temporary file beside `path`, flushes it
    // to disk and renames it over `path`; a failure leaves any previous file
    // untouched. Clears the modified flag on success.
    [[nodiscard]] FileResult saveDocument(const std::string& path);

    // The same in memory: the bytes of the current format, and reading from
    // bytes (`fileName` is what the messages call the file, `legacy` selects
    // the older format).
    std::vector<std::uint8_t> toBytes() const;
    [[nodiscard]] FileResult readBytes(const std::vector<std::uint8_t>& bytes,
                                       const std::string& fileName, bool legacy);

    // What changed, for any number of listeners. The operations below report
    // their own changes; starting a new document and reading one report
    // DocumentReplaced.
    Notices<DocumentChange>& changes() { return changes_; }

    // Every operation below that changes stored data sets the flag itself.
    // From outside only opening, saving, New and filling a demo document set
    // it: to false, or to true after a read that changed the table.
    bool isModified() const { return modified_; }
    void setModified(bool modified = true) { modified_ = modified; }

    // True when a file of this name is read in the older format.
    static bool isLegacyFileName(const std::string& path);

    // Where row `row` of the table before the last new document or read
    // stands now: 0 after a new document, else where putting the read
    // channels in order took it.
    int rowAfterReplacement(int row) const;

    // Set by every channel look-up: on a miss, the number of channels below
    // the frequency looked up.
    int insertPosition = 0;
    std::array<CAutoBank, kRangeCount> autoRangeClipboard;
    int autoRangeClipboardCount = 0;

    // ---- operations (CKovo5DocOperations.cpp) ----
    // Indices handed in (rows, banks, kinds) are checked: an index outside its
    // table changes nothing, and a list of rows may come in any order and
    // repeat a row. Operations that change stored data mark the document
    // modified.

    // -- channel table --
    // Index of the channel at exactly `f`, or -1; sets insertPosition (on a
    // miss: the number of channels below f).
    int findChannel(std::uint32_t f);
    // mainRecord takes the bank mask, comment and bank number of channel i.
    void takeChannelInfo(int i);
    // mainRecord gets bank 0 only, an empty comment and bank number 0.
    void clearChannelInfo();
    // Channel i into mainRecord by the copy rule.
    void recallChannel(int i);

    // What a refused store of a new channel tells the user (UTF-8).
    static constexpr const char* kChannelTableFullMessage =
        "メモリーチャンネルが一杯です（最大 5000 チャンネル）。新しいチャンネルは登録できません。";
    // Stores `f` with the settings of mainRecord. A frequency that is already
    // stored is overwritten in place; any other is inserted where the table
    // stays sorted. A new channel stored by auto-store gets no tone and the
    // auto-store comment; `heard` and `s` start its signal history. Returns
    // the row, or -1 when a new channel does not fit (5000 channels): nothing
    // changes then and the caller may show kChannelTableFullMessage.
    [[nodiscard]] int storeChannel(std::uint32_t f, bool autoStored = false, int heard = 0,
                                   std::int32_t s = 0);
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

    // -- priority channel --
    // Channel `row` becomes the priority channel, alone in carrying the mark.
    void choosePriorityChannel(int row);
    void copyToPriorityRecord(int i);

    // -- counts and masks --
    std::array<int, kBankCount> channelCountPerBank{};
    void countChannelsPerBank();
    // Bank mask of the banks in the current link set.
    std::uint32_t linkMask() const;
    // Bank numbers and counts, after the document was started or read.
    void recountDerivedValues();

    // -- tuning record and scan timing (CKovo5DocEdits.cpp) --
    // The tuned record's mode with its IF bandwidth, its step and its
    // attenuator; the tone and tone-eliminator value of `record`, the main
    // or the priority record.
    void setTunedMode(int mode, int ifBandwidth);
    void setTunedStep(int step);
    void setTunedAttenuator(int attenuator);
    void setTunedAntenna(int antenna);
    // Every field of the tuned record at once, as another program sets it.
    void setTunedRecord(const CFrequencyData& record);
    void setTone(CFrequencyData& record, int tone);
    void setTElm(CFrequencyData& record, int value);
    void setDelaySeconds(int seconds);
    // The pause of the current auto-store setting.
    void setPauseSeconds(int seconds);
    void setSubStep(int subStep);
    // Stores the operating mode. `isChange`
    // is false for the mode the program starts in, which changes nothing
    // the user made.
    void setOperatingMode(OperatingMode mode, bool isChange);
    // The AF gain lives in the program settings, but moving it counts as a
    // change of the document, as it always has.
    void noteAfGainMoved() { setModified(); }

    // -- database list edits (CKovo5DocEdits.cpp) --
    // Rows of one table of DatabaseEdits.h; each returns whether it touched a
    // record.
    bool setChannelBanks(const std::vector<int>& rows, int bank, bool multiBank);
    bool setRowsStep(int table, const std::vector<int>& rows, int step);
    bool setRowsMode(int table, const std::vector<int>& rows, int mode);
    bool setRowsAttenuator(int table, const std::vector<int>& rows, int attenuator);
    bool setRowsIfBandwidth(int table, const std::vector<int>& rows, int ifBandwidth);
    bool setRowsAntenna(int table, const std::vector<int>& rows, int antenna);
    bool setChannelsCtcss(const std::vector<int>& rows, int tone);
    // Use flags of banks (of the current link set), search banks, pass
    // ranges or auto-mode ranges.
    bool setUseFlags(int table, const std::vector<int>& rows, bool on);
    // Texts typed into the lists, in code page 932.
    bool setChannelComments(const std::vector<int>& rows, const std::string& text);
    bool setBankNames(const std::vector<int>& rows, const std::string& text);
    bool setRangeComments(int table, const std::vector<int>& rows, const std::string& text);
    bool setSearchStrings(const std::vector<int>& rows, const std::string& text);
    // Both edges of search bank, pass range or auto-mode range `row`, the
    // lower first whatever order they come in.
    bool setRangeEdges(int table, int row, std::uint32_t a, std::uint32_t b);
    bool renameLinkSet(int k, const std::string& name);

    // -- tuning record --
    void normaliseFrequency();
    void loadSearchBank(int k);
    // Log entry r (0 = oldest) into mainRecord.
    void recallLogEntry(int r);
    int stepIfBandwidth(bool up);

    // -- log ring --
    // Called with the source's frequency, the entry's time and the source's
    // comment whenever a log entry is opened (the recorder link listens).
    std::function<void(std::uint32_t frequency, std::int32_t time, const std::string& comment)>
        onLogEntryOpened;
    // Opens an entry for `source` (the record the receiver is tuned to); 1
    // when the oldest entry was replaced.
    int openLogEntry(const CFrequencyData& source, std::int32_t s);
    // Row of the newest entry, or -1 when nothing changed or the log is empty.
    int updateNewestLogEntry(std::int32_t s);
    void clearLog();

    // Result of the last log analysis: how often the analysed frequency was
    // heard, by hour of day and by weekday (Sunday = 0), local time.
    struct LogAnalysis {
        std::uint32_t frequency = 0;
        std::string comment;
        std::array<int, 24> hourCounts{};
        std::array<int, 7> weekdayCounts{};
        int sampleCount = 0;
        int largestHourCount = 0;
        int largestWeekdayCount = 0;
    };
    LogAnalysis logAnalysis;
    // Analyses the frequency of log entry `row`; false (and the previous
    // result kept) when that row is not a log entry.
    bool analyseLog(int row);

    // -- auto-mode range clipboard --
    // Cuts the ranges of `rows` into the clipboard; pastes the clipboard after
    // the first of `rows`.
    void cutAutoRanges(const std::vector<int>& rows);
    void pasteAutoRanges(const std::vector<int>& rows);

    // -- bank-link sets, search banks, switches --
    void setLinkFlags(std::uint32_t bits);
    void setSearchBanksInUse(std::uint32_t bits);
    // Makes link set k current; false for k outside 0..19.
    bool setCurrentLinkSet(int k);

    // Each returns the new value, or -1 for an index outside its range.
    int toggleModeEnabled(int m);
    int toggleModeFilter();
    int toggleAutoMode();
    int toggleStepAdjust();
    int togglePriorityScan();
    int toggleSwitch(SwitchKind kind);
    // The monitor key's F/G switch and auto-store, both stored in the file.
    int toggleMonitor();
    int toggleAutoStore();
    // Asks for a program setting to change: the application stores it and
    // updates the settings the document reads. The Dtmf and Elm switches
    // and the database's multi-bank mode use it.
    Notices<SoftSettingChange>& softSettingChanges() { return softSettings_; }
    void changeSoftSetting(SoftSetting which, int value) const {
        softSettings_.notify({which, value});
    }

    // -- text export --
    // kind 0 = memory channels, 1 = log; csv chooses the form. Without `csv`
    // the form follows the file name (".txt" or none: columns; else CSV).
    [[nodiscard]] FileResult exportFile(const std::string& path, int kind, bool csv) const;
    [[nodiscard]] FileResult exportFile(const std::string& path, int kind) const;

    // ---- end of operations ----

private:
    void afterSuccessfulRead(const ChannelOrderChange& order);
    // Marks the document and reports the rows of `table` an edit touched.
    bool afterRowsEdit(bool touched, int table, const std::vector<int>& rows);

    const AppSettings& settings_;
    const Clock& clock_;
    void notify(DocumentChange::Kind kind, int row = -1, int toRow = -1) const {
        changes_.notify({kind, row, toRow, false});
    }

    bool modified_ = false;
    ChannelOrderChange lastOrder_;
    bool startedNew_ = true;
    Notices<DocumentChange> changes_;
    Notices<SoftSettingChange> softSettings_;
};

} // namespace kovo
