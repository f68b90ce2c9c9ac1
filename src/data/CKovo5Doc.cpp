#include "CKovo5Doc.h"

#include <cctype>
#include <cerrno>
#include <cstdio>

#include "Archive.h"
#include "ChannelOrder.h"
#include "DatabaseEdits.h"
#include "DocumentFormat.h"
#include "DocumentRules.h"
#include "FileErrors.h"
#include "FileIo.h"
#include "OutOfRange.h"
#include "ReceiverRange.h"
#include "UiText.h"

namespace kovo {
namespace {

constexpr std::uint32_t kNewFrequency = 145000000;
constexpr std::int32_t kNewStep = 10; // 20 kHz
constexpr std::int32_t kNewAttenuator = 3;
// "144MHz" and the Japanese for "amateur calling frequency", in CP932.
constexpr std::string_view kNewComment =
    "144MHz\x83\x41\x83\x7D\x83\x60\x83\x85\x83\x41 \x8C\xC4\x82\xD1\x8F\x6F\x82\xB5"
    "\x8E\xFC\x94\x67\x90\x94";
// The same in English (ASCII, so the same bytes in CP932), no longer.
constexpr std::string_view kNewCommentEnglish = "144MHz ham calling frequency";

CFrequencyData newTuningRecord(const AppSettings& settings, std::int32_t now) {
    CFrequencyData record;
    record.frequency = kNewFrequency;
    record.bankMask = 1;
    record.step = kNewStep;
    record.ifBandwidth = settings.nfmBandWidth + 2;
    record.attenuator = kNewAttenuator;
    record.heardTime = now;
    record.comment = std::string(englishUserData() ? kNewCommentEnglish : kNewComment);
    return record;
}

} // namespace

CKovo5Doc::CKovo5Doc(const AppSettings& settings, const Clock& clock)
    : settings_(settings), clock_(clock), table_(partContext()), log_(partContext()),
      banks_(partContext()), ranges_(partContext()), parameters_(partContext()),
      tuning_(partContext(), table_), listEdits_(partContext(), table_, banks_, ranges_) {
    DocumentPart* parts[] = {&table_, &log_, &banks_, &ranges_, &parameters_, &tuning_};
    for (std::size_t i = 0; i < partSubscriptions_.size(); ++i)
        partSubscriptions_[i] = parts[i]->changes().subscribe(
            [this](const DocumentChange& change) { onPartChange(change); });
    onNewDocument();
}

void CKovo5Doc::onPartChange(const DocumentChange& change) {
    changes_.notify(change);
}

void CKovo5Doc::recountDerivedValues() {
    // Bank numbers are not stored in the file: a document read or started
    // numbers its channels afresh.
    edits::numberChannelsWithinBanks(*this);
    table_.countChannelsPerBank();
}

bool CKovo5Doc::onNewDocument() {
    truncateChannels(0);
    chirpDetails_.clear();
    logCount = 0;
    logStart = 0;
    priorityIndex = 0;
    ranges_.clearClipboard();

    const auto now = static_cast<std::int32_t>(clock_.nowSeconds());
    mainRecord = newTuningRecord(settings_, now);
    priorityRecord = mainRecord;
    controlParams.setNewDocumentValues();
    for (auto& range : passRanges)
        range.setNewDocumentValues();
    for (auto& bank : searchBanks)
        bank.setNewDocumentValues(settings_.nfmBandWidth);
    for (auto& range : autoRanges)
        range.setNewDocumentValues(settings_.nfmBandWidth);
    for (auto& text : searchStrings)
        text.clear();
    for (auto& bank : memoryBanks)
        bank = CMemoryBank();
    for (int k = 0; k < kLinkSetCount; ++k) {
        char name[16];
        std::snprintf(name, sizeof name, "%02d", k);
        linkSetNames[static_cast<std::size_t>(k)] = name;
    }
    recountDerivedValues();
    modified_.set(false);
    startedNew_ = true;
    lastOrder_ = {};
    changes_.notify({DocumentChange::Kind::DocumentReplaced, -1, -1, false, true});
    return true;
}

bool CKovo5Doc::isLegacyFileName(const std::string& path) {
    if (path.size() < 3)
        return false;
    static constexpr char kLegacyEnding[] = "kvx";
    for (std::size_t i = 0; i < 3; ++i) {
        const auto c = static_cast<unsigned char>(path[path.size() - 3 + i]);
        if (std::tolower(c) != kLegacyEnding[i])
            return false;
    }
    return true;
}

std::vector<std::uint8_t> CKovo5Doc::toBytes() const {
    Archive archive;
    writeDocumentFile(*this, archive);
    return archive.takeBuffer();
}

FileResult CKovo5Doc::readBytes(const std::vector<std::uint8_t>& bytes, const std::string& fileName,
                                bool legacy) {
    // Read into a copy so that a file that fails half-way changes nothing.
    auto scratch = std::make_unique<DocumentContents>(*this);
    ChannelOrderChange order;
    OutOfRangeRepair repair;
    try {
        readDocumentStream(bytes, *scratch, legacy);
        // The older format stores no mark: its priority channel gets one too,
        // or saving the converted table would lose which channel it is.
        applyPriorityMarks(*scratch);
        // Nothing the receiver cannot tune comes in with a damaged file.
        order = putChannelsInOrder(*scratch, OnlyTunable::Yes);
        repair.channels = order.outOfRange;
        repair.ranges = resetRangesOutsideReceiver(*scratch, settings_.nfmBandWidth);
        if (!isReceiverFrequency(scratch->mainRecord.frequency)) {
            scratch->mainRecord =
                newTuningRecord(settings_, static_cast<std::int32_t>(clock_.nowSeconds()));
            repair.tuningRecord = true;
        }
        takePriorityRecord(*scratch, settings_);
    } catch (const ArchiveError& error) {
        return FileResult::failure(archiveFaultMessage(error.fault(), fileName));
    } catch (const std::bad_alloc&) {
        return FileResult::failure(fileErrorText(FileErrorText::OpenFailed));
    }
    static_cast<DocumentContents&>(*this) = std::move(*scratch);
    afterSuccessfulRead(order);
    // A converted or reordered table differs from the file: saving keeps it.
    modified_.set(legacy || order.changed || repair.any());
    std::string notice;
    if (order.merged > 0)
        notice = mergedChannelsMessage(order.merged, fileName);
    if (repair.any())
        notice += (notice.empty() ? "" : "\n") + outOfRangeMessage(repair, fileName);
    return FileResult::success(std::move(notice));
}

int CKovo5Doc::rowAfterReplacement(int row) const {
    return startedNew_ ? 0 : rowAfterOrdering(lastOrder_, row);
}

void CKovo5Doc::afterSuccessfulRead(const ChannelOrderChange& order) {
    startedNew_ = false;
    chirpDetails_.clear();
    lastOrder_ = order;
    recountDerivedValues();
    changes_.notify({DocumentChange::Kind::DocumentReplaced});
}

// What a killed save left beside the file goes when the file is next read.
FileResult CKovo5Doc::openDocument(const std::string& path) {
    removeStaleTemporaries(path);
    std::vector<std::uint8_t> bytes;
    int error = 0;
    if (!readWholeFile(path, bytes, error))
        return FileResult::failure(systemErrorMessage(error, FileAccess::Open, path));
    FileResult read = readBytes(bytes, path, isLegacyFileName(path));
    if (!read.ok)
        return read;
    const FileResult details = chirpDetails_.load(path);
    if (!details.message.empty())
        read.message += (read.message.empty() ? "" : "\n") + details.message;
    return read;
}

FileResult CKovo5Doc::saveDocument(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes = toBytes();
    } catch (const std::exception&) {
        return FileResult::failure(fileErrorText(FileErrorText::SaveFailed));
    }
    int error = 0;
    if (!replaceFileAtomically(path, bytes, error))
        return FileResult::failure(systemErrorMessage(error, FileAccess::Save, path));
    // The details of channels deleted since are not kept: a channel stored
    // later at the same frequency is another channel.
    chirpDetails_.keepOnlyChannelsOf(*this);
    if (FileResult details = chirpDetails_.save(path); !details.ok)
        return details;
    modified_.set(false);
    return FileResult::success();
}

} // namespace kovo
