#include "DocumentJson.h"

#include <array>
#include <limits>
#include <span>
#include <variant>

#include "data/Cp932.h"
#include "data/PlainSpelling.h"

namespace kovoctl {
namespace {

using kovo::CAutoBank;
using kovo::CControlParams;
using kovo::CFrequencyData;
using kovo::CLogData;
using kovo::CMemoryBank;
using kovo::CPassBank;
using kovo::CSearchBank;

// A stored field of record R, by its name.
template <typename R> struct Field {
    const char* name;
    std::variant<std::uint8_t R::*, std::int32_t R::*, std::uint32_t R::*, std::string R::*> member;
};

const std::array<Field<CFrequencyData>, 16> kChannelFields{{
    {"frequency", &CFrequencyData::frequency},
    {"bankMask", &CFrequencyData::bankMask},
    {"heard", &CFrequencyData::heard},
    {"step", &CFrequencyData::step},
    {"mode", &CFrequencyData::mode},
    {"ifBandwidth", &CFrequencyData::ifBandwidth},
    {"attenuator", &CFrequencyData::attenuator},
    {"antenna", &CFrequencyData::antenna},
    {"heardTime", &CFrequencyData::heardTime},
    {"signal", &CFrequencyData::signal},
    {"maxSignal", &CFrequencyData::maxSignal},
    {"comment", &CFrequencyData::comment},
    {"priority", &CFrequencyData::priority},
    {"ctcss", &CFrequencyData::ctcss},
    {"tElm", &CFrequencyData::tElm},
    {"spare", &CFrequencyData::spare},
}};

const std::array<Field<CLogData>, 5> kLogFields{{
    {"frequency", &CLogData::frequency},
    {"firstHeard", &CLogData::firstHeard},
    {"lastHeard", &CLogData::lastHeard},
    {"maxSignal", &CLogData::maxSignal},
    {"comment", &CLogData::comment},
}};

const std::array<Field<CPassBank>, 4> kPassFields{{
    {"inUse", &CPassBank::inUse},
    {"lowFrequency", &CPassBank::lowFrequency},
    {"highFrequency", &CPassBank::highFrequency},
    {"comment", &CPassBank::comment},
}};

const std::array<Field<CSearchBank>, 9> kSearchFields{{
    {"inUse", &CSearchBank::inUse},
    {"mode", &CSearchBank::mode},
    {"ifBandwidth", &CSearchBank::ifBandwidth},
    {"antenna", &CSearchBank::antenna},
    {"attenuator", &CSearchBank::attenuator},
    {"startFrequency", &CSearchBank::startFrequency},
    {"stopFrequency", &CSearchBank::stopFrequency},
    {"step", &CSearchBank::step},
    {"comment", &CSearchBank::comment},
}};

const std::array<Field<CAutoBank>, 9> kAutoFields{{
    {"inUse", &CAutoBank::inUse},
    {"mode", &CAutoBank::mode},
    {"ifBandwidth", &CAutoBank::ifBandwidth},
    {"attenuator", &CAutoBank::attenuator},
    {"antenna", &CAutoBank::antenna},
    {"startFrequency", &CAutoBank::startFrequency},
    {"stopFrequency", &CAutoBank::stopFrequency},
    {"step", &CAutoBank::step},
    {"comment", &CAutoBank::comment},
}};

// The stored control parameters in position order (p6C and p70 are not stored).
std::vector<int> storedOffsetsAscending() {
    std::vector<int> offsets;
    for (int offset = 0x04; offset <= 0x98; offset += 4) {
        if (offset != 0x6C && offset != 0x70)
            offsets.push_back(offset);
    }
    return offsets;
}

// ---- writing ----

class DumpWriter {
public:
    DumpWriter(std::FILE* out, std::vector<std::string>& warnings)
        : json_(out), warnings_(warnings) {}

    JsonWriter& json() { return json_; }

    void text(const std::string& cp932, const std::string& where) {
        std::string utf8 = kovo::cp932ToUtf8(cp932);
        if (kovo::utf8ToCp932(utf8) != cp932)
            warnings_.push_back(where + " is not code page 932 text; written with ? marks");
        json_.value(utf8);
    }

