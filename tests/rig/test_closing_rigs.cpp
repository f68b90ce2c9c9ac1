#include <gmock/gmock.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "rig/ClosingRigs.h"
#include "rig/HamlibWorker.h"

namespace kovo::rig {
namespace {

using namespace std::chrono_literals;

// A radio whose tuning blocks until the test lets it go, as a radio that has
// stopped answering does until Hamlib's timeout.
struct Gate {
    std::mutex mutex;
    std::condition_variable changed;
    bool entered = false;
    bool open = false;

    void pass() {
        std::unique_lock lock(mutex);
        entered = true;
        changed.notify_all();
        changed.wait(lock, [this] { return open; });
    }
    void waitEntered() {
        std::unique_lock lock(mutex);
        changed.wait(lock, [this] { return entered; });
    }
    void release() {
        std::lock_guard lock(mutex);
        open = true;
        changed.notify_all();
    }
};

class BlockingRig final : public RigControl {
public:
    explicit BlockingRig(Gate& gate) : gate_(gate) {}
    RigResult setFrequency(std::uint32_t) override {
        gate_.pass();
        return RigResult::Done;
    }
    RigResult setMode(RigMode, int) override { return RigResult::Done; }
    RigResult setAttenuator(bool) override { return RigResult::Done; }
    RigResult readSignal(SignalReport&) override { return RigResult::Done; }
    std::string lastError() const override { return {}; }

private:
    Gate& gate_;
};

// The exit's wait gives up at its limit while a radio still blocks, and
// reports every radio closed once the blocked call has returned.
TEST(ClosingRigs, TheExitWaitsForAWorkerStillInsideACallWithinItsLimit) {
    Gate gate;
    auto worker = std::make_unique<HamlibWorker>(
        [&gate](std::string&) { return std::make_unique<BlockingRig>(gate); }, 0,
        HamlibWorker::Handlers{[](std::string) {}, [](std::string) {}});
    worker->write("145.5\r");
    gate.waitEntered();
    closeInBackground(std::move(worker));
    EXPECT_FALSE(waitForClosedRigs(1ms));
    gate.release();
    EXPECT_TRUE(waitForClosedRigs(30s));
}

} // namespace
} // namespace kovo::rig
