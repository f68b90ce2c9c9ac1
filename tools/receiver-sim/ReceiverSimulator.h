#pragma once
#include "ReceiverModel.h"
#include "SignalPlan.h"
#include "SimOptions.h"
#include "Transcript.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace kovo::sim {

// What the simulator has done so far, for tests and status displays.
struct SimulatorStatus {
    ReceiverState receiver;
    long commands = 0; // commands taken from the line
    long answers = 0;  // answers due, sent or held back
    long reports = 0;  // unprompted reports sent (AR3000)
};

// A simulated receiver on a pseudo-terminal. The program under test opens
// slavePath() as its serial port. run() serves the line until stop();
// startInThread() does the same on a background thread.
class ReceiverSimulator {
public:
    explicit ReceiverSimulator(SimOptions options);
    ~ReceiverSimulator();
    ReceiverSimulator(const ReceiverSimulator&) = delete;
    ReceiverSimulator& operator=(const ReceiverSimulator&) = delete;

    // Loads the plan, opens the transcript, creates the pty in raw 8N2 mode and
    // makes the link. False with a reason in *error if any of it fails.
    bool start(std::string* error);
    std::string slavePath() const { return slavePath_; }

    // Serves the line until stop() (or requestStopFromSignal()) is called.
    void run();
    void startInThread();
    // Ends run() and joins the thread if there is one. Safe to call twice.
    void stop();
    // Ends run() from a signal handler: only async-signal-safe calls.
    void requestStopFromSignal();

    // Hooks for tests of the program; safe from any thread.
    void setPlan(SignalPlan plan);
    void setMuted(bool muted);
    void dropNextReply();
    void dropReply(long number);
    // The next answer goes out `delayMs` late (later ones wait behind it).
    void delayNextReply(int delayMs);
    // The next answer to exactly `command` goes out `delayMs` late.
    void delayNextAnswerTo(const std::string& command, int delayMs);
    void setReceiverState(const ReceiverState& state);
    SimulatorStatus status() const;

private:
    std::int64_t nowUs() const;
    bool openPty(std::string* error);
    bool makeLink(std::string* error);
    void removeLink();
    void serveOnce();
    void readFromProgram();
    void writeToProgram();
    void wake();
    void closeAll();

    SimOptions options_;
    std::chrono::steady_clock::time_point epoch_;
    std::unique_ptr<ReceiverModel> model_;
    std::optional<SignalPlan> presetPlan_;     // set before start()
    std::optional<ReceiverState> presetState_; // set before start()
    TranscriptFile transcript_;
    mutable std::mutex mutex_; // guards model_ and the transcript

    int master_ = -1;
    int slaveKeeper_ = -1; // keeps the pty alive while the program has it closed
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::string slavePath_;
    bool linked_ = false;
    std::string pendingOut_; // delivered by the model, not yet taken by the pty

    std::atomic<bool> stopRequested_{false};
    std::thread thread_;
};

} // namespace kovo::sim
