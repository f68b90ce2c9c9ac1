#include "ImaAdpcm.h"

#include <algorithm>
#include <array>

namespace kovo::web {

namespace {

constexpr std::array<int, 89> kStepSizes{
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

constexpr std::array<int, 8> kIndexSteps{-1, -1, -1, -1, 2, 4, 6, 8};

constexpr int kMaxStepIndex = int(kStepSizes.size()) - 1;

// Applies one code to the state, as the decoder does; returns the sample.
int applyCode(int code, ImaAdpcmState& state) {
    const int step = kStepSizes[std::size_t(state.stepIndex)];
    int difference = step >> 3;
    if (code & 4)
        difference += step;
    if (code & 2)
        difference += step >> 1;
    if (code & 1)
        difference += step >> 2;
    state.predictor += (code & 8) ? -difference : difference;
    state.predictor = std::clamp(state.predictor, -32768, 32767);
    state.stepIndex =
        std::clamp(state.stepIndex + kIndexSteps[std::size_t(code & 7)], 0, kMaxStepIndex);
    return state.predictor;
}

int encodeSample(int sample, ImaAdpcmState& state) {
    int difference = sample - state.predictor;
    int code = 0;
    if (difference < 0) {
        code = 8;
        difference = -difference;
    }
    int step = kStepSizes[std::size_t(state.stepIndex)];
    for (int bit = 4; bit > 0; bit >>= 1) {
        if (difference >= step) {
            code |= bit;
            difference -= step;
        }
        step >>= 1;
    }
    applyCode(code, state);
    return code;
}

} // namespace

std::vector<unsigned char> encodeImaAdpcmBlock(std::span<const std::int16_t> samples,
                                               ImaAdpcmState& state) {
    std::vector<unsigned char> block;
    block.reserve(kImaAdpcmBlockHeaderSize + samples.size() / 2);
    const auto predictor = static_cast<std::uint16_t>(state.predictor);
    block.push_back(static_cast<unsigned char>(predictor >> 8));
    block.push_back(static_cast<unsigned char>(predictor & 0xff));
    block.push_back(static_cast<unsigned char>(state.stepIndex));
    for (std::size_t i = 0; i + 1 < samples.size(); i += 2) {
        const int low = encodeSample(samples[i], state);
        const int high = encodeSample(samples[i + 1], state);
        block.push_back(static_cast<unsigned char>(low | (high << 4)));
    }
    return block;
}

std::vector<std::int16_t> decodeImaAdpcmBlock(std::span<const unsigned char> block) {
    std::vector<std::int16_t> samples;
    if (block.size() < std::size_t(kImaAdpcmBlockHeaderSize) || block[2] > kMaxStepIndex)
        return samples;
    ImaAdpcmState state;
    state.predictor = static_cast<std::int16_t>(std::uint16_t((block[0] << 8) | block[1]));
    state.stepIndex = block[2];
    samples.reserve(2 * (block.size() - kImaAdpcmBlockHeaderSize));
    for (unsigned char byte : block.subspan(kImaAdpcmBlockHeaderSize)) {
        samples.push_back(static_cast<std::int16_t>(applyCode(byte & 0x0f, state)));
        samples.push_back(static_cast<std::int16_t>(applyCode(byte >> 4, state)));
    }
    return samples;
}

} // namespace kovo::web
