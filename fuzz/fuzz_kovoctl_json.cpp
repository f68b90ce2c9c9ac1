// Reads arbitrary text as the JSON of `kovoctl pack`. A document it takes
// packs to a file the program opens, and dumping that document gives JSON
// that packs to the same file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "DocumentJson.h"
#include "Json.h"
#include "data/AppSettings.h"
#include "data/Archive.h"
#include "data/CKovo5Doc.h"
#include "data/ChannelOrder.h"
#include "data/Clock.h"

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

const kovo::AppSettings settings;
const kovo::ManualClock fixedClock(1'700'000'000'000);

// The bytes `kovoctl pack` writes for the JSON; nothing when it is refused.
bool pack(std::string_view text, std::vector<std::uint8_t>& bytes, kovo::CKovo5Doc& doc) {
    kovoctl::JsonValue json;
    std::string error;
    if (!kovoctl::parseJson(text, json, error)) {
        check(!error.empty());
        return false;
    }
    if (!kovoctl::applyDocumentJson(json, doc, error)) {
        check(!error.empty());
        return false;
    }
    kovo::putChannelsInOrder(doc);
    bytes = doc.toBytes();
    return true;
}

std::string dump(const kovo::CKovo5Doc& doc, std::vector<std::string>& warnings) {
    char* buffer = nullptr;
    std::size_t length = 0;
    std::FILE* out = open_memstream(&buffer, &length);
    check(out != nullptr);
    kovoctl::writeDocumentJson(doc, kovo::kCurrentFileVersion, out, warnings);
    std::fclose(out);
    std::string text(buffer, length);
    std::free(buffer);
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    kovo::CKovo5Doc doc(settings, fixedClock);
    std::vector<std::uint8_t> packed;
    if (!pack(text, packed, doc))
        return 0;

    kovo::CKovo5Doc opened(settings, fixedClock);
    check(opened.readBytes(packed, "packed.kv5", false).ok);

    std::vector<std::string> warnings;
    const std::string dumped = dump(doc, warnings);
    if (!warnings.empty())
        return 0;
    kovo::CKovo5Doc repacked(settings, fixedClock);
    std::vector<std::uint8_t> again;
    check(pack(dumped, again, repacked));
    check(again == packed);
    return 0;
}
