#include <cstdio>
#include <string>
#include <vector>

#include "Kovoctl.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return kovoctl::runKovoctl(args, stdout, stderr);
}
