#pragma once

#include "KeyGases.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace dgaws {

// One interpretation method's reading of a test: its zone code, none where the method does
// not apply, and the ratios or percentages it read (none for a ratio whose denominator is
// 0 and whose numerator is not).
struct Interpretation {
    std::string method;  // "iec60599", "rogers", ... as the command line names it
    std::optional<std::string> zone;
    std::vector<std::pair<std::string, std::optional<double>>> used;
};

// Every method, in the order iec60599, rogers, doernenburg, duvalTriangle1, duvalTriangle4,
// duvalTriangle5, duvalPentagon1, duvalPentagon2.
std::vector<Interpretation> interpretGases(const KeyGases& gases);

// The caption of a method in a table, in Chinese or English.
const char* interpretationCaption(const std::string& method, bool english = false);

}  // namespace dgaws
