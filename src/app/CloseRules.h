#pragma once

namespace dgaws {

class CChrEDoc;
class WorkstationApp;

// Whether a chromatogram window may close, and how.
enum class CloseDecision {
    Refuse,     // a channel is sampling: "正在采样，不能关闭。"
    Close,      // a live channel window closes without asking
    AskToSave,  // a document from a file with changes: the framework's save question
};

// A live channel document closes without asking unless channel A or B is sampling; a
// document read from a file (or new) asks to save its changes first.
CloseDecision decideDocumentClose(const CChrEDoc& doc, const WorkstationApp& app);

// The main window refuses to close while the document of channel A or B is sampling.
bool channelSampling(const WorkstationApp& app);

}  // namespace dgaws
