#pragma once

#include "AnalysisMethod.h"
#include "MethodRecords.h"

#include <array>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace dgaws {

// Kinds of a file-name part (`partType` of `fileNaming` entries).
namespace name_part {
inline constexpr int kText = 0;  // 0, 1 and 20 give the part's own text
inline constexpr int kText1 = 1;
inline constexpr int kText20 = 20;
inline constexpr int kDeviceNo = 2;  // 2..7: deviceNo, serialNo, sendingCompany, tester,
inline constexpr int kSerialNo = 3;  //       sampleText1, sampleText2
inline constexpr int kSendingCompany = 4;
inline constexpr int kTester = 5;
inline constexpr int kSampleText1 = 6;
inline constexpr int kSampleText2 = 7;
inline constexpr int kYear = 8;  // 8..13: "%Y" "%m" "%d" "%H" "%M" "%S" of the current time
inline constexpr int kMonth = 9;
inline constexpr int kDay = 10;
inline constexpr int kHour = 11;
inline constexpr int kMinute = 12;
inline constexpr int kSecond = 13;
inline constexpr int kSequence = 14;
inline constexpr int kIfTestSample = 15;      // "(" text ")" only for sample type 0,
inline constexpr int kIfStandardSample = 16;  // 1
inline constexpr int kIfBaseline = 17;        // and 2
inline constexpr int kLetter = 18;
}  // namespace name_part

// Kinds of a subfolder layer (`partType` of `listA` entries).
namespace folder_layer {
inline constexpr int kDate = 0;  // text "%Y", "%Y%m" or "%Y%m%d"
inline constexpr int kChannel = 1;
inline constexpr int kSampleType = 2;
inline constexpr int kSerialNo = 3;
inline constexpr int kText = 4;
inline constexpr int kDeviceNo = 5;
}  // namespace folder_layer

// What the proposal reads from the world; each piece can be replaced.
struct ProposalEnvironment {
    std::function<std::tm()> now;  // local civil time
    std::function<bool(const std::string& path)> fileExists;
    std::function<bool(const std::string& question)> ask;  // Yes/No; true is Yes
    std::function<std::string()> workDirectory;            // folder used when none is set
};

// The clock, the file system and the process's work directory; questions are answered No
// unless `ask` is given.
ProposalEnvironment
systemProposalEnvironment(std::function<bool(const std::string& question)> ask = {});

// Where and under which name a chromatogram of this method is saved next.
struct FileNameProposal {
    std::string saveFolder;  // base folder with the subfolder applied
    std::string fileName;
    std::string path;  // saveFolder joined with fileName
    bool free = true;  // false when the search ended on a name that already exists
};

// Joins with "/" unless the folder already ends with one; an empty side leaves the other.
std::string joinFolder(const std::string& folder, const std::string& name);

// The method's save folder: its base folder (or the work directory) and the subfolder that
// the first entry of the layer list `listA` gives when the subfolder switch is on.
// `channel`: 0 = A, 1 = B, anything else has no channel.
std::string proposalFolder(const AnalysisMethod& method, int sampleType, int channel,
                           const std::tm& now, const std::string& workDirectory);

// The name parts a proposal uses, made afresh from the naming mode and the channel.
std::vector<NamePart> proposalNameParts(const AnalysisMethod& method, int channel);

// The number the search starts from: channel B's own, channel A's for any other channel.
int proposalStartNumber(const AnalysisMethod& method, int channel);

// Builds file names from name parts and finds the first one that is free. One builder
// serves one search, so the question about the thousandth file is asked at most once.
class FileNameBuilder {
public:
    static constexpr int kLastLetterIndex = 25;
    static constexpr int kThousand = 1000;
    static constexpr const char* kThousandQuestion =
        "目前该路径下的文件数量已经到一千个了，建议您修改文件夹存放，同意选是";

    FileNameBuilder(const AnalysisMethod& method, int sampleType, const std::tm& now,
                    std::function<bool(const std::string& question)> ask);

    // The name from the parts in order, then ".chg". A letter part gives 'A' + `letterIndex`
    // (held to 'A'..'Z').
    std::string build(const std::vector<NamePart>& parts, int sequence, int letterIndex);

    // Starting at `startNumber` (and letter 0), the first built name whose path in `folder`
    // does not exist; a build that repeats the previous name ends the search with it.
    FileNameProposal firstFree(const std::vector<NamePart>& parts, const std::string& folder,
                               int startNumber,
                               const std::function<bool(const std::string&)>& fileExists);

private:
    std::string sequenceText(int sequence);
    std::string pageText(int kind) const;

    std::array<std::string, 6> pageTexts_;  // name-part kinds 2 to 7
    int sampleType_;
    std::tm now_;
    std::function<bool(const std::string&)> ask_;
    std::optional<bool> leaveOutThousand_;
};

// A name whose search ended on an existing file ("谱图文件名(未知).chg" from parts without a
// number) gets the first free suffix "(2)", "(3)"... before its extension: a proposal never
// names a file that is there, so saving under it never replaces another chromatogram.
FileNameProposal withFreeSuffix(FileNameProposal proposal,
                                const std::function<bool(const std::string&)>& fileExists);

// The whole proposal: folder, name parts, first free name (withFreeSuffix). The clock is
// read once, so the date folder and the date-time parts of the name always agree.
FileNameProposal proposeFileName(const AnalysisMethod& method, int sampleType, int channel,
                                 const ProposalEnvironment& env);

}  // namespace dgaws
