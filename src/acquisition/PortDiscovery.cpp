#include "PortDiscovery.h"

#include <QSerialPortInfo>

#include <cstdlib>

namespace dgaws {

void completePortEntry(PortEntry& entry)
{
    if (entry.friendlyName.empty())
        entry.friendlyName = entry.portName;
    if (entry.description.empty()) {
        entry.description = entry.friendlyName;
        const auto open = entry.description.rfind(" (");
        if (!entry.description.empty() && entry.description.back() == ')' &&
            open != std::string::npos)
            entry.description.erase(open);
    }
}

std::vector<PortEntry> enumeratePorts()
{
    std::vector<PortEntry> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        PortEntry e;
        e.devicePath = info.systemLocation().toStdString();
        e.portName = info.portName().toStdString();
        const std::string description = info.description().toStdString();
        if (!description.empty())
            e.friendlyName = description + " (" + e.portName + ")";
        e.description = description;
        // A USB serial converter reports its vendor and product; the board's own UARTs do not.
        e.isUsb = info.hasVendorIdentifier() && info.hasProductIdentifier();
        completePortEntry(e);
        ports.push_back(std::move(e));
    }
    return ports;
}

int portNumberFromFriendlyName(const std::string& friendlyName)
{
    const auto at = friendlyName.find("(COM");
    if (at == std::string::npos)
        return 0;
    const std::string digits = at + 5 < friendlyName.size() && friendlyName[at + 5] == ')'
        ? friendlyName.substr(at + 4, 1)
        : friendlyName.substr(at + 4, 2);
    return std::atoi(digits.c_str());
}

std::string portNameFromFriendlyName(const std::string& friendlyName)
{
    const auto close = friendlyName.rfind(')');
    const auto open = friendlyName.rfind('(', close);
    if (close == std::string::npos || open == std::string::npos || close != friendlyName.size() - 1)
        return friendlyName;
    return friendlyName.substr(open + 1, close - open - 1);
}

}  // namespace dgaws
