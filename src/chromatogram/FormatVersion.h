#pragma once

#include <string>
#include <string_view>

namespace dgaws {

// Every stored block is led by three ASCII digits; readers branch on the number.
struct FormatVersion {
    static constexpr int kCurrent = 755;

    char tag[3] = {'7', '5', '5'};
    int number = kCurrent;

    FormatVersion() = default;
    explicit FormatVersion(int n);

    static int numberFromTag(std::string_view threeBytes);
    static FormatVersion fromTag(std::string_view threeBytes);

    void reset() { *this = FormatVersion(); }
    std::string text() const { return std::string(tag, 3); }
};

}  // namespace dgaws
