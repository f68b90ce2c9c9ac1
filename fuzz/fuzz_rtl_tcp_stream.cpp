// Feeds what an rtl_tcp server might send to the stream decoder, cut into
// pieces of arbitrary length as a socket gives them (each piece is a length
// byte, then that many bytes). Whatever arrives, the decoder writes no more
// samples than it said it might, every sample lies in -1..1, and a server it
// refused is never taken for a stream afterwards.
#include <complex>
#include <cstdint>
#include <cstdlib>

#include "FuzzInput.h"
#include "sdr/RtlTcpProtocol.h"

namespace {

using kovo::sdr::RtlTcpStreamDecoder;

void check(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kovo::fuzz::FuzzInput input(data, size);
    RtlTcpStreamDecoder decoder;
    constexpr std::size_t kRoom = RtlTcpStreamDecoder::maxSamplesFor(255);
    std::complex<float> samples[kRoom + 1];
    bool refused = false;
    while (!input.empty()) {
        const std::string piece = input.chunk();
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(piece.data());
        const std::size_t written = decoder.feed({bytes, piece.size()}, samples);
        check(written <= RtlTcpStreamDecoder::maxSamplesFor(piece.size()));
        for (std::size_t i = 0; i < written; ++i)
            check(std::abs(samples[i].real()) <= 1.0f && std::abs(samples[i].imag()) <= 1.0f);
        const auto state = decoder.state();
        check(!refused || state == RtlTcpStreamDecoder::State::Refused);
        refused = state == RtlTcpStreamDecoder::State::Refused;
        check(decoder.greeting().has_value() == (state == RtlTcpStreamDecoder::State::Streaming));
        check(decoder.heldBytes() < kovo::sdr::kRtlTcpGreetingSize);
    }
    return 0;
}
