#pragma once
#include "IqBlock.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

namespace kovo::sdr {

// The bounded hand-over between the thread that reads a device and the one
// that processes its samples. When the consumer falls behind and the queue
// is full, the new block is dropped and counted as an overrun: samples are
// lost, and the count says so. Sample buffers go round through `recycle` and
// `emptyBlock`, so a running stream allocates nothing.
class IqBlockQueue {
public:
    explicit IqBlockQueue(std::size_t capacity);

    // Queues `block`; false (and one overrun more) when the queue is full.
    bool push(IqBlock&& block);
    std::optional<IqBlock> tryPop();
    // Waits up to `wait` for a block.
    std::optional<IqBlock> popFor(std::chrono::milliseconds wait);
    // Hands a processed block's buffer back for reuse.
    void recycle(IqBlock&& block);
    // A block with no samples, on a reused buffer where one is free.
    IqBlock emptyBlock();
    // Drops every queued block (not counted as overruns).
    void clear();

    std::uint64_t overruns() const;
    std::size_t size() const;
    std::size_t capacity() const { return capacity_; }

private:
    const std::size_t capacity_;
    mutable std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<IqBlock> blocks_;
    std::vector<std::vector<std::complex<float>>> spare_;
    std::uint64_t overruns_ = 0;
};

} // namespace kovo::sdr
