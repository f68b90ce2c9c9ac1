#include <cstdio>
#include <string>
#include <vector>

#include "Kovoctl.h"
#include "app/EnglishCatalogue.h"

int main(int argc, char** argv) {
    // Its messages are English, and so are the texts it shares with the program.
    kovo::useEnglishTexts();
    std::vector<std::string> args(argv + 1, argv + argc);
    return kovoctl::runKovoctl(args, stdout, stderr);
}
