#pragma once

#include "acquisition/ChannelRun.h"
#include "chromatogram/ChromatogramData.h"
#include "chromatogram/FileNameProposal.h"
#include "chromatogram/MethodLibrary.h"
#include "chromatogram/TextFormat.h"
#include "dga/DgaValues.h"
#include "processing/DisplayRange.h"
#include "processing/PeakDetectionCommand.h"
#include "processing/PeakEditor.h"
#include "processing/PeakEngine.h"
#include "processing/SignalCorrection.h"
#include "quant/PeakInfoEditor.h"
#include "quant/StandardChromatogram.h"

#include "Result.h"

#include <functional>
#include <string>

namespace dgaws {

// The document of one chromatogram window, without widgets: the record, its auxiliary
// chromatograms, a view of its channel's live run, the title with its modified mark, and the
// file operations with the texts the operator sees. Message boxes and log lines leave through
// sinks, so the GUI, the command line and the tests each decide where they go. A file
// operation that fails shows its text with the reason below it and returns the same text.
class CChrEDoc {
public:
    enum State { New = -1, ChannelA = 0, ChannelB = 1, FromFile = 3 };

    using TextSink = std::function<void(const std::string&)>;
    // An OK/Cancel question; true for OK.
    using Question = std::function<bool(const std::string&)>;

    static constexpr const char* kUnknownFileName = "谱图文件名(未知)";
    static constexpr const char* kCannotCloseWhileSampling = "正在采样，不能关闭。";
    static constexpr const char* kSaveFailed = "谱图文件%s保存失败,请检查保存路径是否存在。";
    static constexpr const char* kLoadFailed = "谱图文件载入失败。";
    static constexpr const char* kOpenedLog = "用户打开了名为%s的文件";
    static constexpr const char* kSavedLog = "用户保存了名为%s的文件";
    static constexpr const char* kBinaryNoData = "该谱图没有数据，无法输出保存！";
    static constexpr const char* kBinaryAcquiring = "采样还未停止，无法输出保存！";
    static constexpr const char* kBinarySaveFailed = "V3.3格式保存谱图失败。";
    static constexpr const char* kBinaryLoadFailed = "以V3.3格式读取谱图出现未知原因的错误。";
    static constexpr const char* kBinaryOpenedLog = "用户打开了一张V3.0格式色谱谱图文件%s。";
    static constexpr const char* kBaselineTooShort = SignalCorrection::kBaselineTooShort;

    // The engine works on `data` and marks the document modified whenever it evaluates;
    // that binding is why a document is never copied.
    PeakEngine engine{data};
    // The graph's peak editing and its undo stack; it acts on `selectedPeak`.
    PeakEditor editor{engine, selectedPeak};
    // The signal from before a baseline subtraction, while one is in effect.
    SignalCorrection signalCorrection;
    ChromatogramData data;
    ChromatogramData linkedData;
    std::string baselineFile;
    ChromatogramData baselineData;
    int state = New;
    // The samples of `data.signal` a run has filled; a live channel's buffer is longer.
    int acquiredCount = 0;
    int libraryCalibrationIndex = -1;
    int libraryMethodIndex = -1;
    std::string pathName;
    // The workstation's data folder, where a linked chromatogram named relative to no file
    // beside this one is looked for.
    std::string dataFolder;
    std::string proposedName = kUnknownFileName;
    // The peak the result table picked; the graph draws it in the selected-peak colour.
    int selectedPeak = -1;
    std::string backgroundFile;
    int32_t backgroundTraceColor = 0x808080;
    int showBackground = 1;
    ChromatogramData backgroundData;

    CChrEDoc();
    CChrEDoc(const CChrEDoc&) = delete;
    CChrEDoc& operator=(const CChrEDoc&) = delete;

