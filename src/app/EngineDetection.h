#pragma once

#include "LiveDetection.h"

namespace dgaws {

// Live detection by the document's own peak engine: a pass per run, every acquired sample
// fed and the whole table evaluated after it, the start-signal watch on its second detector.
class EngineDetection : public LiveDetection {
public:
    void beginRun(CChrEDoc& doc) override;
    void feed(CChrEDoc& doc, float value) override;
    void finishRun(CChrEDoc& doc) override;
    void redetect(CChrEDoc& doc) override;
    void evaluate(CChrEDoc& doc) override;
    void beginStartWatch(CChrEDoc& doc) override;
    std::optional<StartRise> feedStartWatch(CChrEDoc& doc, float value) override;
    void rejectRise(CChrEDoc& doc) override;
};

}  // namespace dgaws
