#pragma once
#include <array>
#include <string>

namespace kovo {

// The user settings the whole program reads, held as plain values. The
// application loads them from the settings store at start and writes each one
// back the moment it changes; everything else only reads these fields.
struct AppSettings {
    // "Soft Setting"
    int positionX = 40;
    int positionY = 20;
    int showTitle = 1;
    int showControl1 = 1;
    int showControl2 = 0;
    int showDataBase = 0;
    int topMost = 1;
    int afGain = 2;
    int afGainRange = 0;
    int cwPitch = 4;
    int nfmBandWidth = 1;
    int wfmBandWidth = 1;
    int amBandWidth = 0;
    int powerControl = 0;
    int mbMultiSelect = 0;
    // Receiver options and two window toggles: written when changed, 0 at every start.
    int optAfc = 0;
    int optCtcss = 0;
    int optDecoder = 0;
    int optNb = 0;
    int optSam = 0;
    int optFilter = 0;
    int dtmf = 0;
    int elm = 0;

    // "Hardware Setting"
    int portNum = 1;   // 1 = COM1
    int commSpeed = 0; // 0 = 4800, 1 = 9600, 2 = 19200 bit/s
    int device = 1;    // 0 = AR3000, anything else = AR3000A
    // Device path opened for COM1..COM4.
    std::array<std::string, 4> comDevice{"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"};

    // "Recent File List" "File1": the last document file, opened at start.
    std::string lastFile = "Frequency.kv5";
};

} // namespace kovo
