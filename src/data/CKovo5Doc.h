#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "AppSettings.h"
#include "BanksAndLinkSets.h"
#include "ChannelOrder.h"
#include "ChannelTable.h"
#include "ChirpDetails.h"
#include "Clock.h"
#include "DocumentChange.h"
#include "DocumentContents.h"
#include "DocumentPart.h"
#include "FileResult.h"
#include "ListEdits.h"
#include "LogRing.h"
#include "Notices.h"
#include "Ranges.h"
#include "SoftSetting.h"
#include "StoredParameters.h"
#include "TuningRecord.h"

namespace kovo {

// The program's one document: the contents of a document file (a base, so
// they read as doc.channels, doc.mainRecord, ...) and the parts that change
// them, each with one job: the channel table, the log, the banks and link
// sets, the ranges, the stored parameters and the tuned record. The document
// itself starts new documents, reads and writes files and keeps the modified
// flag, which every part marks.
//
// Reading and writing files never touch the serial port; the caller closes it
// before and reopens it after.
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

    // What changed, for any number of listeners: everything the parts report,
    // and DocumentReplaced when a document is started or read.
    Notices<DocumentChange>& changes() { return changes_; }

    // Every operation of a part that changes stored data sets the flag
    // itself. From outside only opening, saving, New and filling a demo
    // document set it: to false, or to true after a read that changed the
    // table.
    bool isModified() const { return modified_.isSet(); }
    void setModified(bool modified = true) { modified_.set(modified); }
    // The AF gain lives in the program settings, but moving it counts as a
    // change of the document, as it always has.
    void noteAfGainMoved() { setModified(); }

    // True when a file of this name is read in the older format.
    static bool isLegacyFileName(const std::string& path);

    // Where row `row` of the table before the last new document or read
    // stands now: 0 after a new document, else where putting the read
    // channels in order took it.
    int rowAfterReplacement(int row) const;

    // ---- the parts ----
    ChannelTable& channelTable() { return table_; }
    const ChannelTable& channelTable() const { return table_; }
    LogRing& log() { return log_; }
    const LogRing& log() const { return log_; }
    BanksAndLinkSets& banks() { return banks_; }
    const BanksAndLinkSets& banks() const { return banks_; }
    Ranges& ranges() { return ranges_; }
    StoredParameters& parameters() { return parameters_; }
    TuningRecord& tuning() { return tuning_; }
    ListEdits& listEdits() { return listEdits_; }
    // What imported CHIRP lists said beyond the file's fields; read and
    // written beside the document with it, emptied by a new document.
    ChirpDetails& chirpDetails() { return chirpDetails_; }
    const ChirpDetails& chirpDetails() const { return chirpDetails_; }

    static constexpr const char* kChannelTableFullMessage = ChannelTable::kChannelTableFullMessage;

    // Bank numbers and counts, after the document was started or filled.
    void recountDerivedValues();

    // -- text export --
    // kind 0 = memory channels, 1 = log; csv chooses the form. Without `csv`
    // the form follows the file name (".txt" or none: columns; else CSV).
    [[nodiscard]] FileResult exportFile(const std::string& path, int kind, bool csv) const;
    [[nodiscard]] FileResult exportFile(const std::string& path, int kind) const;

private:
    PartContext partContext() { return {*this, settings_, clock_, modified_}; }
    void afterSuccessfulRead(const ChannelOrderChange& order);
    void onPartChange(const DocumentChange& change);

    const AppSettings& settings_;
    const Clock& clock_;
    ModifiedFlag modified_;
    Notices<DocumentChange> changes_;
    ChannelTable table_;
    LogRing log_;
    BanksAndLinkSets banks_;
    Ranges ranges_;
    StoredParameters parameters_;
    TuningRecord tuning_;
    ListEdits listEdits_;
    ChirpDetails chirpDetails_;
    std::array<Subscription, 6> partSubscriptions_;
    ChannelOrderChange lastOrder_;
    bool startedNew_ = true;
};

} // namespace kovo
