#pragma once

#include <optional>

namespace dgaws {

class CChrEDoc;

// A rise the start-signal detector found: the signal levels at its start and its end.
struct StartRise {
    float startValue = 0.0f;
    float endValue = 0.0f;
};

// What a run asks of the document's peak engine while samples arrive. The run operations
// call it at fixed points; EngineDetection answers with the document's engine, and tests
// can put a detector of their own in its place.
class LiveDetection {
public:
    virtual ~LiveDetection() = default;
    // A new pass for a run: the peak table starts empty.
    virtual void beginRun(CChrEDoc& doc) = 0;
    // One acquired sample, then the whole evaluation.
    virtual void feed(CChrEDoc& doc, float value) = 0;
    // The run is over: close what is open, evaluate.
    virtual void finishRun(CChrEDoc& doc) = 0;
    // A whole detection over the stored signal (after the signal was changed by a merge).
    virtual void redetect(CChrEDoc& doc) = 0;
    // The results once more, from the peak table as it is.
    virtual void evaluate(CChrEDoc& doc) = 0;

    // Start-signal detection mode.
    virtual void beginStartWatch(CChrEDoc& doc) = 0;
    virtual std::optional<StartRise> feedStartWatch(CChrEDoc& doc, float value) = 0;
    // The reported rise was too small: forget it and look for the next.
    virtual void rejectRise(CChrEDoc& doc) = 0;
};

}  // namespace dgaws
