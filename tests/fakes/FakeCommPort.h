#pragma once
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "link/CommPort.h"

namespace kovo::test {

// A serial port in memory. Records every property set and every write;
// `receive` puts text into the receive buffer and raises the receive event the
// way the real port does (once RThreshold bytes wait).
class FakeCommPort final : public CommPort {
public:
    std::vector<std::string> calls;   // "Line=9600,N,8,2 RTS/CTS", "PortOpen=1", ...
    std::vector<std::string> written; // every output, in order
    std::string pending;              // received, not yet read
    bool open = false;
    bool devicePresent = true; // false: opening fails
    std::string openError;     // what a failed opening reports
    int rThreshold = 0;
    PortDescription description;
    LineSetting line;
    // Scripted receiver: runs on every write.
    std::function<void(const std::string&)> onOutput;

    void setPort(const PortDescription& d) override {
        description = d;
        record("Port", d.text);
    }
    void setLine(const LineSetting& l) override {
        line = l;
        record("Line", l.text());
    }
    void setInBufferSize(int b) override { record("InBufferSize", std::to_string(b)); }
    void setOutBufferSize(int b) override { record("OutBufferSize", std::to_string(b)); }
    void setInBufferCount(int c) override {
        record("InBufferCount", std::to_string(c));
        if (c == 0)
            pending.clear();
    }
    void setOutBufferCount(int c) override { record("OutBufferCount", std::to_string(c)); }
    void setNullDiscard(bool d) override { record("NullDiscard", d ? "1" : "0"); }
    void setRThreshold(int b) override {
        rThreshold = b;
        record("RThreshold", std::to_string(b));
    }
    void setSThreshold(int b) override { record("SThreshold", std::to_string(b)); }
    // Kept out of `calls`: it changes nothing in what the link sends or reads.
    void setEventCharacter(char c) override { eventCharacter = c; }
    char eventCharacter = '\0';

    bool portOpen() const override { return open; }
    void setPortOpen(bool o) override {
        record("PortOpen", o ? "1" : "0");
        error.clear();
        if (o && !devicePresent) {
            error = openError;
            return;
        }
        if (o && !open)
            pending.clear();
        open = o;
    }

    void output(const std::string& text) override {
        written.push_back(text);
        if (onOutput)
            onOutput(text);
    }
    std::string input() override { return std::exchange(pending, std::string()); }
    void setEventHandler(EventHandler h) override { handler = std::move(h); }
    std::string lastError() const override { return error; }
    std::optional<ReceiverFeatures> receiverFeatures() const override { return features; }
    std::optional<ReceiverFeatures> features; // what the radio tells of itself

    // ---- test side ----
    void receive(const std::string& text) {
        if (!open)
            return;
        pending += text;
        if (rThreshold > 0 && int(pending.size()) >= rThreshold)
            fire(CommEventReceive);
    }
    void fire(int code) {
        if (handler)
            handler(code);
    }
    void loseDevice() {
        open = false;
        devicePresent = false;
        pending.clear();
        fire(CommEventDeviceLost);
    }
    std::vector<std::string> takeWritten() { return std::exchange(written, {}); }

private:
    void record(const char* name, const std::string& value) {
        calls.push_back(std::string(name) + "=" + value);
    }

    EventHandler handler;
    std::string error;
};

} // namespace kovo::test
