#include "cli/CliTestSupport.h"

#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/FileIO.h"
#include "cli/BatchProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace dgaws::cli::test {
namespace {

// Three peaks that the chromatogram's own component table names.
ChromatogramData identifiable(const char* company)
{
    ChromatogramData d = sampleChromatogram();
    d.signal.assign(gaussians(6000, {{1200, 900, 30}, {2400, 500, 40}, {4200, 300, 50}}));
    d.peaks.clear();
    d.method.integration = IntegrationParams{};
    d.method.manualEvents.clear();
    d.method.timeProgram.clear();
    d.method.sendingCompany = company;
    d.method.components.clear();
    const std::pair<const char*, double> gases[] = {
        {"H2(氢气)", 1.0}, {"CH4(甲烷)", 2.0}, {"C2H2(乙炔)", 3.5}};
    for (const auto& [name, minutes] : gases) {
        ComponentEntry c;
        c.index = int(d.method.components.size());
        c.name = name;
        c.retentionTime = minutes;
        c.timeWindow = 0.1;
        d.method.components.push_back(c);
    }
    return d;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line.substr(0, line.find('\r')));
    return out;
}

class BatchProcessTest : public TempDirTest {};

TEST_F(BatchProcessTest, ManyFilesGoOnPastADamagedOneIntoOneSummary)
{
    std::filesystem::create_directories(path("in/sub"));
    writeChromatogramFile(path("in/one.chg"), identifiable("东郊"));
    writeChromatogramFile(path("in/sub/two.chg"), identifiable("西郊"));
    writeFileAtomically(path("in/sub/damaged.chg"), "not a chromatogram");
    writeFileAtomically(path("in/notes.txt"), "ignored");

    BatchOptions o;
    o.inputs = {path("in")};
    o.recursive = true;
    o.jobs = 3;
    o.summary = path("summary.csv");
    o.outputDir = path("out");
    const Output r =
        captured([&](std::ostream& out, std::ostream& err) { return runBatch(o, out, err); });
    // A failed file makes the status 1, after every other file was done.
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("damaged.chg: cannot read"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("2 of 3 chromatograms processed"), std::string::npos) << r.out;

    std::vector<std::string> rows = lines(readWholeFile(o.summary));
    ASSERT_EQ(rows.size(), 1u + 3 + 3 + 1);  // header, three gases of each file, the failure
    EXPECT_EQ(rows[0],
              "\xEF\xBB\xBF"
              "file,injectionTime,sendingCompany,deviceNo,component,"
              "retentionTime,area,gasContent,oilContent,error");
    const auto has = [&rows](const std::string& piece) {
        return std::any_of(rows.begin(), rows.end(), [&](const std::string& row) {
            return row.find(piece) != std::string::npos;
        });
    };
    EXPECT_TRUE(has("damaged.chg,,,,,,,,,cannot read"));
    EXPECT_TRUE(has("one.chg,2024-05-17 09:30:15,东郊,,CH4(甲烷),1.99"));
    EXPECT_TRUE(has("two.chg,2024-05-17 09:30:15,西郊,,C2H2(乙炔),3.49"));

    // The processed files keep their folders and read back with their peaks.
    EXPECT_EQ(readChromatogramFile(path("out/sub/two.chg")).peaks.size(), 3);
    EXPECT_TRUE(std::filesystem::exists(path("out/one.chg")));
    EXPECT_FALSE(std::filesystem::exists(path("out/sub/damaged.chg")));
    EXPECT_FALSE(std::filesystem::exists(o.summary + ".part"));
}

TEST_F(BatchProcessTest, AMissingInputOrAnUnknownSummaryKindStopsBeforeAnyFile)
{
    writeChromatogramFile(path("one.chg"), identifiable("东郊"));
    BatchOptions o;
    o.inputs = {path("one.chg"), path("nowhere")};
    o.summary = path("s.csv");
    Output r =
        captured([&](std::ostream& out, std::ostream& err) { return runBatch(o, out, err); });
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no such file or folder"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(o.summary));

    o.inputs = {path("one.chg")};
    o.summary = path("s.txt");
    r = captured([&](std::ostream& out, std::ostream& err) { return runBatch(o, out, err); });
    EXPECT_EQ(r.status, 2);
}

}  // namespace
}  // namespace dgaws::cli::test
