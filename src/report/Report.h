#pragma once

#include "chromatogram/ChromatogramData.h"
#include "dga/KeyGases.h"

#include <QImage>

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace dgaws {

// Chinese or English titles, a print setting.
enum class ReportLanguage { Chinese = 0, English = 1 };

// A heading over the blocks below it.
struct ReportHeading {
    std::string text;
};

// Label and value pairs, set two to a line.
struct ReportFields {
    std::vector<std::pair<std::string, std::string>> fields;
};

// A table with a header row; it continues on the next page with its header repeated.
struct ReportTable {
    std::vector<std::string> headers;
    std::vector<std::vector<std::string>> rows;
};

// The chromatogram drawn as vectors: the trace, the peaks' baselines and retention times,
// time and signal axes.
struct ReportGraph {
    std::shared_ptr<const ChromatogramData> data;
};

// The Duval Triangles 1, 4, 5 and Pentagon 1 with the test's point, two by two.
struct ReportDuval {
    KeyGases gases;
};

// A paragraph that wraps to the page width.
struct ReportText {
    std::string text;
};

// A picture drawn by a view (several chromatograms over each other), printed across the
// page's width with its proportions kept.
struct ReportPicture {
    QImage image;
};

using ReportBlock = std::variant<ReportHeading, ReportFields, ReportTable, ReportGraph, ReportText,
                                 ReportDuval, ReportPicture>;

// What a printed report says, laid out on pages only when printed, so preview, paper and
// PDF show the same pages.
struct Report {
    ReportLanguage language = ReportLanguage::Chinese;
    std::string title;
    std::string subtitle;
    std::string laboratory;
    std::string footer;
    // The sample's serial number, printed in the header as the report's number; none: no line.
    std::string reportNumber;
    std::string printedAt;     // the time of printing, as shown in every page's foot
    double marginLeft = 20.0;  // millimetres
    double marginTop = 20.0;
    double marginRight = 20.0;
    double marginBottom = 20.0;
    std::vector<ReportBlock> blocks;

    // The text of a title in the report's language.
    const char* pick(const char* chinese, const char* english) const
    {
        return language == ReportLanguage::English ? english : chinese;
    }
};

}  // namespace dgaws
