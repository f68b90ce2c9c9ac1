#pragma once
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "data/Notifier.h"
#include "link/LinkNotices.h"
#include "link/LinkObserver.h"
#include "link/ReceiverLink.h"
#include "scan/ViewSink.h"

namespace kovo::test {

class RecordingNotifier final : public Notifier {
public:
    std::vector<std::string> messages;
    bool answer = true;
    std::vector<std::string> withdrawn;
    void showMessage(const std::string& text) override { messages.push_back(text); }
    void withdrawMessage(const std::string& text) override { withdrawn.push_back(text); }
    bool askYesNo(const std::string& text) override {
        messages.push_back(text);
        return answer;
    }
};

class RecordingLinkObserver final : public LinkObserver {
public:
    int panelRefreshes = 0;
    std::vector<std::pair<bool, int>> shownSignals;
    std::vector<bool> squelchChanges;
    std::vector<LinkStatus> statuses;
    void refreshPanels() override { ++panelRefreshes; }
    void showSignal(bool open, int value) override { shownSignals.emplace_back(open, value); }
    void squelchChanged(bool open) override { squelchChanges.push_back(open); }
    void linkStatusChanged(LinkStatus status) override { statuses.push_back(status); }
};

// Hands every link notice to `observer` as the matching call.
[[nodiscard]] inline Subscription relayLinkNotices(Notices<LinkNotice>& notices,
                                                   LinkObserver& observer) {
    return notices.subscribe([&observer](const LinkNotice& n) {
        switch (n.kind) {
        case LinkNotice::Kind::ActiveRecordSwitched:
            observer.refreshPanels();
            break;
        case LinkNotice::Kind::Signal:
            observer.showSignal(n.squelchOpen, n.level);
            break;
        case LinkNotice::Kind::SquelchChanged:
            observer.squelchChanged(n.squelchOpen);
            break;
        case LinkNotice::Kind::StatusChanged:
            observer.linkStatusChanged(n.status);
            break;
        }
    });
}

// Records what the link hands on; optionally writes a command on every
// request, like the polling loop does.
class RecordingReplyClient final : public ReplyClient {
public:
    int nextRequests = 0;
    std::vector<std::string> reports;
    ReceiverLink* link = nullptr;
    std::string commandOnNext; // written on every request when not empty
    void sendNext() override {
        ++nextRequests;
        if (link && !commandOnNext.empty())
            link->writeCommand(commandOnNext);
    }
    void onSignalReport(std::string_view reply) override {
        reports.emplace_back(reply);
        sendNext();
    }
};

// Records what the core asks of the view, in order, as short texts; with
// keepCalls off it records nothing (long runs and benchmarks).
class RecordingViewSink final : public ViewSink {
public:
    std::vector<std::string> calls;
    bool keepCalls = true;
    // Keeps "what" followed by the numbers, each after a space.
    void record(std::string_view what, std::initializer_list<int> numbers = {}) {
        if (!keepCalls)
            return;
        std::string call(what);
        for (int n : numbers)
            call += " " + std::to_string(n);
        calls.push_back(std::move(call));
    }
    int count(const std::string& call) const {
        int n = 0;
        for (const auto& c : calls)
            n += c == call;
        return n;
    }
    void refreshPanels() override { record("refreshPanels"); }
    void refreshDisplay() override { record("refreshDisplay"); }
    void showOperatingMode(OperatingMode mode) override { record("mode", {toStored(mode)}); }
    void showPriorityScan(bool on) override { record(on ? "priority on" : "priority off"); }
    void selectChannelRow(int row) override { record("select", {row}); }
    void bringChannelRowIntoView(int row) override { record("show row", {row}); }
    void selectNewestLogEntry() override { record("select newest log entry"); }
    void selectLogCaretRow() override { record("select log caret row"); }
    void resetScope() override { record("resetScope"); }
    void showStaticScope() override { record("showStaticScope"); }
    void plotScopePoint(bool signal, int level) override { record("plot", {signal, level}); }
    void moveScopeCursor(int index) override { record("cursor", {index}); }
};

} // namespace kovo::test
