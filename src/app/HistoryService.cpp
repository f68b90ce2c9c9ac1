#include "app/HistoryService.h"

#include "app/SettingsStore.h"
#include "app/SettingsTable.h"
#include "data/CKovo5Doc.h"
#include "data/Clock.h"
#include "data/Notifier.h"
#include "history/HistoryWriter.h"
#include "history/HitTracker.h"
#include "history/LogImport.h"
#include "scan/ReceiverCore.h"

#include <QMetaObject>
#include <QPointer>

namespace kovo {

namespace {

constexpr const char* kEnabledName = "History";
constexpr const char* kDaysName = "HistoryDays";

} // namespace

HistorySettings HistorySettings::load(const SettingsStore& store) {
    HistorySettings s;
    s.enabled = store.readInt(settings::kSoftSection, kEnabledName).value_or(1) != 0;
    const int days = store.readInt(settings::kSoftSection, kDaysName).value_or(kDefaultDays);
    s.days = days >= 0 ? days : kDefaultDays;
    return s;
}

HistoryService::HistoryService(const HistorySettings& settings, const std::string& path,
                               CKovo5Doc& document, ReceiverCore& core, Notifier& notifier,
                               QObject* context)
    : document_(document) {
    history::HistoryWriter::Options options;
    options.path = path;
    options.retentionDays = settings.days;
    const Clock& clock = document.clock();
    options.now = [&clock] { return clock.nowSeconds(); };
    QPointer<QObject> target(context);
    writer_ = std::make_unique<history::HistoryWriter>(
        std::move(options), [target, &notifier](const std::string& message) {
            // The writer's thread: the message is shown on the window's.
            if (target)
                QMetaObject::invokeMethod(
                    target, [&notifier, message] { notifier.showMessage(message); },
                    Qt::QueuedConnection);
        });
    tracker_ = std::make_unique<history::HitTracker>(*writer_);
    hits_ = core.hits().subscribe([this](const HitNotice& n) {
        switch (n.kind) {
        case HitNotice::Kind::Began:
            // Listening by hand makes no row; its Heard and Ended find no
            // hit open and pass.
            if (n.scanning)
                tracker_->began(n.priority, n.frequency, n.mode, n.level, n.comment, n.time);
            break;
        case HitNotice::Kind::Heard:
            tracker_->heard(n.priority, n.level, n.time);
            break;
        case HitNotice::Kind::Ended:
            tracker_->ended(n.priority, n.time);
            break;
        }
    });
    documentChanges_ = document.changes().subscribe([this](const DocumentChange& change) {
        if (change.kind == DocumentChange::Kind::DocumentReplaced)
            offerLog();
    });
    offerLog();
}

HistoryService::~HistoryService() {
    hits_ = {};
    documentChanges_ = {};
    tracker_->endAll();
}

// The first document of a run that has log entries brings them along; the
// store takes them only once in its life.
void HistoryService::offerLog() {
    if (logOffered_ || document_.logCount <= 0)
        return;
    logOffered_ = true;
    writer_->importOnce(history::logRows(document_));
}

} // namespace kovo
