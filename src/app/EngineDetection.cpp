#include "EngineDetection.h"

#include "CChrEDoc.h"
#include "processing/EvaluateStep.h"

#include <limits>

namespace dgaws {

void EngineDetection::beginRun(CChrEDoc& doc)
{
    doc.engine.ResetPass();
}

void EngineDetection::feed(CChrEDoc& doc, float value)
{
    // The sample is already in the signal, where the engine reads it back.
    doc.engine.FeedSample(value);
    doc.engine.Evaluate(EvaluateStep::All);
}

void EngineDetection::finishRun(CChrEDoc& doc)
{
    doc.engine.FinishPass();
    doc.engine.Evaluate(EvaluateStep::All);
}

void EngineDetection::redetect(CChrEDoc& doc)
{
    doc.engine.RunDetection();
}

void EngineDetection::evaluate(CChrEDoc& doc)
{
    doc.engine.Evaluate(EvaluateStep::All);
}

void EngineDetection::beginStartWatch(CChrEDoc& doc)
{
    doc.engine.StartSignalWatch();
}

std::optional<StartRise> EngineDetection::feedStartWatch(CChrEDoc& doc, float value)
{
    doc.engine.FeedStartSignal(value);
    const StartSignalDetector& d = doc.engine.startSignal();
    if (!d.found())
        return std::nullopt;
    return StartRise{d.start().value, d.end().value};
}

void EngineDetection::rejectRise(CChrEDoc& doc)
{
    // The height was judged by the run; any finite rise falls short of this one, which
    // sends the detector back to waiting for the next fall.
    doc.engine.confirmStartSignal(std::numeric_limits<double>::infinity());
}

}  // namespace dgaws
