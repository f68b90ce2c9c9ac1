#include "rig/HamlibWorker.h"

#include "rig/HamlibRig.h"
#include "rig/RigCommandInterpreter.h"

#include <clocale>

namespace kovo::rig {

namespace {

// Opening a radio, Hamlib switches the numeric locale to "C" and back through
// the name it read before, which that switch frees unless the numeric locale
// is "C" already. The program formats numbers itself and never needs another
// numeric locale, so it is set to "C" here, on the creating thread, before
// the worker thread that calls into Hamlib starts.
HamlibWorker::RigFactory hamlibFactory(const HamlibSettings& settings) {
    std::setlocale(LC_NUMERIC, "C");
    return [settings](std::string& error) -> std::unique_ptr<RigControl> {
        auto rig = std::make_unique<HamlibRig>();
        if (!rig->open(settings)) {
            error = rig->lastError();
            return nullptr;
        }
        return rig;
    };
}

int settleFor(const HamlibSettings& settings) {
    return settings.settleMs; // negative: the model's figure, read once the radio is open
}

} // namespace

HamlibWorker::HamlibWorker(const HamlibSettings& settings, Handlers handlers)
    : HamlibWorker(hamlibFactory(settings), settleFor(settings), std::move(handlers)) {}

HamlibWorker::HamlibWorker(RigFactory factory, int settleMs, Handlers handlers)
    : handlers_(std::move(handlers)) {
    thread_ = std::thread([this, factory = std::move(factory), settleMs]() mutable {
        run(std::move(factory), settleMs);
    });
}

HamlibWorker::~HamlibWorker() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void HamlibWorker::write(const std::string& text) {
    {
        std::lock_guard lock(mutex_);
        for (char c : text) {
            if (c == '\r') {
                jobs_.push_back({std::move(partial_), {}});
                partial_.clear();
            } else if (c != '\n') {
                partial_ += c;
            }
        }
    }
    wake_.notify_all();
}

void HamlibWorker::clearPending() {
    std::lock_guard lock(mutex_);
    std::erase_if(jobs_, [](const Job& job) { return !job.readingsTaken; });
    partial_.clear();
}

void HamlibWorker::takeReadings(ReadingsTaken taken) {
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back({{}, std::move(taken)});
    }
    wake_.notify_all();
}

bool HamlibWorker::nextJob(Job& job) {
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
    if (stopping_)
        return false;
    job = std::move(jobs_.front());
    jobs_.pop_front();
    return true;
}

void HamlibWorker::run(RigFactory factory, int settleMs) {
    std::string error;
    std::unique_ptr<RigControl> rig = factory(error);
    if (!rig) {
        handlers_.lost(error);
        return;
    }
    auto* hamlib = dynamic_cast<HamlibRig*>(rig.get());
    if (settleMs < 0)
        settleMs = hamlib ? hamlib->modelSettleMs() : 0;
    if (hamlib && handlers_.opened)
        handlers_.opened(hamlib->capabilities());
    RigCommandInterpreter interpreter(*rig);
    interpreter.setSettleTime(std::chrono::milliseconds(settleMs));
    Job job;
    while (nextJob(job)) {
        std::optional<std::string> answer;
        RigReadings readings;
        const bool ok = job.readingsTaken ? rig->readReadings(readings) != RigResult::Failed
                                          : (answer = interpreter.execute(job.line)).has_value();
        if (!ok) {
            const std::string why = rig->lastError();
            rig.reset(); // closed before the loss is told, so a reopening finds it free
            handlers_.lost(why);
            return;
        }
        if (job.readingsTaken)
            job.readingsTaken(readings);
        else
            handlers_.received(*answer);
    }
}

} // namespace kovo::rig
