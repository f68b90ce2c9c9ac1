#pragma once

#include "web/ControlMessage.h"
#include "web/ReadoutNews.h"

#include <QJsonObject>
#include <QString>

#include <functional>
#include <memory>

namespace kovo {
class CKovo5Doc;
class ReceiverCore;
} // namespace kovo

namespace kovo::web {

// The receiver as the web page sees it: the read-outs of the front panel as
// JSON, and the page's controls carried out through the core's operations,
// exactly as the panel's keys carry them out. Runs on the core's thread.
class RemoteReceiver {
public:
    RemoteReceiver(CKovo5Doc& doc, ReceiverCore& core) : doc_(doc), core_(core) {}

    // frequency ("  145.500000" as the panel shows it), mode, signal (0..15,
    // or -1 with no receiver), scanMode, scanState ("scanning", "stopped on a
    // signal", "holding", "no receiver", "stopped"), bank, channel, comment, linkSet (1..20).
    QJsonObject readouts() const;

    // Empty when done; otherwise why the control was refused.
    QString execute(const ControlMessage& message);

    // Calls `changed` after every notice of the core that may change the
    // read-outs, for as long as the result lives.
    std::unique_ptr<ReadoutNews> followChanges(std::function<void()> changed) {
        return std::make_unique<ReadoutNews>(doc_, core_, std::move(changed));
    }

private:
    QString tune(const std::string& megahertz);
    QString mode(const std::string& label);

    CKovo5Doc& doc_;
    ReceiverCore& core_;
    // A scan held from the page: stopped where it stands, resumed on request.
    bool holding_ = false;
};

} // namespace kovo::web
