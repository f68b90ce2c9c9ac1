#pragma once
#include <cstdint>
#include <span>
#include <vector>

namespace kovo::web {

// IMA ADPCM: 4 bits a sample, each a step up or down from the last sample
// with a step size that adapts. The encoder follows its own output exactly
// as a decoder will, so both stay in step.
struct ImaAdpcmState {
    int predictor = 0; // the last sample as the decoder has it
    int stepIndex = 0; // 0..88 into the step size table
};

// One block as the page receives it: the state before its first sample
// (predictor, 2 bytes big-endian and signed; step index, 1 byte), then the
// samples, two a byte, the earlier one in the low four bits.
inline constexpr int kImaAdpcmBlockHeaderSize = 3;

// Encodes an even number of samples as one block and advances `state`.
std::vector<unsigned char> encodeImaAdpcmBlock(std::span<const std::int16_t> samples,
                                               ImaAdpcmState& state);
// The samples of one block; nothing for a block shorter than its header or
// with a step index out of range.
std::vector<std::int16_t> decodeImaAdpcmBlock(std::span<const unsigned char> block);

} // namespace kovo::web
