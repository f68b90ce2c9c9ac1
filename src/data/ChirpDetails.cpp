#include "ChirpDetails.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>
#include <unordered_set>

#include "FileIo.h"

namespace kovo {
namespace {

constexpr const char* kKind = "KOVO3000 CHIRP details";
constexpr int kVersion = 1;
// Five thousand rows of every CHIRP column fit many times over.
constexpr std::size_t kMaxFileBytes = 64u * 1024u * 1024u;

using Json = nlohmann::json;

Json storedJson(const ChirpStored& s) {
    return {{"comment", s.comment},
            {"mode", s.mode},
            {"step", s.step},
            {"ctcss", s.ctcss},
            {"pass", s.pass}};
}

ChirpStored storedOf(const Json& j) {
    return {j.at("comment").get<std::string>(), j.at("mode").get<int>(), j.at("step").get<int>(),
            j.at("ctcss").get<int>(), j.at("pass").get<bool>()};
}

ChirpRow rowOf(const Json& j) {
    ChirpRow row;
    row.frequency = j.at("frequency").get<std::uint32_t>();
    row.bank = j.at("bank").get<int>();
    if (row.bank < 0 || row.bank >= kBankCount)
        throw std::out_of_range("bank " + std::to_string(row.bank));
    row.stored = storedOf(j.at("stored"));
    for (const auto& [name, text] : j.at("cells").items())
        row.cells.emplace_back(name, text.get<std::string>());
    return row;
}

std::string detailsMessage(const char* what, const std::string& path, const std::string& cause) {
    return std::string(what) + "\n" + path + "\n" + cause;
}

} // namespace

const std::string* ChirpRow::cell(std::string_view name) const {
    for (const auto& [column, text] : cells)
        if (column == name)
            return &text;
    return nullptr;
}

void ChirpDetails::remember(ChirpRow row) {
    const auto key = std::make_pair(row.frequency, row.bank);
    rows_[key] = std::move(row);
}

const ChirpRow* ChirpDetails::find(std::uint32_t frequency, int bank) const {
    const auto found = rows_.find({frequency, bank});
    return found == rows_.end() ? nullptr : &found->second;
}

const ChirpRow* ChirpDetails::findForChannel(std::uint32_t frequency, std::int32_t bankMask) const {
    const ChirpRow* anyBank = nullptr;
    for (auto it = rows_.lower_bound({frequency, 0});
         it != rows_.end() && it->first.first == frequency; ++it) {
        if ((bankMask & (1 << it->first.second)) != 0)
            return &it->second;
        if (anyBank == nullptr)
            anyBank = &it->second;
    }
    return bankMask == (1 << kPassBank) ? anyBank : nullptr;
}

void ChirpDetails::keepOnlyChannelsOf(const DocumentContents& contents) {
    std::unordered_set<std::uint32_t> frequencies;
    for (int i = 0; i < contents.channelCount; ++i)
        frequencies.insert(contents.channels[static_cast<std::size_t>(i)]->frequency);
    std::erase_if(rows_,
                  [&](const auto& entry) { return !frequencies.contains(entry.first.first); });
}

std::string ChirpDetails::toJson() const {
    Json channels = Json::array();
    for (const auto& [key, row] : rows_) {
        Json cells = Json::object();
        for (const auto& [name, text] : row.cells)
            cells[name] = text;
        channels.push_back({{"frequency", row.frequency},
                            {"bank", row.bank},
                            {"stored", storedJson(row.stored)},
                            {"cells", std::move(cells)}});
    }
    const Json file = {{"kind", kKind}, {"version", kVersion}, {"channels", std::move(channels)}};
    // Text that is not valid UTF-8 is written with replacement characters
    // rather than making the whole file unwritable.
    return file.dump(1, ' ', false, Json::error_handler_t::replace) + "\n";
}

bool ChirpDetails::fromJson(std::string_view text, std::string& error) {
    try {
        const Json file = Json::parse(text);
        if (file.at("kind") != kKind || file.at("version") != kVersion) {
            error = "not a CHIRP details file of this version";
            return false;
        }
        ChirpDetails read;
        for (const Json& channel : file.at("channels"))
            read.remember(rowOf(channel));
        rows_ = std::move(read.rows_);
        return true;
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
}

std::string ChirpDetails::pathBeside(const std::string& documentPath) {
    return documentPath + ".chirp.json";
}

FileResult ChirpDetails::load(const std::string& documentPath) {
    clear();
    const std::string path = pathBeside(documentPath);
    std::vector<std::uint8_t> bytes;
    int error = 0;
    if (!readWholeFile(path, bytes, error))
        return error == ENOENT ? FileResult::success()
                               : FileResult::success(detailsMessage(
                                     "The CHIRP details beside the document could not be read; "
                                     "the CHIRP export writes the channels without them.",
                                     path, std::strerror(error)));
    std::string cause;
    if (bytes.size() > kMaxFileBytes)
        cause = "the file is too large";
    else if (fromJson(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                      cause))
        return FileResult::success();
    return FileResult::success(detailsMessage(
        "The CHIRP details beside the document are damaged and were not used; the CHIRP export "
        "writes the channels without them.",
        path, cause));
}

FileResult ChirpDetails::save(const std::string& documentPath) const {
    const std::string path = pathBeside(documentPath);
    int error = 0;
    if (empty()) {
        if (std::remove(path.c_str()) == 0 || errno == ENOENT)
            return FileResult::success();
        error = errno;
    } else {
        const std::string text = toJson();
        if (replaceFileAtomically(path, std::vector<std::uint8_t>(text.begin(), text.end()), error))
            return FileResult::success();
    }
    return FileResult::failure(detailsMessage(
        "The document was saved, but the CHIRP details beside it could not be written.", path,
        std::strerror(error)));
}

} // namespace kovo
