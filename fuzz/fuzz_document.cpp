// Reads arbitrary bytes as a document file. Built twice: as the current
// format and, with KOVO_FUZZ_LEGACY, as the older one. A file that is taken
// must save to bytes that read back to the same document.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "data/AppSettings.h"
#include "data/CKovo5Doc.h"
#include "data/Clock.h"

#ifdef KOVO_FUZZ_LEGACY
constexpr bool kLegacy = true;
constexpr const char* kName = "fuzz.kvx";
#else
constexpr bool kLegacy = false;
constexpr const char* kName = "fuzz.kv5";
#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const kovo::AppSettings settings;
    static const kovo::ManualClock clock(1'700'000'000'000);
    kovo::CKovo5Doc doc(settings, clock);
    const std::vector<std::uint8_t> bytes(data, data + size);
    if (!doc.readBytes(bytes, kName, kLegacy).ok)
        return 0;
    const std::vector<std::uint8_t> saved = doc.toBytes();
    kovo::CKovo5Doc again(settings, clock);
    if (!again.readBytes(saved, "again.kv5", false).ok || again.toBytes() != saved)
        std::abort();
    return 0;
}
