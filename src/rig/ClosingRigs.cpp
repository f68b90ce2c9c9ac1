#include "rig/ClosingRigs.h"

#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "rig/HamlibWorker.h"

namespace kovo::rig {

namespace {

struct Closing {
    std::mutex mutex;
    std::vector<std::future<void>> done;
};

Closing& closing() {
    // Never destroyed: a worker still closing after the program's last wait
    // must find it in place.
    static auto* instance = new Closing;
    return *instance;
}

} // namespace

void closeInBackground(std::unique_ptr<HamlibWorker> worker) {
    if (!worker)
        return;
    std::packaged_task<void()> task([worker = std::move(worker)]() mutable { worker.reset(); });
    {
        Closing& c = closing();
        std::lock_guard lock(c.mutex);
        c.done.push_back(task.get_future());
    }
    std::thread(std::move(task)).detach();
}

bool waitForClosedRigs(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    Closing& c = closing();
    std::lock_guard lock(c.mutex);
    std::erase_if(c.done, [deadline](std::future<void>& f) {
        return f.wait_until(deadline) == std::future_status::ready;
    });
    return c.done.empty();
}

} // namespace kovo::rig
