#include "PreRoll.h"

#include <algorithm>

namespace kovo::recorder {

void PreRoll::push(std::span<const float> samples) {
    const std::size_t n = ring_.size();
    if (n == 0)
        return;
    // Only the newest n samples can survive.
    if (samples.size() > n)
        samples = samples.last(n);
    for (float s : samples) {
        ring_[next_] = s;
        next_ = (next_ + 1) % n;
    }
    size_ = std::min(n, size_ + samples.size());
}

std::vector<float> PreRoll::take() {
    const std::size_t n = ring_.size();
    std::vector<float> out;
    out.reserve(size_);
    for (std::size_t i = 0; i < size_; ++i)
        out.push_back(ring_[(next_ + n - size_ + i) % n]);
    size_ = 0;
    return out;
}

} // namespace kovo::recorder
