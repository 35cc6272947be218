// The exported file read by netCDF's own ncdump, an independent reader: every dimension,
// attribute and value of a small chromatogram as text.
#include "chromatogram/AiaFile.h"
#include "chromatogram/FileIO.h"

#include "CivilTime.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using namespace dgaws;

namespace {

#ifdef DGAWS_NCDUMP
std::string run(const std::string& command)
{
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return out;
    char buf[4096];
    size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
        out.append(buf, n);
    ::pclose(pipe);
    return out;
}
#endif

}  // namespace

TEST(CdfNcdump, ExportedFileAsNetcdfReadsIt)
{
#ifndef DGAWS_NCDUMP
    GTEST_SKIP() << "ncdump (netcdf-bin) is not installed";
#else
    test::TempDir dir;
    // The stamp carries the zone of the laboratory.
    const test::ScopedTimeZone beijing("CST-8");
    ChromatogramData d;
    d.signal.assign({1.5f, -2.25f, 1000.0f, 3.0f, 0.5f});
    d.hasData = 1;
    d.pointsPerSecond = 2;
    d.method.levelMax = 10.0;
    d.method.levelMin = -0.5;
    d.method.deviceNo = "T-1";
    d.method.tester = "li";
    d.method.serialNo = "2013062301";
    d.method.calcMethod = 2;
    d.injectionTime = OleDateTime::fromCivil(2013, 6, 23, 8, 5, 30);
    PeakRecord p;
    p.startIndex = 1;
    p.apexIndex = 2;
    p.endIndex = 3;
    p.baselineStartIndex = 0;
    p.baselineEndIndex = 4;
    p.retentionTime = 2 / 2.0 / 60;
    p.halfWidth = 0.005;
    p.area = 16;
    p.areaPercent = 80;
    p.height = 997;
    p.tailingFactor = 1.25;
    p.baselineStartValue = 1.5f;
    p.baselineEndValue = 0.5f;
    p.typeFlags = 0x2;  // ends in a valley: code 4
    d.peaks.append(p);
    p.typeFlags = 0x1;  // begins in a valley: code 6
    p.area = 4;
    p.areaPercent = 20;
    p.startIndex = 3;
    p.endIndex = 4;
    p.apexIndex = 3;
    p.retentionTime = 3 / 2.0 / 60;
    d.peaks.append(p);
    exportCdf(d, dir.path("golden.cdf"), "/data/T-1.chg");

    // The text ncdump gives (the method name is in GBK, as exported).
    const std::string expected = readWholeFile(DGAWS_SOURCE_DIR "/tests/data/ncdump-export.cdl");
    EXPECT_EQ(run(std::string(DGAWS_NCDUMP) + " '" + dir.path("golden.cdf") + "'"), expected);
    EXPECT_EQ(run(std::string(DGAWS_NCDUMP) + " -k '" + dir.path("golden.cdf") + "'"), "classic\n");
#endif
}
