#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "AppSettings.h"
#include "Clock.h"
#include "DocumentContents.h"
#include "FileResult.h"

namespace kovo {

// The program's one document: the channel database, the log, the operating
// parameters and the two tuning records. The stored members live in
// DocumentContents (a base, so they read as doc.channels, doc.mainRecord, ...);
// this class adds the run-time values, the modified flag, the new-document
// values and reading and writing files.
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
    FileResult openDocument(const std::string& path);
    // Writes the current format to a temporary file beside `path`, flushes it
    // to disk and renames it over `path`; a failure leaves any previous file
    // untouched. Clears the modified flag on success.
    FileResult saveDocument(const std::string& path);

    // The same in memory: the bytes of the current format, and reading from
    // bytes (`fileName` is what the messages call the file, `legacy` selects
    // the older format).
    std::vector<std::uint8_t> toBytes() const;
    FileResult readBytes(const std::vector<std::uint8_t>& bytes, const std::string& fileName,
                         bool legacy);

    bool isModified() const { return modified_; }
    void setModified(bool modified = true) { modified_ = modified; }

    // True when a file of this name is read in the older format.
    static bool isLegacyFileName(const std::string& path);

    // ---- run-time values (never stored) ----
    int insertPosition = 0;   // set by every channel look-up
    std::vector<int> selection; // database-list rows handed over, ascending, at most 5000
    int scanPosition = 0;     // memory-scan position in channels
    std::uint32_t linkMask = 0; // bit b = bank b is in the current link set
    int reachableCount = 0;   // channels memory scan can reach
    int priorityCheck = 0;
    int priorityCheckApplied = 0;
    int newLogEntryMain = 0;     // 1 = the next hit opens a new log entry
    int newLogEntryPriority = 0;
    int toneSearch = 0;
    std::array<CAutoBank, kRangeCount> autoRangeClipboard;
    int autoRangeClipboardCount = 0;

    // ---- operations (CKovo5DocOperations.cpp) ----
    // Loading uses copyByCopyRule() and countReachableChannels() of
    // DocumentRules.h; the operations can build on them.

    // ---- end of operations ----

private:
    void afterSuccessfulRead();

    const AppSettings& settings_;
    const Clock& clock_;
    bool modified_ = false;
};

} // namespace kovo
