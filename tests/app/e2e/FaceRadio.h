#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace kovo::sim {
class RigctlFace;
}

namespace kovo::test {

// The simulator's Hamlib face with one signal, as a radio behind rigctld.
// Kept apart from Qt: the simulator has members Qt's keywords would take.
class FaceRadio {
public:
    FaceRadio(std::uint32_t signalHz, int level);
    ~FaceRadio();
    // "127.0.0.1:PORT", or empty with the reason in *error.
    std::string start(std::string* error);
    long commands() const;
    std::uint32_t tunedHz() const;

private:
    std::unique_ptr<sim::RigctlFace> face_;
};

} // namespace kovo::test
