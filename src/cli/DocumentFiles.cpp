#include "DocumentFiles.h"

#include "chromatogram/ChromatogramFile.h"

#include <climits>
#include <cmath>
#include <ostream>

namespace dgaws::cli {

bool openChromatogram(CChrEDoc& doc, const std::string& path, std::ostream& err)
{
    try {
        doc.data = readChromatogramFile(path);
    } catch (const std::exception& e) {
        err << "dgaws-cli: cannot read " << path << ": " << e.what() << '\n';
        return false;
    }
    doc.state = CChrEDoc::FromFile;
    doc.pathName = path;
    return true;
}

bool writeChromatogram(const CChrEDoc& doc, const std::string& path, std::ostream& err)
{
    try {
        writeChromatogramFile(path, doc.data);
    } catch (const std::exception& e) {
        err << "dgaws-cli: cannot write " << path << ": " << e.what() << '\n';
        return false;
    }
    return true;
}

int nearestSample(const ChromatogramData& data, double minutes)
{
    const double v = std::round(static_cast<double>(data.pointsPerSecond) * minutes * 60.0);
    if (!std::isfinite(v) || v <= INT_MIN)
        return INT_MIN;
    if (v >= INT_MAX)
        return INT_MAX;
    return static_cast<int>(v);
}

}  // namespace dgaws::cli
