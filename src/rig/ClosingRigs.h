#pragma once
#include <chrono>
#include <memory>

namespace kovo::rig {

class HamlibWorker;

// Closes a worker on a thread of its own: the worker may be inside a call
// that blocks for seconds, and its owner must not wait for it. The program
// waits for every radio closed this way before it ends, so that no worker
// still runs while the process tears down.
void closeInBackground(std::unique_ptr<HamlibWorker> worker);

// Waits until every worker handed to closeInBackground() has closed, or the
// wait has lasted `limit`. True when all of them have closed.
bool waitForClosedRigs(std::chrono::milliseconds limit);

} // namespace kovo::rig
