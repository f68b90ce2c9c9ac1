#include "PulseCapture.h"

#include "OpusFrameEncoder.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace kovo::web {

namespace {
std::int64_t nowMicros() {
    using namespace std::chrono;
    return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}
} // namespace

// What one capture thread shares with its owner. The callbacks run under
// `calling`, and only while `running`: once stop() has cleared it under the
// same lock, none runs or will run, though the thread itself may still wait
// on the sound server.
struct PulseCapture::Session {
    std::string source;
    BlockHandler onBlock;
    ErrorHandler onError;
    std::atomic<bool> running{true};
    std::mutex calling;

    void block(std::span<const float> samples) {
        const std::lock_guard lock(calling);
        if (running)
            onBlock(samples, nowMicros());
    }
    void error(const std::string& message) {
        const std::lock_guard lock(calling);
        if (running)
            onError(message);
    }
    void waitBeforeRetry() {
        for (int i = 0; i < 10 && running; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    void run();
};

void PulseCapture::Session::run() {
    constexpr int rate = OpusFrameEncoder::kSampleRate;
    const pa_sample_spec spec{PA_SAMPLE_FLOAT32LE, std::uint32_t(rate), 1};
    std::vector<float> samples(std::size_t(OpusFrameEncoder::kFrameSamples));
    // Fragments of one block: the server hands audio over as soon as a block
    // is full instead of gathering its default of several hundred ms.
    pa_buffer_attr attr{};
    attr.maxlength = std::uint32_t(-1);
    attr.fragsize = std::uint32_t(samples.size() * sizeof(float));
    while (running) {
        int code = 0;
        pa_simple* pa = pa_simple_new(nullptr, "KOVO3000", PA_STREAM_RECORD,
                                      source.empty() ? nullptr : source.c_str(), "Web remote",
                                      &spec, nullptr, &attr, &code);
        if (!pa) {
            error(std::string("Sound input \"") + (source.empty() ? "default" : source) +
                  "\" cannot be opened: " + pa_strerror(code));
            waitBeforeRetry();
            continue;
        }
        while (running &&
               pa_simple_read(pa, samples.data(), samples.size() * sizeof(float), &code) == 0)
            block(samples);
        if (running)
            error(std::string("Sound input lost: ") + pa_strerror(code));
        pa_simple_free(pa);
        waitBeforeRetry();
    }
}

PulseCapture::PulseCapture(std::string source) : source_(std::move(source)) {}

PulseCapture::~PulseCapture() {
    stop();
}

void PulseCapture::start(BlockHandler onBlock, ErrorHandler onError) {
    if (session_)
        return;
    if (*alive_ >= kMaxWindingDown) {
        onError("The sound server does not answer; try again later.");
        return;
    }
    auto session = std::make_shared<Session>();
    session->source = source_;
    session->onBlock = std::move(onBlock);
    session->onError = std::move(onError);
    ++*alive_;
    std::thread([session, alive = alive_] {
        session->run();
        --*alive;
    }).detach();
    session_ = std::move(session);
}

void PulseCapture::stop() {
    if (!session_)
        return;
    {
        const std::lock_guard lock(session_->calling);
        session_->running = false;
    }
    session_.reset();
}

} // namespace kovo::web
