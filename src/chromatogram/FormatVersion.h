#pragma once

#include <string>
#include <string_view>

namespace dgaws {

// The formats at which a stored layout changed. Loading follows the file's own format;
// storing always writes FormatVersion::kCurrent.
namespace Format {
inline constexpr int MethodOwnTag = 502;       // the method block leads with its own tag
inline constexpr int MethodComponents = 503;   // the method block ends with its components
inline constexpr int GroupResults = 504;       // chromatograms keep their group totals
inline constexpr int FloatSamples = 511;       // samples and extrema as floats, not ints
inline constexpr int FloatRate = 511;          // the rate as a float, until the current layout
inline constexpr int OlderManualEvents = 511;  // the older method order gains manual events,
inline constexpr int OlderGroups = 512;        // impurity and group calculation,
inline constexpr int OlderInstruments = 513;   // the instrument entries,
inline constexpr int OlderNaming = 514;        // the save folders and file naming,
inline constexpr int OlderReport = 516;        // and the report settings
inline constexpr int DroppedPeakList = 515;    // 515 and 516 carry a second peak list
inline constexpr int CurrentLayout = 517;      // the method's present order, the diagnosis
inline constexpr int EnglishLabels = 600;      // instrument entries have an English label
inline constexpr int OilTest = 750;            // the method's oil test, each peak's oil content
inline constexpr int MethodOption7 = 752;
inline constexpr int ReportDiagnosis = 753;
inline constexpr int ExtraTexts = 754;
inline constexpr int RulerBackColor = 755;
}  // namespace Format

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
