#pragma once

#include "EngineDetection.h"
#include "LiveDetection.h"
#include "acquisition/AcquisitionSettings.h"
#include "acquisition/Autosave.h"
#include "acquisition/BaselineLevelling.h"
#include "acquisition/CCollector.h"
#include "chromatogram/FileNameProposal.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace dgaws {

class CChrEDoc;
class MethodLibrary;

// The operator's side of a run, without widgets: what the GUI, the command line and the
// tests each connect to. Every member may be left empty.
struct RunCallbacks {
    // "打开通道A" / "打开通道B": the channel's document, created when missing (nullptr when it
    // cannot be). The runs adopt it into the channel slot and attach it to the collector.
    std::function<CChrEDoc*(int channel)> openChannel;
    std::function<void(const std::string&)> message;
    // Yes/No; true is Yes. Unanswered questions count as No.
    std::function<bool(const std::string&)> ask;
    // The save dialog when a run is not saved directly: the proposed path in, the chosen
    // path out, nothing on cancel.
    std::function<std::optional<std::string>(const std::string& proposed)> chooseSavePath;
    // 1000 Hz for a second at the end of a run.
    std::function<void()> beep;
    // Each appended point, for the graph.
    std::function<void(CChrEDoc&, float value)> pointAdded;
    // The status bar's two texts of the latest point.
    std::function<void(CChrEDoc&, const std::string& timeText, const std::string& voltageText)>
        status;
    // A document's run state, peaks or ignition indicator changed: views, tabs, result list.
    std::function<void(CChrEDoc&)> changed;
    // A run ended and its file was written (or not: empty path).
    std::function<void(CChrEDoc&, const std::string& savedPath)> runSaved;
};

// Run, run start, stop, cancel and start-signal detection of the two channel documents,
// and the document append that every acquired point goes through. The collector knows
// channels only; this is where a channel's run meets its document: the document of a slot
// reads its live run state from the collector's run of that channel.
class ChannelRuns : public RunHost {
public:
    static constexpr const char* kNoMethod = "请先在左侧方法文件树视图里选择一个分析方法!";
    static constexpr const char* kNoMethodB = "请先在B通道左侧方法文件树视图里选择一个分析方法!";
    static constexpr const char* kNoMethodA = "请先在A通道左侧方法文件树视图里选择一个分析方法!";
    static constexpr const char* kNoMethodAtStartA =
        "A通道没有选择分析方法，必须选中分析方法后，才会启动采样!";
    static constexpr const char* kNoMethodAtStartB =
        "B通道没有选择分析方法，必须选中分析方法后，才会启动采样!";
    static constexpr const char* kCancelQuestion = "取消采样，谱图将不保存！";
    static constexpr const char* kTimeText = "采集时间：%1.3f分";
    static constexpr const char* kVoltageText = "当前电压：%1.3fmV";

    ChannelRuns(const AcquisitionSettings& settings, const MethodLibrary* library,
                RunCallbacks callbacks = {});
    ~ChannelRuns() override;

    // The channel documents are attached to the new collector and take their runs with
    // them; without a collector they are attached to none.
    void setCollector(CCollector* collector) override;
    CCollector* collector() const override { return collector_; }
    // The documents' own engines unless replaced; nullptr records without detecting.
    void setDetection(LiveDetection* detection) { detection_ = detection; }
    void setProposalEnvironment(ProposalEnvironment env) { env_ = std::move(env); }
    void setAutosaveClock(AutosaveWriter::Clock clock) { autosaveClock_ = std::move(clock); }

    // The channel slot of a live document: state, channel and collector attachment (and with
    // it the run state).
    void adoptChannelDocument(CChrEDoc& doc, int channel);
    // The document's window closes: out of its slot and off the collector.
    void releaseChannelDocument(CChrEDoc& doc);
    CChrEDoc* channelDocument(int channel) const { return slots_.at(channel); }

    // Command states.
    bool canRun(const CChrEDoc& doc) const;
    bool canWatchStart(const CChrEDoc& doc) const;
    // The document's method is one of the library's.
    bool hasValidMethod(const CChrEDoc& doc) const;

    // The commands. False when refused (the text has been shown) or declined.
    bool run(CChrEDoc& doc);
    bool watchStart(CChrEDoc& doc);
    bool cancel(CChrEDoc& doc);
    void stop(CChrEDoc& doc);
    // Every channel ends now as its stop ends it (a watch for the start signal is dropped),
    // saved under its automatic name without the dialog: the program is going away and
    // nobody may be there to answer it.
    void stopAllUnattended();

    // A run starts on the document: the library's names, the run state, a fresh signal,
    // the proposed name, detection and the safety copy.
    void runStart(CChrEDoc& doc);
    // Every acquired point of a document's run.
    void append(CChrEDoc& doc, float value);

    // CollectorHost
    void openChannel(int channel) override;
    bool hasValidMethod(int channel) const override;
    void runStart(int channel) override;
    void noMethodAtStart(int channel) override;
    void ignitionChanged(int channel) override;
    void append(int channel, float value) override;

    // The two status texts for a point count and a value.
    static std::string timeText(double minutes);
    static std::string voltageText(float microvolts);

private:
    void resetForRun(CChrEDoc& doc);
    // Step 1 of a stop for one document: no more points, signal cut, engine finished.
    void endRun(CChrEDoc& doc);
    void merge();
    // Saves under the automatic name (directly or through the dialog); the safety copy goes
    // once the file is written.
    bool save(CChrEDoc& doc);
    // After the save: the evaluation, whose quantitation step enters a standard's run in
    // its curve, and the views.
    void finishSaved(CChrEDoc& doc);
    // A run that waited for the other channel's to join it is saved as it is.
    void saveAwaitingJoin(int channel);
    // The two channels' current runs are one injection's: they ran together and neither was
    // cancelled. Only such runs are joined.
    bool runsPaired() const;
    // The channel's current run is given up (cancelled, or a document left its slot): it is
    // nobody's partner any more.
    void unpair(int channel);

    void message(const std::string& text) const;
    bool ask(const std::string& text) const;
    void changed(CChrEDoc& doc) const;
    int channelOf(const CChrEDoc& doc) const;
    CChrEDoc* ensureChannel(int channel);

    const AcquisitionSettings& settings_;
    const MethodLibrary* library_;
    RunCallbacks cb_;
    CCollector* collector_ = nullptr;
    EngineDetection engineDetection_;
    LiveDetection* detection_ = &engineDetection_;
    ProposalEnvironment env_;
    AutosaveWriter::Clock autosaveClock_;
    std::array<CChrEDoc*, 2> slots_{};
    // The levelling of each channel's current run.
    std::array<BaselineLevelling, 2> levelling_{};
    std::array<std::unique_ptr<AutosaveWriter>, 2> autosave_;
    std::array<bool, 2> warnedNoMethod_{};
    // Channels whose run has ended but is saved only once the other channel's run ends and
    // the two are joined.
    std::array<bool, 2> awaitingJoin_{};
    // Each channel's current run (0: none) and the run of the other channel it ran together
    // with (0: none). Two runs are partners when each names the other.
    std::array<unsigned, 2> runId_{};
    std::array<unsigned, 2> partner_{};
    unsigned lastRunId_ = 0;
    bool saveWithoutDialog_ = false;
};

}  // namespace dgaws
