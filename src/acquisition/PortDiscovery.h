#pragma once

#include <string>
#include <vector>

namespace dgaws {

// One serial port of the computer.
struct PortEntry {
    std::string devicePath;    // what opening uses, e.g. /dev/ttyUSB0
    std::string portName;      // e.g. ttyUSB0
    std::string friendlyName;  // normally the description and " (portName)"
    bool isUsb = false;
    std::string description;

    bool operator==(const PortEntry&) const = default;
};

// The serial ports present, in the order the system lists them, with the empty fields filled.
std::vector<PortEntry> enumeratePorts();

// The friendly name from the port name when it is empty; the description from the friendly
// name (without a trailing " (...)") when it is empty.
void completePortEntry(PortEntry& entry);

// The number of a COM port from a friendly name ending in "(COM3)" or "(COM12)": one digit
// when ")" follows it, else the two characters after "(COM", read as atoi reads them; 0 when
// the name has no "(COM".
int portNumberFromFriendlyName(const std::string& friendlyName);

// The name shown for a friendly name: the text in its last parentheses ("COM3", "ttyUSB0"),
// or the whole name when it has none.
std::string portNameFromFriendlyName(const std::string& friendlyName);

}  // namespace dgaws
