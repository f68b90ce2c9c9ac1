#include "PulseCapture.h"

#include "OpusFrameEncoder.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <chrono>
#include <vector>

namespace kovo::web {

namespace {
std::int64_t nowMicros() {
    using namespace std::chrono;
    return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}
} // namespace

PulseCapture::PulseCapture(std::string source) : source_(std::move(source)) {}

PulseCapture::~PulseCapture() {
    stop();
}

void PulseCapture::start(BlockHandler onBlock, ErrorHandler onError) {
    if (running_.exchange(true))
        return;
    onBlock_ = std::move(onBlock);
    onError_ = std::move(onError);
    thread_ = std::thread([this] { run(); });
}

void PulseCapture::stop() {
    running_ = false;
    if (thread_.joinable())
        thread_.join();
}

void PulseCapture::waitBeforeRetry() {
    for (int i = 0; i < 10 && running_; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

void PulseCapture::run() {
    constexpr int rate = OpusFrameEncoder::kSampleRate;
    const pa_sample_spec spec{PA_SAMPLE_FLOAT32LE, std::uint32_t(rate), 1};
    std::vector<float> block(std::size_t(OpusFrameEncoder::kFrameSamples));
    // Fragments of one block: the server hands audio over as soon as a block
    // is full instead of gathering its default of several hundred ms.
    pa_buffer_attr attr{};
    attr.maxlength = std::uint32_t(-1);
    attr.fragsize = std::uint32_t(block.size() * sizeof(float));
    while (running_) {
        int error = 0;
        pa_simple* pa = pa_simple_new(nullptr, "KOVO3000", PA_STREAM_RECORD,
                                      source_.empty() ? nullptr : source_.c_str(), "Web remote",
                                      &spec, nullptr, &attr, &error);
        if (!pa) {
            onError_(std::string("Sound input \"") + (source_.empty() ? "default" : source_) +
                     "\" cannot be opened: " + pa_strerror(error));
            waitBeforeRetry();
            continue;
        }
        while (running_ &&
               pa_simple_read(pa, block.data(), block.size() * sizeof(float), &error) == 0)
            onBlock_(block, nowMicros());
        if (running_)
            onError_(std::string("Sound input lost: ") + pa_strerror(error));
        pa_simple_free(pa);
        waitBeforeRetry();
    }
}

} // namespace kovo::web
