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
    // A radio driven through Hamlib instead of an AR3000/AR3000A.
    int useHamlib = 0;         // 1 = through Hamlib; "Device" then has no say
    int hamlibModel = 1;       // Hamlib's model number (1: its dummy rig)
    std::string hamlibPort;    // device path, or host:port for model 2
    int hamlibSpeed = 0;       // bit/s; 0 = the model's default
    int hamlibThreshold = -42; // squelch without DCD: open from this strength (dB over S9)
    int hamlibUseDcd = 1;      // 1 = the radio's squelch report decides where it has one
    int hamlibSettle = -1;     // ms after a new frequency; -1 = the model's own figure

    // "Recent File List" "File1": the last document file, opened at start.
    std::string lastFile = "Frequency.kv5";
};

} // namespace kovo
