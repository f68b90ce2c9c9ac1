#pragma once
#include <memory>
#include <string>

#include "data/AppSettings.h"
#include "data/CKovo5Doc.h"
#include "data/Clock.h"

// Documents built for the data-core tests.
namespace kovo::test {

inline constexpr std::int64_t kTestNowMs = 1015459500000; // 2002-03-07 00:05:00 UTC

struct DocumentFixture {
    AppSettings settings;
    ManualClock clock{kTestNowMs};
    std::unique_ptr<CKovo5Doc> doc = std::make_unique<CKovo5Doc>(settings, clock);

    std::unique_ptr<CKovo5Doc> freshDocument() const {
        return std::make_unique<CKovo5Doc>(settings, clock);
    }
};

// Puts `count` channels 1 kHz apart from 100 MHz, each with a comment of
// `commentLength` bytes, into the table.
void fillChannels(DocumentContents& doc, int count, std::size_t commentLength = 5);
// Appends `count` log entries to the log ring.
void fillLog(DocumentContents& doc, int count, std::size_t commentLength = 5);

} // namespace kovo::test