    void setMessageSink(TextSink sink) { showMessage_ = std::move(sink); }
    void setLogSink(TextSink sink) { log_ = std::move(sink); }
    void setQuestionSink(Question ask) { ask_ = std::move(ask); }
    // Filled by the peak-editing layer: the undo snapshot taken before a re-detection and
    // the replay of the method's manual event table after it.
    void setUndoSnapshotHook(std::function<void()> hook) { pushUndo_ = std::move(hook); }
    void setManualEventReplayHook(std::function<void()> hook)
    {
        replayManualEvents_ = std::move(hook);
    }
    void setRedrawHook(std::function<void()> hook) { redrawViews_ = std::move(hook); }

    // The live run of the collector channel this document shows, held by the collector;
    // the run operations attach it while the document has a channel slot and a collector.
    // A document without one is not acquiring.
    void attachRun(ChannelRun* run) { run_ = run; }
    ChannelRun* channelRun() const { return run_; }
    bool acquiring() const { return run_ != nullptr && run_->acquiring; }
    // Watching for the start signal (which counts as acquiring).
    bool watchingStart() const { return run_ != nullptr && run_->startWatch; }
    bool ignited() const { return run_ != nullptr && run_->ignited; }

    // A new document saves into the current work directory.
    void onNewDocument(const std::string& workDirectory);

    // A modified document's title ends in exactly one "*"; an unmodified one has none.
    void setTitle(const std::string& title);
    const std::string& title() const { return title_; }
    void setModifiedFlag(bool modified = true);
    bool isModified() const { return modified_; }

    // False (with the message shown) while a run is in progress.
    bool canCloseFrame();

    // Stores the record; a live channel's signal is first cut to the samples acquired. Refused
    // (kBinaryAcquiring) while the run is in progress.
    // The previous file survives any failure; the document keeps its state on failure.
    Result<void> saveToFile(const std::string& path);
    // The Save command: the method's save folder is brought up to date, a document without
    // a path gets the proposed one (its folder created), then saveToFile.
    Result<void> save(const ProposalEnvironment& env);
    // The path the Save command would use for a document that has none yet.
    std::string proposeSavePath(const ProposalEnvironment& env);

    // Reads a .chg and links it to the library; on failure the document is left exactly as
    // it was.
    Result<void> loadFromFile(const std::string& path);

    // "峰检测(&D)".
    bool canDetectPeaks() const { return PeakDetectionCommand::enabled(data, acquiring()); }
    PeakDetectionCommand::Outcome detectPeaks();
    // Detection again without the question and without an undo step, for commands that
    // replace the whole signal (merging).
    void reprocess();

    // The application's method library, which `libraryMethodIndex` and
    // `libraryCalibrationIndex` point into. Without one the document identifies and
    // quantifies with its own component table, and a standard has no curve to enter.
    void setMethodLibrary(MethodLibrary* library) { library_ = library; }
    MethodLibrary* methodLibrary() const { return library_; }
    // The library curve the document is linked to, or null.
    const CalibrationCurve* calibrationCurve() const;
    // Gives the document the library method and curve of `choice` (MethodLibrary::give)
    // and records their positions. Every way a document comes to a library method goes
    // through here: a channel opened, a file opened, a method chosen or applied. False, with
    // nothing changed, without a library or when the method is not one of it.
    bool takeLibraryMethod(MethodChoice choice, MethodTake take);
    // A chromatogram read from a file is linked to the library method and curve it names
    // when the library has them; otherwise it works with its own table.
    void linkToLibrary();
    // Writes a library method back to its file (saveMethodFile unless replaced).
    void setMethodSaver(MethodSaver saver) { saveMethod_ = std::move(saver); }
    // Whether evaluating a standard enters its run into its curve (and so writes the
    // library's file), as a run finished in the window does. Tools that only look at a
    // chromatogram or change its own file turn this off unless told otherwise.
    void setStandardRunsStored(bool stored) { standardRunsStored_ = stored; }

    // The method sheet's OK for this chromatogram's own copy of the method: one undo step,
    // the copy replaced, then a new detection when the detection settings changed and the
    // signal is complete (the manual events replayed when the method asks for it),
    // otherwise an evaluation of the table as it stands. A run in progress only takes the
    // new copy and evaluates. The document is marked modified and redrawn.
    void applyMethod(const AnalysisMethod& edited);

