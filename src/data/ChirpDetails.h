#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "DocumentContents.h"
#include "FileResult.h"

// What a CHIRP channel list says that a document file cannot hold: the name
// apart from the comment, duplex and offset, the tone mode and DTCS code, the
// exact step (8.33 kHz), the location, and every other CHIRP column as it
// was. Kept beside the document in "<document>.chirp.json" so that the file
// itself stays exactly as the program writes it, and given back by the CHIRP
// export. Each imported row is keyed by its frequency and the bank it was
// imported into, which survive reordering and renaming; it also records what
// the import stored in the channel, so that an export can tell which of the
// channel's settings were changed since and write those from the channel.
namespace kovo {

// The receiver settings an imported row became.
struct ChirpStored {
    std::string comment; // UTF-8
    int mode = 0;
    int step = 0;
    int ctcss = 0;
    bool pass = false;
    bool operator==(const ChirpStored&) const = default;
};

struct ChirpRow {
    std::uint32_t frequency = 0;
    int bank = 0;
    std::vector<std::pair<std::string, std::string>> cells; // CHIRP column, text as read
    ChirpStored stored;

    // The text of column `name`, nullptr when the file had no such column.
    const std::string* cell(std::string_view name) const;
};

class ChirpDetails {
public:
    // Replaces any row of the same frequency and bank.
    void remember(ChirpRow row);
    const ChirpRow* find(std::uint32_t frequency, int bank) const;
    // The row for a channel exported with every bank: the one of its lowest
    // bank that has a row, or for a pass channel its lowest row of any bank.
    const ChirpRow* findForChannel(std::uint32_t frequency, std::int32_t bankMask) const;
    bool empty() const { return rows_.empty(); }
    std::size_t size() const { return rows_.size(); }
    void clear() { rows_.clear(); }
    // Drops the rows of frequencies that are no longer a channel.
    void keepOnlyChannelsOf(const DocumentContents& contents);

    std::string toJson() const;
    // False, with the reason, for text that is not such a file; the details
    // are then left as they were.
    bool fromJson(std::string_view text, std::string& error);

    // The file beside a document.
    static std::string pathBeside(const std::string& documentPath);
    // Reads the file beside `documentPath`: no file gives no details; a
    // damaged one gives none and a notice saying so.
    FileResult load(const std::string& documentPath);
    // Writes the file beside `documentPath`, or removes it when there is
    // nothing to keep (so that it never describes another document).
    FileResult save(const std::string& documentPath) const;

private:
    std::map<std::pair<std::uint32_t, int>, ChirpRow> rows_;
};

} // namespace kovo
