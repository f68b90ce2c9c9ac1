#pragma once
#include "IqBlockQueue.h"

#include <complex>
#include <cstddef>
#include <cstdint>

namespace kovo::sdr {

// Cuts the decoded sample stream into blocks of a fixed size for the queue,
// each stamped with the tuning in force. After a retune the samples that
// were already on their way (the socket's backlog and the device's settling
// time, given as a count) are thrown away here, together with the block
// being filled, so a block never mixes two tunings.
class IqBlockAssembler {
public:
    IqBlockAssembler(IqBlockQueue& queue, std::size_t blockSamples);

    // From now on blocks belong to this tuning, once `discardSamples` more
    // samples have gone by.
    void retune(std::uint64_t generation, std::uint64_t centreHz, std::uint32_t sampleRate,
                std::uint64_t discardSamples);
    // Takes decoded samples; full blocks go to the queue.
    void append(const std::complex<float>* samples, std::size_t count);

    // Samples dropped because they belonged to an older tuning.
    std::uint64_t staleSamples() const { return staleSamples_; }
    std::uint64_t generation() const { return generation_; }

private:
    void startBlock();

    IqBlockQueue& queue_;
    const std::size_t blockSamples_;
    IqBlock block_;
    std::uint64_t generation_ = 0;
    std::uint64_t centreHz_ = 0;
    std::uint32_t sampleRate_ = 0;
    std::uint64_t discardLeft_ = 0;
    std::uint64_t staleSamples_ = 0;
};

} // namespace kovo::sdr
