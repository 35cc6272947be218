#include "cli/CliTestSupport.h"

#include "app/BatchProcessing.h"
#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/FileIO.h"
#include "chromatogram/MethodFile.h"
#include "cli/InfoCommand.h"
#include "cli/TextTable.h"
#include "dga/RateRecord.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>

namespace dgaws::cli::test {
namespace {

using nlohmann::json;

Output info(const std::string& path, bool asJson)
{
    return captured([&](std::ostream& out, std::ostream& err) {
        return runInfo({path, asJson, false}, out, err);
    });
}

json infoJsonOf(const std::string& path)
{
    const Output r = info(path, true);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    return json::parse(r.out);
}

class InfoCommandTest : public TempDirTest {};

TEST_F(InfoCommandTest, PreviousTestRecord)
{
    RateRecord rec;
    rec.testTime = OleDateTime::fromCivil(2023, 6, 23, 14, 5, 9);
    rec.text1 = "/数据/A.chg";
    for (int i = 0; i < 7; ++i)
        rec.values[i] = i + 0.5;
    const std::string file = path("上次.lcd");
    ASSERT_EQ(saveRateRecord(rec, file), 1);
    const json j = infoJsonOf(file);
    EXPECT_EQ(j["testTime"]["text"], "2023-06-23 14:05:09");
    EXPECT_EQ(j["values"][4], 4.5);
    EXPECT_NE(info(file, false).out.find("4.5000 uL/L"), std::string::npos);
    writeFileAtomically(path("bad.lcd"), std::string("\x01\x00", 2));
    EXPECT_EQ(info(path("bad.lcd"), true).status, 1);
}

TEST_F(InfoCommandTest, FileTypeFollowsExtensionOrContent)
{
    const ChromatogramData d = sampleChromatogram();

    // Binary samples: the rate is fixed by the format, not taken from anywhere else.
    writeBinaryChromatogram(path("old.DAT"), d);
    json j = infoJsonOf(path("old.DAT"));
    EXPECT_EQ(j["fileType"], "dat");
    EXPECT_EQ(j["signal"]["first"].get<double>(), 0.1);  // shortest form of 0.1f, not 0.10000000149
    EXPECT_EQ(j["pointsPerSecond"], 10);
    EXPECT_EQ(j["signalMax"].get<double>(), 812.25);

    writeFileAtomically(path("empty.dat"), "");
    j = infoJsonOf(path("empty.dat"));
    EXPECT_EQ(j["signal"]["count"], 0);
    EXPECT_TRUE(j["signal"]["min"].is_null());

    // A chromatogram under a foreign name is recognised by its leading tag digits.
    writeFileAtomically(path("run.bak"), storeChromatogram(d));
    j = infoJsonOf(path("run.bak"));
    EXPECT_EQ(j["fileType"], "chg");
    EXPECT_EQ(j["peaks"].size(), 2u);

    writeFileAtomically(path("notes.md"), "Time,Signal\n0,1\n");
    const Output r = info(path("notes.md"), true);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find("unknown file type"), std::string::npos) << r.err;
}

// A .txt of one value per line, a pair per line or a single line of numbers: info and
// process take the same samples from it, and the window decides the layout by the same
// function.
TEST_F(InfoCommandTest, EveryTextLayoutGivesTheSameSamplesToInfoAndProcess)
{
    struct Case {
        const char* text;
        const char* fileType;
        int count;
        double first;
    };
    const Case cases[] = {
        {"1.5\n2.5\n3.5\n4.5\n", "txt", 4, 1.5},
        {"\n1.5\r\n2.5\r\n3.5\r\n", "txt", 3, 1.5},
        {"1.500000 2.500000 3.500000 ", "txt", 3, 1.5},
        {"0.0000000 1.5\n0.0008333 2.5\n", "std", 2, 1.5},
        {"0.000000,1.5\n\t0.000833,2.5\n\t", "csv", 2, 1.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        writeFileAtomically(path("a.txt"), c.text);
        const json j = infoJsonOf(path("a.txt"));
        EXPECT_EQ(j["fileType"], c.fileType);
        EXPECT_EQ(j["signal"]["count"], c.count);
        EXPECT_DOUBLE_EQ(j["signal"]["max"].get<double>(), c.first + c.count - 1);
        const ChromatogramData processed = readChromatogramToProcess(path("a.txt"), 0);
        ASSERT_EQ(processed.signal.count(), c.count);
        EXPECT_EQ(processed.signal.at(0), c.first);
    }
}

// Terminal cells of well-formed UTF-8, counted independently of the code under test: in
// these texts every character at U+2000 or above is a CJK character two cells wide.
int cells(const std::string& s)
{
    int n = 0;
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const size_t len = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        n += b >= 0xE2 ? 2 : 1;  // a lead byte of 0xE2 or more starts U+2000 or above
        i += len;
    }
    return n;
}

// Column of the first occurrence of `needle` in terminal cells, or -1.
int columnOf(const std::string& line, const std::string& needle)
{
    const auto at = line.find(needle);
    return at == std::string::npos ? -1 : cells(line.substr(0, at));
}

std::string lineWith(const std::string& text, const std::string& needle)
{
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.find(needle) != std::string::npos)
            return line;
    return {};
}

TEST_F(InfoCommandTest, SummaryShowsRunFactsAndAlignsThePeakTable)
{
    const std::string file = path("run.chg");
    writeChromatogramFile(file, sampleChromatogram());
    const Output r = info(file, false);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string& s = r.out;
    EXPECT_NE(lineWith(s, "Signal range:").find("-42.5 .. 812.25 uV"), std::string::npos);

    // The two type names differ in terminal width, so the component column only lines up
    // when wide characters are counted as two cells.
    const std::string header = lineWith(s, "Component");
    const std::string first = lineWith(s, "重叠峰(VV)");
    const std::string second = lineWith(s, "负  峰(N)");
    EXPECT_EQ(columnOf(first, "H2(氢气)"), columnOf(header, "Component"));
    EXPECT_EQ(columnOf(second, "(excluded)"), columnOf(header, "Component"));
    EXPECT_EQ(columnOf(first, "0.550") + 5, columnOf(header, "RT/min") + 6);
    EXPECT_EQ(columnOf(second, "0.750") + 5, columnOf(header, "RT/min") + 6);
}

TEST(DisplayWidth, CountsWideCharactersTwiceAndStrayBytesOnce)
{
    EXPECT_EQ(displayWidth("H2(氢气)"), 8);
    EXPECT_EQ(displayWidth("负  峰(N)"), 9);
    EXPECT_EQ(displayWidth("CO2（）"), 7);   // full-width parentheses
    EXPECT_EQ(displayWidth("\xB8\xBA"), 2);  // GBK bytes that were never decoded
    EXPECT_EQ(displayWidth("\xE6\xB0"), 2);  // a sequence cut short
}

}  // namespace
}  // namespace dgaws::cli::test
