// The whole JSON output of the built tool on committed inputs, against committed expected
// documents (tests/data/golden/cases.txt lists them). Numbers agree within 1e-9 relative or
// 1e-6 absolute; everything else exactly. After a deliberate change of results,
// scripts/update-golden.sh writes the documents anew, to be reviewed as a diff.
#include "cli/CliTestSupport.h"
#include "cli/ToolRunner.h"

#include "chromatogram/FileIO.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

namespace dgaws::cli::test {
namespace {

using nlohmann::json;

const std::string kGolden = DGAWS_SOURCE_DIR "/tests/data/golden/";

bool closeEnough(double want, double got)
{
    return std::fabs(want - got) <=
        std::max(1e-6, 1e-9 * std::max(std::fabs(want), std::fabs(got)));
}

// Where `got` differs from `want`, as JSON pointers with both values.
void compare(const json& want, const json& got, const std::string& at,
             std::vector<std::string>& diffs)
{
    if (want.is_number() && got.is_number()) {
        if (!closeEnough(want.get<double>(), got.get<double>()))
            diffs.push_back(at + ": " + want.dump() + " != " + got.dump());
    } else if (want.type() != got.type()) {
        diffs.push_back(at + ": " + want.dump() + " != " + got.dump());
    } else if (want.is_object()) {
        for (const auto& [key, value] : want.items())
            if (got.contains(key))
                compare(value, got[key], at + "/" + key, diffs);
            else
                diffs.push_back(at + "/" + key + ": missing");
        for (const auto& [key, value] : got.items())
            if (!want.contains(key))
                diffs.push_back(at + "/" + key + ": not expected");
    } else if (want.is_array()) {
        if (want.size() != got.size())
            diffs.push_back(at + ": " + std::to_string(want.size()) +
                            " items != " + std::to_string(got.size()));
        for (size_t i = 0; i < std::min(want.size(), got.size()); ++i)
            compare(want[i], got[i], at + "/" + std::to_string(i), diffs);
    } else if (want != got) {
        diffs.push_back(at + ": " + want.dump() + " != " + got.dump());
    }
}

class GoldenOutputTest : public TempDirTest {};

TEST_F(GoldenOutputTest, TheToolGivesTheCommittedDocuments)
{
    std::ifstream cases(kGolden + "cases.txt");
    ASSERT_TRUE(cases) << "cases.txt is missing";
    int run = 0;
    for (std::string line; std::getline(cases, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        const std::string name = line.substr(0, line.find(' '));
        const std::string args = line.substr(name.size() + 1);
        SCOPED_TRACE(name + ": dgaws-cli " + args);
        const ToolResult r = runTool(args, dir_.string(), path("home"), DGAWS_SOURCE_DIR);
        ASSERT_EQ(r.status, 0) << r.err;
        std::vector<std::string> diffs;
        compare(json::parse(readWholeFile(kGolden + name + ".json")), json::parse(r.out), "",
                diffs);
        std::ostringstream shown;
        for (size_t i = 0; i < std::min<size_t>(diffs.size(), 20); ++i)
            shown << "\n  " << diffs[i];
        EXPECT_TRUE(diffs.empty()) << diffs.size() << " differences (scripts/update-golden.sh "
                                   << "writes the documents anew):" << shown.str();
        ++run;
    }
    EXPECT_GE(run, 12);
}

// The comparison itself: what it lets pass and what it catches.
TEST(GoldenComparison, NumbersWithinTheToleranceEverythingElseExactly)
{
    const auto diffsOf = [](const char* want, const char* got) {
        std::vector<std::string> d;
        compare(json::parse(want), json::parse(got), "", d);
        return d;
    };
    EXPECT_TRUE(diffsOf(R"({"a": [1, 2.5e9, 1e-7], "b": "x"})",
                        R"({"a": [1.0000005, 2.5000000001e9, 0], "b": "x"})")
                    .empty());
    EXPECT_EQ(diffsOf(R"({"a": [1.0]})", R"({"a": [1.00001]})"),
              std::vector<std::string>{"/a/0: 1.0 != 1.00001"});
    EXPECT_EQ(
        diffsOf(R"({"a": "x", "b": null, "c": [1, 2]})", R"({"a": "y", "b": 0, "c": [1]})").size(),
        3u);
    EXPECT_EQ(diffsOf(R"({"a": 1})", R"({"b": 1})"),
              (std::vector<std::string>{"/a: missing", "/b: not expected"}));
}

}  // namespace
}  // namespace dgaws::cli::test
