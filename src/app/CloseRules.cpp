#include "CloseRules.h"

#include "CChrEDoc.h"
#include "WorkstationApp.h"

namespace dgaws {

bool channelSampling(const WorkstationApp& app)
{
    for (int channel : {0, 1})
        if (const CChrEDoc* doc = app.slot(channel); doc && doc->acquiring())
            return true;
    return false;
}

CloseDecision decideDocumentClose(const CChrEDoc& doc, const WorkstationApp& app)
{
    const bool live = doc.state == CChrEDoc::ChannelA || doc.state == CChrEDoc::ChannelB;
    if (doc.acquiring() || (live && channelSampling(app)))
        return CloseDecision::Refuse;
    return doc.isModified() ? CloseDecision::AskToSave : CloseDecision::Close;
}

}  // namespace dgaws
