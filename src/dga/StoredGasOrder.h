#pragma once

#include "quant/GasSet.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace dgaws {

// Slots of ChromatogramData::gasInOil, in the order the record stores them.
namespace gas {
enum Slot : size_t { H2 = 0, CH4, C2H2, C2H4, C2H6, N2, O2, CO, CO2, Count };

inline constexpr std::array<std::string_view, Count> kComponentNames = {
    GasSet::H2, GasSet::CH4, GasSet::C2H2, GasSet::C2H4, GasSet::C2H6,
    GasSet::N2, GasSet::O2,  GasSet::CO,   GasSet::CO2};
}  // namespace gas

// Slots of the production rates and of the previous test's seven contents: the order of
// the rate data file, which differs from the stored gas order.
namespace rate {
enum Slot : size_t { CH4 = 0, C2H2, C2H4, C2H6, H2, CO, CO2, Count, TotalHydrocarbons = Count };

inline constexpr std::array<gas::Slot, Count> kGasOf = {gas::CH4, gas::C2H2, gas::C2H4, gas::C2H6,
                                                        gas::H2,  gas::CO,   gas::CO2};
}  // namespace rate

}  // namespace dgaws
