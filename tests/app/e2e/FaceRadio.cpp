#include "FaceRadio.h"

#include "RigctlFace.h"

#include <cstdio>
#include <vector>

namespace kovo::test {

FaceRadio::FaceRadio(std::uint32_t signalHz, int level) {
    char plan[64];
    std::snprintf(plan, sizeof plan, "%u.%06u NFM %d\n", unsigned(signalHz / 1000000),
                  unsigned(signalHz % 1000000), level);
    std::vector<std::string> problems;
    face_ = std::make_unique<sim::RigctlFace>(sim::SignalPlan::parse(plan, &problems));
}

FaceRadio::~FaceRadio() = default;

std::string FaceRadio::start(std::string* error) {
    if (!face_->start(0, error))
        return {};
    return "127.0.0.1:" + std::to_string(face_->port());
}

long FaceRadio::commands() const {
    return face_->commands();
}

std::uint32_t FaceRadio::tunedHz() const {
    return face_->state().frequencyHz;
}

} // namespace kovo::test
