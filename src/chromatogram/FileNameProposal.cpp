#include "FileNameProposal.h"

#include "FileIO.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <system_error>

namespace dgaws {
namespace {

std::string formatTime(const std::tm& t, const char* pattern)
{
    char buf[128];
    const size_t n = std::strftime(buf, sizeof buf, pattern, &t);
    return std::string(buf, n);
}

std::string dateFolder(const std::string& layerText, const std::tm& now)
{
    if (layerText == "%Y")
        return formatTime(now, "%Y年");
    if (layerText == "%Y%m")
        return joinFolder(formatTime(now, "%Y年"), formatTime(now, "%m月"));
    if (layerText == "%Y%m%d")
        return joinFolder(joinFolder(formatTime(now, "%Y年"), formatTime(now, "%m月")),
                          formatTime(now, "%d日"));
    return {};
}

std::string sampleTypeFolder(int sampleType)
{
    switch (sampleType) {
    case 0: return "检测样";
    case 1: return "标准样";
    case 2: return "基线";
    default: return "其他样品";
    }
}

// Operators type device and serial numbers freely; a "/" (or "..") in them must not move a
// chromatogram into another folder, nor a NUL cut its name short.
std::string safeNameText(std::string text)
{
    for (char& c : text)
        if (c == '/' || c == '\\' || c == '\0')
            c = '_';
    if (text == "." || text == "..")
        text = "_";
    return text;
}

std::string subfolder(const AnalysisMethod& method, int sampleType, int channel, const std::tm& now)
{
    if (!method.usesSubfolders() || method.listA.empty())
        return {};
    const NamePart& layer = method.listA.front();
    switch (layer.partType) {
    case folder_layer::kDate: return dateFolder(layer.partText, now);
    case folder_layer::kChannel: return channel == 0 ? "A_" : channel == 1 ? "B_" : "";
    case folder_layer::kSampleType: return sampleTypeFolder(sampleType);
    case folder_layer::kSerialNo: return safeNameText(method.serialNo);
    case folder_layer::kText: return safeNameText(layer.partText);
    case folder_layer::kDeviceNo: return safeNameText(method.deviceNo);
    default: return {};
    }
}

}  // namespace

ProposalEnvironment systemProposalEnvironment(std::function<bool(const std::string&)> ask)
{
    ProposalEnvironment env;
    env.now = [] {
        const std::time_t t = std::time(nullptr);
        std::tm local{};
        localtime_r(&t, &local);
        return local;
    };
    env.fileExists = [](const std::string& path) { return fileExists(path); };
    env.ask = ask ? std::move(ask) : [](const std::string&) { return false; };
    env.workDirectory = [] {
        std::error_code ec;
        const auto dir = std::filesystem::current_path(ec);
        return ec ? std::string(".") : dir.string();
    };
    return env;
}

std::string joinFolder(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    if (name.empty() || folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

std::string proposalFolder(const AnalysisMethod& method, int sampleType, int channel,
                           const std::tm& now, const std::string& workDirectory)
{
    const std::string& base = method.baseFolder().empty() ? workDirectory : method.baseFolder();
    return joinFolder(base, subfolder(method, sampleType, channel, now));
}

std::vector<NamePart> proposalNameParts(const AnalysisMethod& method, int channel)
{
    std::vector<NamePart> parts;
    if (channel == 0)
        parts.push_back({name_part::kText, "A_"});
    else if (channel == 1)
        parts.push_back({name_part::kText, "B_"});

    if (method.namesByHand()) {
        // Without a channel, channel A's prefix goes with channel A's start number.
        parts.push_back({name_part::kText, method.prefixByHand(channel)});
        parts.push_back({name_part::kSequence, {}});
        return parts;
    }
    switch (method.autoName2) {
    case 1:
        parts.push_back({name_part::kDeviceNo, {}});
        parts.push_back({name_part::kSequence, {}});
        break;
    case 2: parts.push_back({name_part::kSequence, {}}); break;
    default:  // 0, and whatever an unknown value in an old file stands for
        parts.push_back({name_part::kDeviceNo, {}});
        for (int kind = name_part::kYear; kind <= name_part::kSecond; ++kind)
            parts.push_back({kind, {}});
        break;
    }
    return parts;
}

int proposalStartNumber(const AnalysisMethod& method, int channel)
{
    return channel == 1 ? method.option6 : method.option5;
}

FileNameBuilder::FileNameBuilder(const AnalysisMethod& method, int sampleType, const std::tm& now,
                                 std::function<bool(const std::string&)> ask)
    : pageTexts_{method.deviceNo, method.serialNo,    method.sendingCompany,
                 method.tester,   method.sampleText1, method.sampleText2},
      sampleType_(sampleType), now_(now), ask_(std::move(ask))
{}

std::string FileNameBuilder::pageText(int kind) const
{
    return pageTexts_[static_cast<size_t>(kind - name_part::kDeviceNo)];
}

std::string FileNameBuilder::sequenceText(int sequence)
{
    if (sequence == kThousand) {
        // The answer holds for the whole search: the question is about the folder, and a
        // search through letters would otherwise ask it up to 26 times.
        if (!leaveOutThousand_)
            leaveOutThousand_ = ask_ ? ask_(kThousandQuestion) : false;
        if (*leaveOutThousand_)
            return {};
    }
    const std::string digits = std::to_string(sequence);
    if (sequence < 10)
        return "00" + digits;
    if (sequence < 100)
        return "0" + digits;
    return digits;
}

std::string FileNameBuilder::build(const std::vector<NamePart>& parts, int sequence,
                                   int letterIndex)
{
    static const char* const kTimeFormats[] = {"%Y", "%m", "%d", "%H", "%M", "%S"};
    std::string name;
    for (const NamePart& part : parts) {
        const int kind = part.partType;
        if (kind == name_part::kText || kind == name_part::kText1 || kind == name_part::kText20)
            name += safeNameText(part.partText);
        else if (kind >= name_part::kDeviceNo && kind <= name_part::kSampleText2)
            name += safeNameText(pageText(kind));
        else if (kind >= name_part::kYear && kind <= name_part::kSecond)
            name += formatTime(now_, kTimeFormats[kind - name_part::kYear]);
        else if (kind == name_part::kSequence)
            name += sequenceText(sequence);
        else if (kind >= name_part::kIfTestSample && kind <= name_part::kIfBaseline) {
            if (sampleType_ == kind - name_part::kIfTestSample)
                name += "(" + safeNameText(part.partText) + ")";
        } else if (kind == name_part::kLetter)
            name += static_cast<char>('A' + std::clamp(letterIndex, 0, kLastLetterIndex));
    }
    return name + ".chg";
}

FileNameProposal
FileNameBuilder::firstFree(const std::vector<NamePart>& parts, const std::string& folder,
                           int startNumber,
                           const std::function<bool(const std::string&)>& fileExists)
{
    const bool hasLetter = std::any_of(parts.begin(), parts.end(), [](const NamePart& p) {
        return p.partType == name_part::kLetter;
    });
    int sequence = startNumber;
    int letter = 0;
    std::string previous;
    for (bool first = true;; first = false) {
        FileNameProposal proposal{folder, build(parts, sequence, letter), {}, true};
        proposal.path = joinFolder(folder, proposal.fileName);
        if (!fileExists(proposal.path))
            return proposal;
        // Parts without a number or a letter give the same name for ever.
        if (!first && proposal.fileName == previous) {
            proposal.free = false;
            return proposal;
        }
        previous = proposal.fileName;
        // Once the letters are used up the number rises and the letters start again at 'A',
        // so a free "002A" is never passed over for "002Z".
        if (hasLetter && letter < kLastLetterIndex) {
            ++letter;
        } else {
            letter = 0;
            if (sequence == INT_MAX) {
                proposal.free = false;
                return proposal;
            }
            ++sequence;
        }
    }
}

FileNameProposal withFreeSuffix(FileNameProposal proposal,
                                const std::function<bool(const std::string&)>& fileExists)
{
    if (proposal.free)
        return proposal;
    const std::string& name = proposal.fileName;
    const auto dot = name.rfind('.');
    const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
    for (int n = 2; n < INT_MAX; ++n) {
        const std::string candidate = stem + "(" + std::to_string(n) + ")" + extension;
        const std::string path = joinFolder(proposal.saveFolder, candidate);
        if (!fileExists(path))
            return {proposal.saveFolder, candidate, path, true};
    }
    return proposal;
}

FileNameProposal proposeFileName(const AnalysisMethod& method, int sampleType, int channel,
                                 const ProposalEnvironment& env)
{
    const std::tm now = env.now();
    const std::string folder =
        proposalFolder(method, sampleType, channel, now, env.workDirectory());
    FileNameBuilder builder(method, sampleType, now, env.ask);
    return withFreeSuffix(builder.firstFree(proposalNameParts(method, channel), folder,
                                            proposalStartNumber(method, channel), env.fileExists),
                          env.fileExists);
}

}  // namespace dgaws
