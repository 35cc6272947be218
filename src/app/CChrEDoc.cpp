#include "CChrEDoc.h"

#include "chromatogram/Archive.h"
#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/FileIO.h"

namespace dgaws {

std::string formatText(const char* pattern, const std::string& value)
{
    std::string out = pattern;
    const auto at = out.find("%s");
    if (at != std::string::npos)
        out.replace(at, 2, value);
    return out;
}

std::string fileNameOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void CChrEDoc::message(const std::string& text) const
{
    if (showMessage_)
        showMessage_(text);
}

void CChrEDoc::log(const std::string& text) const
{
    if (log_)
        log_(text);
}

void CChrEDoc::onNewDocument(const std::string& workDirectory)
{
    data.method.saveFolder = workDirectory;
}

void CChrEDoc::setTitle(const std::string& title)
{
    std::string t = title;
    if (!t.empty()) {
        const bool starred = t.back() == '*';
        if (modified_ && !starred)
            t.push_back('*');
        else if (!modified_ && starred)
            t.pop_back();
    }
    title_ = t;
}

void CChrEDoc::setModifiedFlag(bool modified)
{
    modified_ = modified;
    setTitle(title_);
}

bool CChrEDoc::canCloseFrame()
{
    if (acquiring == 1) {
        message(kCannotCloseWhileSampling);
        return false;
    }
    return true;
}

bool CChrEDoc::saveToFile(const std::string& path)
{
    if ((state == ChannelA || state == ChannelB) && acquiredCount < data.signal.count())
        data.signal.resize(acquiredCount);
    try {
        writeChromatogramFile(path, data);
    } catch (const std::exception&) {
        message(formatText(kSaveFailed, path));
        return false;
    }
    log(formatText(kSavedLog, fileNameOf(path)));
    setModifiedFlag(false);
    pathName = path;
    return true;
}

std::string CChrEDoc::proposeSavePath(const ProposalEnvironment& env)
{
    const int channel = state == ChannelA || state == ChannelB ? state : -1;
    data.method.saveFolder = proposalFolder(data.method, data.sampleType, channel, env.now(),
                                            env.workDirectory());
    if (!pathName.empty())
        return pathName;
    if (data.method.autoName1 == 0 && data.method.autoName2 == 0)
        return joinFolder(data.method.saveFolder, proposedName);
    return proposeFileName(data.method, data.sampleType, channel, env).path;
}

bool CChrEDoc::loadFromFile(const std::string& path)
{
    ChromatogramData loaded;
    try {
        loaded = readChromatogramFile(path);
    } catch (const std::exception&) {
        message(kLoadFailed);
        return false;
    }
    data = std::move(loaded);
    log(formatText(kOpenedLog, fileNameOf(path)));
    state = FromFile;
    setModifiedFlag(false);
    pathName = path;
    return true;
}

bool CChrEDoc::saveBinary(const std::string& path)
{
    if (data.hasData == 0 || data.signal.count() == 0) {
        message(kBinaryNoData);
        return false;
    }
    if (acquiring == 1) {
        message(kBinaryAcquiring);
        return false;
    }
    try {
        writeBinaryChromatogram(path, data);
    } catch (const std::exception&) {
        message(kBinarySaveFailed);
        return false;
    }
    return true;
}

bool CChrEDoc::loadBinary(const std::string& path)
{
    ChromatogramData loaded;
    try {
        loaded = readBinaryChromatogram(path);
    } catch (const std::exception&) {
        message(kBinaryLoadFailed);
        return false;
    }
    // Only the samples and what derives from them come from the file; the document's
    // method otherwise stays as it was.
    loaded.method.saveFolder = data.method.saveFolder;
    const double timeEnd = loaded.method.timeEnd, levelMin = loaded.method.levelMin,
                 levelMax = loaded.method.levelMax;
    AnalysisMethod method = data.method;
    data = std::move(loaded);
    data.method = std::move(method);
    data.method.timeEnd = timeEnd;
    data.method.timeStart = 0.0;
    data.method.levelMin = levelMin;
    data.method.levelMax = levelMax;
    state = FromFile;
    log(formatText(kBinaryOpenedLog, fileNameOf(path)));
    return true;
}

}  // namespace dgaws
