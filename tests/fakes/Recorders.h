#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "data/Notifier.h"
#include "link/LinkObserver.h"
#include "link/ReceiverLink.h"

namespace kovo::test {

class RecordingNotifier final : public Notifier {
public:
    std::vector<std::string> messages;
    bool answer = true;
    void showMessage(const std::string& text) override { messages.push_back(text); }
    bool askYesNo(const std::string& text) override {
        messages.push_back(text);
        return answer;
    }
};

class RecordingLinkObserver final : public LinkObserver {
public:
    int panelRefreshes = 0;
    std::vector<std::pair<bool, int>> signals;
    std::vector<bool> squelchChanges;
    std::vector<LinkStatus> statuses;
    void refreshPanels() override { ++panelRefreshes; }
    void showSignal(bool open, int value) override { signals.emplace_back(open, value); }
    void squelchChanged(bool open) override { squelchChanges.push_back(open); }
    void linkStatusChanged(LinkStatus status) override { statuses.push_back(status); }
};

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

} // namespace kovo::test
