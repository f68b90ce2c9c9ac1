#include "IqBlockAssembler.h"

#include <algorithm>

namespace kovo::sdr {

IqBlockAssembler::IqBlockAssembler(IqBlockQueue& queue, std::size_t blockSamples)
    : queue_(queue), blockSamples_(std::max<std::size_t>(blockSamples, 1)) {
    startBlock();
}

void IqBlockAssembler::startBlock() {
    block_ = queue_.emptyBlock();
    block_.samples.reserve(blockSamples_);
    block_.generation = generation_;
    block_.centreHz = centreHz_;
    block_.sampleRate = sampleRate_;
}

void IqBlockAssembler::retune(std::uint64_t generation, std::uint64_t centreHz,
                              std::uint32_t sampleRate, std::uint64_t discardSamples) {
    staleSamples_ += block_.samples.size();
    generation_ = generation;
    centreHz_ = centreHz;
    sampleRate_ = sampleRate;
    discardLeft_ = discardSamples;
    block_.samples.clear();
    block_.generation = generation_;
    block_.centreHz = centreHz_;
    block_.sampleRate = sampleRate_;
}

void IqBlockAssembler::append(const std::complex<float>* samples, std::size_t count) {
    const std::size_t skipped = std::size_t(std::min<std::uint64_t>(discardLeft_, count));
    discardLeft_ -= skipped;
    staleSamples_ += skipped;
    samples += skipped;
    count -= skipped;
    while (count > 0) {
        const std::size_t take = std::min(count, blockSamples_ - block_.samples.size());
        block_.samples.insert(block_.samples.end(), samples, samples + take);
        samples += take;
        count -= take;
        if (block_.samples.size() == blockSamples_) {
            queue_.push(std::move(block_));
            startBlock();
        }
    }
}

} // namespace kovo::sdr