    template <typename R, std::size_t N>
    void record(const R& record, const std::array<Field<R>, N>& fields, const std::string& where) {
        json_.beginObject(true);
        for (const auto& field : fields) {
            json_.key(field.name);
            std::visit(
                [&](auto member) {
                    using T = std::remove_cvref_t<decltype(record.*member)>;
                    if constexpr (std::is_same_v<T, std::string>)
                        text(record.*member, where + "." + field.name);
                    else
                        json_.value(static_cast<std::int64_t>(record.*member));
                },
                field.member);
        }
        json_.endObject();
    }

    template <typename R, std::size_t N, typename Range>
    void records(const char* key, const Range& range, const std::array<Field<R>, N>& fields) {
        json_.key(key);
        json_.beginArray();
        std::size_t i = 0;
        for (const R& item : range) {
            record(item, fields, std::string(key) + "[" + std::to_string(i) + "]");
            ++i;
        }
        json_.endArray();
    }

    void strings(const char* key, std::span<const std::string> items) {
        json_.key(key);
        json_.beginArray(true);
        for (std::size_t i = 0; i < items.size(); ++i)
            text(items[i], std::string(key) + "[" + std::to_string(i) + "]");
        json_.endArray();
    }

private:
    JsonWriter json_;
    std::vector<std::string>& warnings_;
};

// Iterates over a table of owned channels as references.
struct ChannelRange {
    const kovo::CKovo5Doc& doc;
    struct Iterator {
        const kovo::CKovo5Doc* doc;
        int i;
        const CFrequencyData& operator*() const {
            return *doc->channels[static_cast<std::size_t>(i)];
        }
        Iterator& operator++() {
            ++i;
            return *this;
        }
        bool operator!=(const Iterator& other) const { return i != other.i; }
    };
    Iterator begin() const { return {&doc, 0}; }
    Iterator end() const { return {&doc, doc.channelCount}; }
};

struct LogRange {
    const kovo::CKovo5Doc& doc;
    struct Iterator {
        const kovo::CKovo5Doc* doc;
        int r;
        const CLogData& operator*() const { return doc->logEntry(r); }
        Iterator& operator++() {
            ++r;
            return *this;
        }
        bool operator!=(const Iterator& other) const { return r != other.r; }
    };
    Iterator begin() const { return {&doc, 0}; }
    Iterator end() const { return {&doc, doc.logCount}; }
};

} // namespace

void writeDocumentJson(const kovo::CKovo5Doc& doc, std::int32_t version, std::FILE* out,
                       std::vector<std::string>& warnings) {
    DumpWriter dump(out, warnings);
    JsonWriter& json = dump.json();
    json.beginObject();
    json.key("version");
    json.value(version);
    json.key("channelCount");
    json.value(doc.channelCount);

    json.key("controlParams");
    json.beginObject(true);
    for (int offset : storedOffsetsAscending()) {
        json.key(CControlParams::positionName(offset));
        json.value(doc.controlParams.at(offset));
    }
    json.endObject();

    json.key("mainRecord");
    dump.record(doc.mainRecord, kChannelFields, "mainRecord");

    json.key("memoryBanks");
    json.beginArray();
    for (std::size_t b = 0; b < doc.memoryBanks.size(); ++b) {
        json.beginObject(true);
        json.key("linkFlags");
        json.beginArray(true);
        for (auto flag : doc.memoryBanks[b].linkFlags)
            json.value(flag);
        json.endArray();
        json.key("name");
        dump.text(doc.memoryBanks[b].name, "memoryBanks[" + std::to_string(b) + "].name");
        json.endObject();
    }
    json.endArray();

    dump.strings("linkSetNames", doc.linkSetNames);
    dump.records("passRanges", doc.passRanges, kPassFields);
    dump.records("searchBanks", doc.searchBanks, kSearchFields);
    dump.records("autoRanges", doc.autoRanges, kAutoFields);
    dump.strings("searchStrings", doc.searchStrings);
    dump.records("channels", ChannelRange{doc}, kChannelFields);
    dump.records("log", LogRange{doc}, kLogFields);
    json.endObject();
    json.finish();
}

// ---- reading ----

namespace {

class Packer {
public:
    explicit Packer(std::string& error) : error_(error) {}

