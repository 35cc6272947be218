#pragma once

#include <string>

namespace dgaws {

// The file of the other channel of the same sample: names built for channel A begin with
// "A_" and those of channel B with "B_", and a channel subfolder is called "A_" or "B_".
// Swaps both; empty when the path carries no channel.
std::string otherChannelFile(const std::string& path);

}  // namespace dgaws
