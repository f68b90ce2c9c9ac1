#pragma once
#include <QObject>

#include <memory>
#include <string>

#include "data/Notices.h"

namespace kovo {

class CKovo5Doc;
class Notifier;
class ReceiverCore;
class SettingsStore;

namespace history {
class HistoryWriter;
class HitTracker;
} // namespace history

// "History" (1 on, 0 off) and "HistoryDays" (how long hits are kept) in the
// program's settings.
struct HistorySettings {
    static constexpr int kDefaultDays = 400;
    bool enabled = true;
    int days = kDefaultDays;

    static HistorySettings load(const SettingsStore& store);
};

// Keeps the hit history while the program runs: every hit of the scan goes
// to the history store's writer, the document's log is taken over once, and
// a store that cannot be used is reported once on the window's thread.
class HistoryService final {
public:
    HistoryService(const HistorySettings& settings, const std::string& path, CKovo5Doc& document,
                   ReceiverCore& core, Notifier& notifier, QObject* context);
    // Ends the hits in progress and writes what is queued.
    ~HistoryService();
    HistoryService(const HistoryService&) = delete;
    HistoryService& operator=(const HistoryService&) = delete;

    history::HistoryWriter& writer() { return *writer_; }

private:
    void offerLog();

    CKovo5Doc& document_;
    std::unique_ptr<history::HistoryWriter> writer_;
    std::unique_ptr<history::HitTracker> tracker_;
    Subscription hits_;
    Subscription documentChanges_;
    bool logOffered_ = false;
};

} // namespace kovo