    bool fail(const std::string& where, const std::string& problem) {
        error_ = where + ": " + problem;
        return false;
    }

    bool integer(const JsonValue& value, std::int64_t low, std::int64_t high,
                 const std::string& where, std::int64_t& result) {
        if (!asInteger(value, result) || result < low || result > high)
            return fail(where, "expected an integer from " + std::to_string(low) + " to " +
                                   std::to_string(high));
        return true;
    }

    template <typename T> bool number(const JsonValue& value, const std::string& where, T& target) {
        std::int64_t result = 0;
        if (!integer(value, std::numeric_limits<T>::min(), std::numeric_limits<T>::max(), where,
                     result))
            return false;
        target = static_cast<T>(result);
        return true;
    }

    bool text(const JsonValue& value, const std::string& where, std::string& target) {
        if (!value.is_string())
            return fail(where, "expected a string");
        int refused = 0;
        target = kovo::storableCp932(value.get<std::string>(), refused);
        refused_ += refused;
        return true;
    }

    template <typename R, std::size_t N>
    bool record(const JsonValue& value, const std::array<Field<R>, N>& fields,
                const std::string& where, R& target) {
        if (!value.is_object())
            return fail(where, "expected an object");
        for (const auto& entry : value.items()) {
            // Named, not bound: clang 14 cannot capture structured bindings.
            const std::string& key = entry.key();
            const JsonValue& item = entry.value();
            const Field<R>* field = nullptr;
            for (const auto& candidate : fields) {
                if (key == candidate.name)
                    field = &candidate;
            }
            if (field == nullptr)
                return fail(where, "unknown key \"" + key + "\"");
            const std::string place = where + "." + key;
            const bool ok = std::visit(
                [&](auto member) {
                    using T = std::remove_cvref_t<decltype(target.*member)>;
                    if constexpr (std::is_same_v<T, std::string>)
                        return text(item, place, target.*member);
                    else
                        return number(item, place, target.*member);
                },
                field->member);
            if (!ok)
                return false;
        }
        return true;
    }

    // An array of at most `limit` items; `each(item, where, index)` reads one.
    template <typename Each>
    bool list(const JsonValue& value, std::size_t limit, const std::string& where, Each each) {
        if (!value.is_array())
            return fail(where, "expected an array");
        if (value.size() > limit)
            return fail(where, "more than " + std::to_string(limit) + " entries");
        for (std::size_t i = 0; i < value.size(); ++i) {
            if (!each(value[i], where + "[" + std::to_string(i) + "]", i))
                return false;
        }
        return true;
    }

    template <typename R, std::size_t N, std::size_t M>
    bool records(const JsonValue& value, const std::array<Field<R>, N>& fields,
                 const std::string& where, std::array<R, M>& targets) {
        return list(value, M, where,
                    [&](const JsonValue& item, const std::string& place, std::size_t i) {
                        return record(item, fields, place, targets[i]);
                    });
    }

    template <std::size_t M>
    bool strings(const JsonValue& value, const std::string& where,
                 std::array<std::string, M>& targets) {
        return list(value, M, where,
                    [&](const JsonValue& item, const std::string& place, std::size_t i) {
                        return text(item, place, targets[i]);
                    });
    }

    bool memoryBank(const JsonValue& value, const std::string& where, CMemoryBank& bank) {
        if (!value.is_object())
            return fail(where, "expected an object");
        for (const auto& [key, item] : value.items()) {
            if (key == "name") {
                if (!text(item, where + ".name", bank.name))
                    return false;
            } else if (key == "linkFlags") {
                const bool ok =
                    list(item, bank.linkFlags.size(), where + ".linkFlags",
                         [&](const JsonValue& flag, const std::string& place, std::size_t k) {
                             return number(flag, place, bank.linkFlags[k]);
                         });
                if (!ok)
                    return false;
            } else {
                return fail(where, "unknown key \"" + key + "\"");
            }
        }
        return true;
    }

    bool controlParams(const JsonValue& value, CControlParams& params) {
        if (!value.is_object())
            return fail("controlParams", "expected an object");
        const auto offsets = storedOffsetsAscending();
        for (const auto& [key, item] : value.items()) {
            int found = -1;
            for (int offset : offsets) {
                if (key == CControlParams::positionName(offset))
                    found = offset;
            }
            if (found < 0)
                return fail("controlParams",
                            "unknown key \"" + key +
                                "\" (stored fields are p04 to p98 without p6C and p70)");
            if (!number(item, "controlParams." + key, params.at(found)))
                return false;
        }
        return true;
    }

