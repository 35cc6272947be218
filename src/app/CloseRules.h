#pragma once

namespace dgaws {

class CChrEDoc;
class WorkstationApp;

// Whether a chromatogram window may close, and how.
enum class CloseDecision {
    Refuse,     // a channel is sampling: "正在采样，不能关闭。"
    Close,      // nothing unsaved
    AskToSave,  // the framework's save question
};

// No window closes while channel A or B is sampling (a live channel's window not even while
// the other channel samples). Otherwise a document with unsaved changes asks to save them
// first, a live channel's as much as one read from a file: a diagnosis or an edit after the
// run's own save would otherwise be lost without a word.
CloseDecision decideDocumentClose(const CChrEDoc& doc, const WorkstationApp& app);

// The main window refuses to close while the document of channel A or B is sampling.
bool channelSampling(const WorkstationApp& app);

}  // namespace dgaws
