#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "scan/ScanStop.h"

namespace kovo {

namespace sim {
class ReceiverSimulator;
}
struct AppSettings;
struct ReceiverDescription;
class CKovo5Doc;

// The receiver of demo mode: the simulator on a pseudo-terminal, served by a
// background thread, speaking the configured receiver kind at the configured
// speed. The program opens its terminal in place of the serial port.
class DemoReceiver {
public:
    explicit DemoReceiver(const AppSettings& settings);
    ~DemoReceiver();
    DemoReceiver(const DemoReceiver&) = delete;
    DemoReceiver& operator=(const DemoReceiver&) = delete;

    // False with the reason in *error when the terminal cannot be made.
    bool start(std::string* error);
    // The terminal the program opens as its serial port.
    std::string devicePath() const;
    // The receiver the simulator is: an AR3000 or AR3000A as "Device" named
    // it when the demo began, whatever else the settings say.
    const ReceiverDescription& receiver() const { return *receiver_; }

    // Something to scan: the simulator's air-band and 2 m transmitters as a
    // dozen channels in two banks, in memory scan. Only in memory until saved.
    static void fillDocument(CKovo5Doc& doc);
    // One line for the terminal: frequency, mode, level and comment.
    static std::string describe(const ScanStop& stop);

private:
    const ReceiverDescription* receiver_;
    std::unique_ptr<sim::ReceiverSimulator> simulator_;
};

} // namespace kovo
