#pragma once

#include <array>
#include <string_view>

namespace dgaws {

// The nine dissolved gases, known by their exact component names; a peak is one of them only
// when its `componentName` equals the name byte for byte. Listed in the order components are
// inserted and tests are recorded.
namespace GasSet {
inline constexpr std::string_view H2 = "H2(氢气)";
inline constexpr std::string_view CH4 = "CH4(甲烷)";
inline constexpr std::string_view C2H6 = "C2H6(乙烷)";
inline constexpr std::string_view C2H4 = "C2H4(乙烯)";
inline constexpr std::string_view C2H2 = "C2H2(乙炔)";
inline constexpr std::string_view CO = "CO(一氧化碳)";
inline constexpr std::string_view CO2 = "CO2(二氧化碳)";
inline constexpr std::string_view O2 = "O2(氧气)";
inline constexpr std::string_view N2 = "N2(氮气)";

inline constexpr std::array<std::string_view, 9> names = {H2, CH4, C2H6, C2H4, C2H2,
                                                          CO, CO2, O2,   N2};
}  // namespace GasSet

}  // namespace dgaws
