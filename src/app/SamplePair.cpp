#include "SamplePair.h"

#include "CChrEDoc.h"

#include <filesystem>

namespace dgaws {
namespace {

bool live(const CChrEDoc& doc)
{
    return doc.state == CChrEDoc::ChannelA || doc.state == CChrEDoc::ChannelB;
}

bool names(const CChrEDoc& doc, const CChrEDoc& linked)
{
    if (doc.data.linkedFile.empty() || linked.pathName.empty())
        return false;
    std::error_code ec;
    return std::filesystem::equivalent(doc.linkedPath(), linked.pathName, ec);
}

}  // namespace

bool samePair(const CChrEDoc& a, const CChrEDoc& b)
{
    if (&a == &b)
        return false;
    if (live(a) && live(b))
        return a.state != b.state;
    return names(a, b) || names(b, a);
}

bool shareSampleInformation(const CChrEDoc& from, CChrEDoc& to)
{
    const AnalysisMethod& f = from.data.method;
    AnalysisMethod& t = to.data.method;
    const bool same = t.sendingCompany == f.sendingCompany && t.deviceNo == f.deviceNo &&
        t.serialNo == f.serialNo && t.tester == f.tester &&
        to.data.injectionTime == from.data.injectionTime;
    if (same)
        return false;
    t.sendingCompany = f.sendingCompany;
    t.deviceNo = f.deviceNo;
    t.serialNo = f.serialNo;
    t.tester = f.tester;
    to.data.injectionTime = from.data.injectionTime;
    to.setModifiedFlag(true);
    return true;
}

}  // namespace dgaws