    // Quantitation as the sample information dialog's OK runs it, whatever the sample type.
    void quantify();
    // "添加标样谱图到校正表(&A)": the two choosers are the dialogs; the document is
    // reprocessed without quantitation, its run stored and the document saved.
    StandardAddStatus addStandardChromatogram(
        std::function<std::optional<MethodChoice>(const MethodChoice&)> chooseMethod,
        std::function<std::optional<int>(int levelCount, int preset)> chooseLevel,
        const ProposalEnvironment& env);
    // The nine dissolved gases of both channels into `data`, as the diagnosis collects them;
    // `linkedData`, which may hold the diagnosis's rates, is left as it is.
    DgaCollection collectDgaValues();
    // Where the peak information dialog of this document writes, and what follows its OK:
    // the texts are shown, then the document is evaluated as the dialog asked.
    PeakInfoContext peakInfoContext();
    void finishPeakInfo(const PeakInfoResult& result);

    // The signal commands; none of them detects peaks again. Each is refused while a run is
    // in progress, and each that changed the signal marks the document and redraws.
    // "谱图平滑(&S)" with the width asked for in "谱图平滑参数".
    bool smoothSignal(int width);
    // "根据自身漂移扣除基线(&B)".
    bool subtractOwnDrift();
    // "根据基线谱图扣除基线(&G)": the path is kept and read into `baselineData`; a baseline
    // shorter than the signal is refused with its message.
    bool subtractBaselineChromatogram(const std::string& path);
    // "恢复被扣除基线的谱图(&R)".
    bool restoreSignal();
    // "查看当前电压±20uv谱图检查噪音": the range around the newest sample (the newest
    // acquired one during a run).
    DisplayRange noiseCloseUp() const;
    // "基线调零": the acquisition takes the next sample of the running channel as its zero
    // and clears the request; false when no run is in progress.
    bool requestBaselineZero();

    // Where the linked chromatogram of the other channel lies (linkedChromatogramPath).
    std::string linkedPath() const;
    // The linked chromatogram of the other channel, read each time the window is drawn;
    // empty when there is none or it cannot be read, which fails with the words naming it
    // and the reason (what prints or writes the test refuses half of it). The one held is
    // kept while the file holds the same chromatogram, with the rates a diagnosis computed
    // on it.
    Result<void> readLinkedData();

    // The binary sample file of the graph view's command and the application's loader.
    Result<void> saveBinary(const std::string& path);
    // A binary file keeps no rate: `pointsPerSecond` is the one it was taken at, 0 unknown.
    Result<void> loadBinary(const std::string& path, int pointsPerSecond = 0);

    // Through the sinks: a text the operator must see, and an action for the event log.
    void message(const std::string& text) const;
    void log(const std::string& text) const;
    // A failure of a document operation: shown, and returned to the caller.
    Result<void> fail(std::string text) const;

    // A chromatogram read into the document or started by a run owns neither the signal
    // backup nor the undo snapshots of the one before it.
    void forgetEditing();

private:
    void redraw() const;
    void signalChanged();
    // A signal command as one undo step of the peak editor; true when `change` changed the
    // signal (which then marks the document and redraws).
    bool asOneUndoStep(const std::function<bool()>& change);
    // The evaluation's quantitation step: a test sample is quantified, a standard's run is
    // stored in its curve.
    void quantitationStep();

    std::string title_;
    bool modified_ = false;
    TextSink showMessage_;
    TextSink log_;
    Question ask_;
    std::function<void()> pushUndo_;
    std::function<void()> replayManualEvents_;
    std::function<void()> redrawViews_;
    MethodLibrary* library_ = nullptr;
    MethodSaver saveMethod_ = saveMethodFile;
    bool standardRunsStored_ = true;
    ChannelRun* run_ = nullptr;
};

}  // namespace dgaws
