#pragma once

#include <array>
#include <cstddef>

namespace dgaws {

// Slots of ChromatogramData::gasInOil, in the order the record stores them.
namespace gas {
enum Slot : size_t { H2 = 0, CH4, C2H2, C2H4, C2H6, N2, O2, CO, CO2, Count };

// A peak counts as a gas only when its component name equals one of these byte for byte.
inline constexpr std::array<const char*, Count> kComponentNames = {
    "H2(氢气)",      "CH4(甲烷)",  "C2H2(乙炔)",  "C2H4(乙烯)",    "C2H6(乙烷)",
    "N2(氮气)",      "O2(氧气)",   "CO(一氧化碳)", "CO2(二氧化碳)"};
}  // namespace gas

// Slots of the production rates and of the previous test's seven contents: the order of
// the rate data file, which differs from the stored gas order.
namespace rate {
enum Slot : size_t { CH4 = 0, C2H2, C2H4, C2H6, H2, CO, CO2, Count, TotalHydrocarbons = Count };

inline constexpr std::array<gas::Slot, Count> kGasOf = {gas::CH4, gas::C2H2, gas::C2H4, gas::C2H6,
                                                         gas::H2,  gas::CO,   gas::CO2};
}  // namespace rate

}  // namespace dgaws
