#pragma once
#include <string>
#include <vector>

namespace kovo::rig {

// One radio model of Hamlib's own list.
struct HamlibModel {
    int number;
    std::string maker;
    std::string name;
};

// Every model the installed Hamlib drives, in its order.
std::vector<HamlibModel> hamlibModels();

} // namespace kovo::rig
