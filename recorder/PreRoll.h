#pragma once
#include <cstddef>
#include <span>
#include <vector>

namespace kovo::recorder {

// The most recent audio while nothing is being kept, so that a recording
// can begin a little before the squelch opened: a ring of the last
// `capacity` samples.
class PreRoll {
public:
    explicit PreRoll(std::size_t capacity) : ring_(capacity) {}

    void push(std::span<const float> samples);
    // The samples held, oldest first; the ring is empty afterwards.
    std::vector<float> take();
    void clear() { size_ = 0; }
    std::size_t size() const { return size_; }
    std::size_t capacity() const { return ring_.size(); }

private:
    std::vector<float> ring_;
    std::size_t next_ = 0; // where the next sample goes
    std::size_t size_ = 0;
};

} // namespace kovo::recorder