    bool channels(const JsonValue& value, kovo::CKovo5Doc& doc) {
        doc.truncateChannels(0);
        const bool ok = list(value, kovo::kMaxChannels, "channels",
                             [&](const JsonValue& item, const std::string& place, std::size_t i) {
                                 auto channel = std::make_unique<CFrequencyData>();
                                 if (!record(item, kChannelFields, place, *channel))
                                     return false;
                                 doc.channels[i] = std::move(channel);
                                 doc.channelCount = static_cast<int>(i) + 1;
                                 return true;
                             });
        return ok;
    }

    bool log(const JsonValue& value, kovo::CKovo5Doc& doc) {
        doc.logStart = 0;
        doc.logCount = 0;
        return list(value, kovo::kLogSlots, "log",
                    [&](const JsonValue& item, const std::string& place, std::size_t i) {
                        CLogData entry;
                        if (!record(item, kLogFields, place, entry))
                            return false;
                        doc.logRing[i] = std::move(entry);
                        doc.logCount = static_cast<int>(i) + 1;
                        return true;
                    });
    }

    int refused() const { return refused_; }

private:
    std::string& error_;
    int refused_ = 0;
};

bool applyDocument(const JsonValue& json, kovo::CKovo5Doc& doc, Packer& pack) {
    if (!json.is_object())
        return pack.fail("document", "expected an object");
    const JsonValue* countValue = nullptr;
    for (const auto& [key, value] : json.items()) {
        bool ok = true;
        if (key == "version") {
            std::int64_t ignored = 0;
            ok = pack.integer(value, std::numeric_limits<std::int32_t>::min(),
                              std::numeric_limits<std::int32_t>::max(), "version", ignored);
        } else if (key == "channelCount") {
            countValue = &value;
        } else if (key == "controlParams") {
            ok = pack.controlParams(value, doc.controlParams);
        } else if (key == "mainRecord") {
            ok = pack.record(value, kChannelFields, "mainRecord", doc.mainRecord);
        } else if (key == "memoryBanks") {
            ok = pack.list(value, doc.memoryBanks.size(), "memoryBanks",
                           [&](const JsonValue& item, const std::string& place, std::size_t i) {
                               return pack.memoryBank(item, place, doc.memoryBanks[i]);
                           });
        } else if (key == "linkSetNames") {
            ok = pack.strings(value, "linkSetNames", doc.linkSetNames);
        } else if (key == "passRanges") {
            ok = pack.records(value, kPassFields, "passRanges", doc.passRanges);
        } else if (key == "searchBanks") {
            ok = pack.records(value, kSearchFields, "searchBanks", doc.searchBanks);
        } else if (key == "autoRanges") {
            ok = pack.records(value, kAutoFields, "autoRanges", doc.autoRanges);
        } else if (key == "searchStrings") {
            ok = pack.strings(value, "searchStrings", doc.searchStrings);
        } else if (key == "channels") {
            ok = pack.channels(value, doc);
        } else if (key == "log") {
            ok = pack.log(value, doc);
        } else {
            ok = pack.fail("document", "unknown key \"" + key + "\"");
        }
        if (!ok)
            return false;
    }
    if (countValue != nullptr) {
        std::int64_t count = 0;
        if (!pack.integer(*countValue, 0, kovo::kMaxChannels, "channelCount", count))
            return false;
        if (count != doc.channelCount)
            return pack.fail("channelCount", "is " + std::to_string(count) +
                                                 " but \"channels\" holds " +
                                                 std::to_string(doc.channelCount));
    }
    return true;
}

} // namespace

bool applyDocumentJson(const JsonValue& json, kovo::CKovo5Doc& doc, std::string& error,
                       int* refusedCharacters) {
    Packer pack(error);
    const bool applied = applyDocument(json, doc, pack);
    if (refusedCharacters != nullptr)
        *refusedCharacters = pack.refused();
    return applied;
}

} // namespace kovoctl
