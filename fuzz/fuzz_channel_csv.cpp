// Reads arbitrary bytes as a channel list in CSV. A file taken is planned
// against an empty document and stored: every stored channel is one the
// receiver tunes, once, in order, with a comment within its length; written
// back as CHIRP's CSV and read again it gives the same channels.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "data/AppSettings.h"
#include "data/CKovo5Doc.h"
#include "data/ChannelCsv.h"
#include "data/ChannelImport.h"
#include "data/ChirpCsv.h"
#include "data/Clock.h"
#include "data/CsvReader.h"
#include "data/ReceiverRange.h"

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

const kovo::AppSettings settings;
const kovo::ManualClock fixedClock(1'700'000'000'000);

int storeAll(std::string_view text, kovo::CKovo5Doc& doc) {
    kovo::CsvTable table;
    const kovo::CsvOutcome outcome = kovo::readCsv(text, table);
    if (!outcome.ok()) {
        check(!outcome.message.empty() && table.rows.empty());
        return -1;
    }
    const kovo::CsvColumns columns = kovo::guessColumns(table);
    if (columns.frequency < 0)
        return -1;
    const kovo::ImportPlan plan =
        kovo::planImport(table, columns, doc, kovo::importDefaultsOf(doc));
    check(plan.channels.size() + static_cast<std::size_t>(plan.merged() + plan.leftOut()) ==
          table.rows.size());
    const kovo::ImportOutcome stored = kovo::applyImport(doc, plan, 1);
    check(stored.applied == plan.fits());
    return stored.stored;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    kovo::CKovo5Doc doc(settings, fixedClock);
    const int stored = storeAll(text, doc);
    if (stored < 0)
        return 0;
    check(doc.channelCount == stored);
    for (int i = 0; i < doc.channelCount; ++i) {
        const kovo::CFrequencyData& ch = *doc.channels[static_cast<std::size_t>(i)];
        check(kovo::isReceiverFrequency(ch.frequency));
        check(ch.comment.size() <= kovo::kImportedCommentBytes);
        if (i > 0)
            check(doc.channels[static_cast<std::size_t>(i - 1)]->frequency < ch.frequency);
    }
    kovo::CKovo5Doc again(settings, fixedClock);
    check(storeAll(kovo::formatChirpCsv(doc), again) == stored);
    for (int i = 0; i < doc.channelCount; ++i) {
        const auto& a = *doc.channels[static_cast<std::size_t>(i)];
        const auto& b = *again.channels[static_cast<std::size_t>(i)];
        check(a.frequency == b.frequency && a.ctcss == b.ctcss);
    }
    return 0;
}
