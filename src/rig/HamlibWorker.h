#pragma once
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "rig/HamlibSettings.h"
#include "rig/RigCapabilities.h"
#include "rig/RigControl.h"

namespace kovo::rig {

// A thread of its own that owns the radio: it opens it, takes the command text
// written to it, carries each CR-ended line out on the radio and hands the
// answers back. Nothing that blocks on the radio runs on the caller's thread.
//
// The handlers run on the worker thread; the owner passes them on to its own.
// A radio that does not open or stops answering is closed and reported once
// through `lost`, with Hamlib's words for it; the worker then takes no more
// commands.
class HamlibWorker {
public:
    struct Handlers {
        std::function<void(std::string text)> received;
        std::function<void(std::string why)> lost;
        // Once the radio is open, before any answer: what it can do.
        std::function<void(RigCapabilities)> opened = {};
    };
    // Builds the radio on the worker thread; tests pass a fake.
    using RigFactory = std::function<std::unique_ptr<RigControl>(std::string& error)>;

    HamlibWorker(const HamlibSettings& settings, Handlers handlers);
    HamlibWorker(RigFactory factory, int settleMs, Handlers handlers);
    ~HamlibWorker();
    HamlibWorker(const HamlibWorker&) = delete;
    HamlibWorker& operator=(const HamlibWorker&) = delete;

    // Queues text for the radio; every CR ends a command.
    void write(const std::string& text);
    // Forgets commands not yet carried out.
    void clearPending();
    // Reads the radio's squelch report and strength once, after the commands
    // already queued, and hands them to `taken` on the worker thread. A
    // radio that fails the reading is lost as it is for a command.
    using ReadingsTaken = std::function<void(RigReadings)>;
    void takeReadings(ReadingsTaken taken);

private:
    // A command line, or a request for the readings.
    struct Job {
        std::string line;
        ReadingsTaken readingsTaken;
    };
    void run(RigFactory factory, int settleMs);
    bool nextJob(Job& job);

    Handlers handlers_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::string partial_;
    std::deque<Job> jobs_;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace kovo::rig
