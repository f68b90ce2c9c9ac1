#include "SoundOutput.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace kovo::sdr {

// What the writer thread shares with its owner; the thread keeps it alive
// for as long as it runs, which may outlast the owner.
struct SoundOutput::Writer {
    explicit Writer(SoundOutputSettings s)
        : settings(std::move(s)), capacity(std::size_t(std::max(settings.sampleRate, 1)) *
                                           std::size_t(std::max(settings.queueMs, 1)) / 1000) {}

    const SoundOutputSettings settings;
    const std::size_t capacity; // samples
    mutable std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::vector<float>> queue;
    std::vector<std::vector<float>> spare;
    std::size_t queued = 0;
    bool running = true;
    SoundOutputStatus status;

    bool push(std::span<const float> audio);
    void run();

private:
    pa_simple* connect();
    // Waits for audio to play; false when the output is stopping.
    bool take(std::vector<float>* block);
    void disconnected(const std::string& error);
    void waitBeforeRetry();
};

bool SoundOutput::Writer::push(std::span<const float> audio) {
    {
        std::lock_guard lock(mutex);
        // Without a server there is nobody to play it to: queued, it would
        // only come out late once the server is back.
        if (!status.connected || queued + audio.size() > capacity) {
            status.droppedSamples += audio.size();
            return false;
        }
        std::vector<float> block;
        if (!spare.empty()) {
            block = std::move(spare.back());
            spare.pop_back();
        }
        block.assign(audio.begin(), audio.end());
        queued += block.size();
        queue.push_back(std::move(block));
    }
    changed.notify_one();
    return true;
}

bool SoundOutput::Writer::take(std::vector<float>* block) {
    std::unique_lock lock(mutex);
    changed.wait(lock, [this] { return !running || !queue.empty(); });
    if (!running)
        return false;
    if (!block->empty() && spare.size() < 16)
        spare.push_back(std::move(*block));
    *block = std::move(queue.front());
    queue.pop_front();
    queued -= block->size();
    return true;
}

pa_simple* SoundOutput::Writer::connect() {
    const pa_sample_spec spec{PA_SAMPLE_FLOAT32LE, std::uint32_t(settings.sampleRate), 1};
    // A short target length keeps the sound close to the signal; the server
    // starts playing once that much has come.
    pa_buffer_attr attr{};
    attr.maxlength = std::uint32_t(-1);
    attr.tlength = std::uint32_t(std::size_t(settings.sampleRate) *
                                 std::size_t(settings.latencyMs) / 1000 * sizeof(float));
    attr.prebuf = std::uint32_t(-1);
    attr.minreq = std::uint32_t(-1);
    int code = 0;
    pa_simple* pa = pa_simple_new(nullptr, settings.streamName.c_str(), PA_STREAM_PLAYBACK,
                                  settings.sink.empty() ? nullptr : settings.sink.c_str(),
                                  settings.streamName.c_str(), &spec, nullptr, &attr, &code);
    std::lock_guard lock(mutex);
    if (pa) {
        status.connected = true;
        status.lastError.clear();
    } else {
        status.lastError = std::string("The sound output cannot be opened: ") + pa_strerror(code);
    }
    return pa;
}

void SoundOutput::Writer::disconnected(const std::string& error) {
    std::lock_guard lock(mutex);
    status.connected = false;
    if (!error.empty())
        status.lastError = error;
    for (const auto& block : queue)
        status.droppedSamples += block.size();
    queue.clear();
    queued = 0;
}

void SoundOutput::Writer::waitBeforeRetry() {
    std::unique_lock lock(mutex);
    changed.wait_for(lock, std::chrono::milliseconds(settings.retryMs),
                     [this] { return !running; });
}

void SoundOutput::Writer::run() {
    std::vector<float> block;
    while (true) {
        {
            std::lock_guard lock(mutex);
            if (!running)
                break;
        }
        pa_simple* pa = connect();
        if (!pa) {
            waitBeforeRetry();
            continue;
        }
        std::string error;
        while (take(&block)) {
            int code = 0;
            if (pa_simple_write(pa, block.data(), block.size() * sizeof(float), &code) != 0) {
                error = std::string("The sound output was lost: ") + pa_strerror(code);
                break;
            }
            std::lock_guard lock(mutex);
            status.playedSamples += block.size();
        }
        disconnected(error);
        pa_simple_free(pa);
        if (!error.empty())
            waitBeforeRetry();
    }
}

SoundOutput::SoundOutput(SoundOutputSettings settings) : settings_(std::move(settings)) {}

SoundOutput::~SoundOutput() {
    stop();
}

void SoundOutput::start() {
    std::lock_guard lock(writerMutex_);
    if (writer_)
        return;
    writer_ = std::make_shared<Writer>(settings_);
    std::thread([writer = writer_] { writer->run(); }).detach();
}

void SoundOutput::stop() {
    std::shared_ptr<Writer> writer;
    {
        std::lock_guard lock(writerMutex_);
        writer.swap(writer_);
    }
    if (!writer)
        return;
    {
        std::lock_guard lock(writer->mutex);
        writer->running = false;
    }
    writer->changed.notify_all();
}

std::shared_ptr<SoundOutput::Writer> SoundOutput::writer() const {
    std::lock_guard lock(writerMutex_);
    return writer_;
}

bool SoundOutput::push(std::span<const float> audio) {
    const auto writer = this->writer();
    return writer && writer->push(audio);
}

SoundOutputStatus SoundOutput::status() const {
    const auto writer = this->writer();
    if (!writer)
        return {};
    std::lock_guard lock(writer->mutex);
    return writer->status;
}

} // namespace kovo::sdr
