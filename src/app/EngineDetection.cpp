#include "EngineDetection.h"

#include "CChrEDoc.h"
#include "processing/EvaluateStep.h"

#include <limits>

namespace dgaws {

void EngineDetection::beginRun(CChrEDoc& doc)
{
    doc.engine.resetPass();
}

void EngineDetection::feed(CChrEDoc& doc, float value)
{
    // The sample is already in the signal, where the engine reads it back.
    doc.engine.feedSample(value);
    doc.engine.evaluate(EvaluateStep::All);
}

void EngineDetection::finishRun(CChrEDoc& doc)
{
    doc.engine.finishPass();
    doc.engine.evaluate(EvaluateStep::All);
}

void EngineDetection::redetect(CChrEDoc& doc)
{
    doc.engine.runDetection();
}

void EngineDetection::evaluate(CChrEDoc& doc)
{
    doc.engine.evaluate(EvaluateStep::All);
}

void EngineDetection::beginStartWatch(CChrEDoc& doc)
{
    doc.engine.startSignalWatch();
}

std::optional<StartRise> EngineDetection::feedStartWatch(CChrEDoc& doc, float value)
{
    doc.engine.feedStartSignal(value);
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
