#include "IqBlockQueue.h"

namespace kovo::sdr {

IqBlockQueue::IqBlockQueue(std::size_t capacity) : capacity_(capacity == 0 ? 1 : capacity) {}

bool IqBlockQueue::push(IqBlock&& block) {
    {
        std::lock_guard lock(mutex_);
        if (blocks_.size() >= capacity_) {
            ++overruns_;
            if (spare_.size() < capacity_)
                spare_.push_back(std::move(block.samples));
            return false;
        }
        blocks_.push_back(std::move(block));
    }
    ready_.notify_one();
    return true;
}

std::optional<IqBlock> IqBlockQueue::tryPop() {
    return popFor(std::chrono::milliseconds(0));
}

std::optional<IqBlock> IqBlockQueue::popFor(std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    if (!ready_.wait_for(lock, wait, [this] { return !blocks_.empty(); }))
        return std::nullopt;
    IqBlock block = std::move(blocks_.front());
    blocks_.pop_front();
    return block;
}

void IqBlockQueue::recycle(IqBlock&& block) {
    std::lock_guard lock(mutex_);
    // Enough spares for a full queue and the blocks being filled or read.
    if (spare_.size() < capacity_ + 2)
        spare_.push_back(std::move(block.samples));
}

IqBlock IqBlockQueue::emptyBlock() {
    IqBlock block;
    std::lock_guard lock(mutex_);
    if (!spare_.empty()) {
        block.samples = std::move(spare_.back());
        spare_.pop_back();
        block.samples.clear();
    }
    return block;
}

void IqBlockQueue::clear() {
    std::lock_guard lock(mutex_);
    while (!blocks_.empty()) {
        if (spare_.size() < capacity_ + 2)
            spare_.push_back(std::move(blocks_.front().samples));
        blocks_.pop_front();
    }
}

std::uint64_t IqBlockQueue::overruns() const {
    std::lock_guard lock(mutex_);
    return overruns_;
}

std::size_t IqBlockQueue::size() const {
    std::lock_guard lock(mutex_);
    return blocks_.size();
}

} // namespace kovo::sdr
