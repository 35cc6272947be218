#include "cli/CliTestSupport.h"

#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/FileIO.h"
#include "cli/BatchProcess.h"
#include "report/BatchSummary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <memory>
#include <set>
#include <sstream>

namespace dgaws::cli::test {
namespace {

// Three peaks that the chromatogram's own component table names.
ChromatogramData identifiable(const char* company)
{
    ChromatogramData d = threePeaksToDetect();
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
    const Output r = call(runBatch, o);
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

// An archive of a hundred tests, one damaged, on four threads: one error row, the others
// exactly what each file gives when processed alone, and status 1.
TEST_F(BatchProcessTest, AHundredFilesWithOneDamagedMatchEachFileProcessedAlone)
{
    std::filesystem::create_directories(path("archive"));
    for (int i = 0; i < 100; ++i) {
        const std::string name = path("archive/t" + std::to_string(100 + i) + ".chg");
        if (i == 37) {
            writeFileAtomically(name, "DGAWS broken off");
            continue;
        }
        ChromatogramData d = identifiable(i % 2 ? "东郊" : "西郊");
        std::vector<float> scaled(d.signal.data(), d.signal.data() + d.signal.count());
        for (float& v : scaled)
            v *= 1.0f + 0.01f * float(i);
        d.signal.assign(std::move(scaled));
        writeChromatogramFile(name, d);
    }
    BatchOptions o;
    o.inputs = {path("archive")};
    o.jobs = 4;
    o.summary = path("summary.jsonl");
    const Output r = call(runBatch, o);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("99 of 100 chromatograms processed"), std::string::npos) << r.out;

    std::map<std::string, std::vector<Json>> byFile;
    for (const std::string& line : lines(readWholeFile(o.summary)))
        if (!line.empty()) {
            const Json row = Json::parse(line);
            byFile[row.at("file").get<std::string>()].push_back(row);
        }
    ASSERT_EQ(byFile.size(), 100u);
    int errors = 0;
    ProcessSession alone(o.process);
    ASSERT_EQ(alone.prepare(), "");
    for (const auto& [file, rows] : byFile) {
        if (rows.front().contains("error")) {
            ++errors;
            EXPECT_NE(file.find("t137.chg"), std::string::npos);
            continue;
        }
        CChrEDoc doc;
        std::string error;
        ASSERT_TRUE(alone.process(file, doc, error)) << error;
        const std::vector<SummaryRow> expected = summaryRowsOf(file, doc.data);
        ASSERT_EQ(rows.size(), expected.size()) << file;
        for (size_t k = 0; k < rows.size(); ++k) {
            EXPECT_EQ(rows[k].at("component"), expected[k].component);
            EXPECT_EQ(rows[k].at("retentionTime").get<double>(), expected[k].retentionTime);
            EXPECT_EQ(rows[k].at("area").get<double>(), expected[k].area);
            EXPECT_EQ(rows[k].at("gasContent").get<double>(), expected[k].gasContent);
            EXPECT_EQ(rows[k].at("oilContent").get<double>(), expected[k].oilContent);
        }
    }
    EXPECT_EQ(errors, 1);
}

TEST_F(BatchProcessTest, AMissingInputOrAnUnknownSummaryKindStopsBeforeAnyFile)
{
    writeChromatogramFile(path("one.chg"), identifiable("东郊"));
    BatchOptions o;
    o.inputs = {path("one.chg"), path("nowhere")};
    o.summary = path("s.csv");
    Output r = call(runBatch, o);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no such file or folder"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(o.summary));

    o.inputs = {path("one.chg")};
    o.summary = path("s.txt");
    r = call(runBatch, o);
    EXPECT_EQ(r.status, 2);

    // An output folder that is the inputs' own would write over the originals.
    const std::string original = readWholeFile(path("one.chg"));
    o.summary.clear();
    o.outputDir = path(".");
    for (const std::vector<std::string>& inputs :
         {std::vector<std::string>{path("one.chg")}, std::vector<std::string>{path("")}}) {
        o.inputs = inputs;
        r = call(runBatch, o);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("would write over"), std::string::npos) << r.err;
        EXPECT_EQ(readWholeFile(path("one.chg")), original);
    }
}

// Cancelled from the progress of the fourth file: what finished is written whole, as if
// processed alone, what was not started is not written, and nothing temporary is left.
TEST_F(BatchProcessTest, ACancelledBatchKeepsExactlyTheFinishedFilesAndTheirRows)
{
    std::filesystem::create_directories(path("in"));
    for (int i = 0; i < 12; ++i)
        writeChromatogramFile(path("in/f" + std::to_string(10 + i) + ".chg"),
                              identifiable(i % 2 ? "东郊" : "西郊"));
    writeFileAtomically(path("in/f13.chg"), "damaged");

    std::vector<std::string> missing;
    const std::vector<std::string> files = collectChromatograms({path("in")}, false, missing);
    BatchRequest request;
    request.inputs = {path("in")};
    request.outputDir = path("out");
    request.jobs = 2;
    std::unique_ptr<SummaryWriter> summary = openBatchSummary(path("summary.csv"));
    std::atomic<bool> cancel{false};
    std::set<std::string> finished;
    const BatchOutcome outcome =
        processBatch(files, request, summary.get(), &cancel, [&](const BatchProgress& p) {
            finished.insert(p.file);
            if (p.done == 4)
                cancel = true;
        });
    summary.reset();

    EXPECT_TRUE(outcome.cancelled);
    EXPECT_EQ(outcome.finished, finished.size());
    // The two threads each finish the file they hold at most.
    EXPECT_GE(finished.size(), 4u);
    EXPECT_LE(finished.size(), 5u);

    std::set<std::string> rowsOf;
    for (const std::string& row : lines(readWholeFile(path("summary.csv")))) {
        if (row.rfind(dir_.string(), 0) == 0)
            rowsOf.insert(row.substr(0, row.find(',')));
    }
    EXPECT_EQ(rowsOf, finished);

    std::set<std::string> written;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir_)) {
        const std::string name = e.path().filename().string();
        EXPECT_TRUE(name.find(".part") == std::string::npos &&
                    name.find(".dgaws-save") == std::string::npos &&
                    name.find(".tmp") == std::string::npos)
            << e.path();
        if (e.path().parent_path() == path("out"))
            written.insert(name);
    }
    std::set<std::string> processed;
    for (const std::string& file : finished) {
        const std::string name = std::filesystem::path(file).filename().string();
        if (name == "f13.chg") {
            EXPECT_EQ(written.count(name), 0u);
            continue;
        }
        processed.insert(name);
        ProcessSession alone(request.process);
        CChrEDoc doc;
        std::string error;
        ASSERT_TRUE(alone.process(file, doc, error)) << error;
        writeChromatogramFile(path("alone.chg"), doc.data);
        EXPECT_EQ(readWholeFile(path("out/" + name)), readWholeFile(path("alone.chg"))) << name;
    }
    EXPECT_EQ(written, processed);
}

}  // namespace
}  // namespace dgaws::cli::test
