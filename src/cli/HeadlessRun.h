#pragma once

#include "acquisition/AcquisitionSettings.h"
#include "acquisition/CollectorLink.h"
#include "app/CChrEDoc.h"
#include "app/ChannelRuns.h"
#include "chromatogram/MethodLibrary.h"

#include <array>
#include <chrono>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace dgaws::cli {

// What one headless run of the channels is asked to do.
struct HeadlessOptions {
    std::string methodPath;  // a .she file; its folder is the method library
    std::string outDir = ".";
    bool channelA = true;
    bool channelB = true;
    std::optional<double> minutes;  // replaces the method's stop time
    bool merge = true;
};

// A finished channel run.
struct HeadlessResult {
    int channel = 0;
    std::string path;  // empty when it could not be saved
    ChromatogramData data;
};

// The documents, run operations and collector link of the workstation, wired for a run
// without a display: every run saves directly into the output folder, messages go to the
// error stream, questions are answered No.
class HeadlessRun {
public:
    HeadlessRun(HeadlessOptions options, std::ostream& err);
    ~HeadlessRun();

    // Loads the method library; false (with the reason on the error stream) when the method
    // cannot be read.
    bool prepare();

    AcquisitionSettings& settings() { return settings_; }
    CollectorLink& link() { return *link_; }
    ChannelRuns& runs() { return *runs_; }
    CChrEDoc* document(int channel) { return docs_.at(static_cast<size_t>(channel)).get(); }

    // Opens the chosen channels' documents with the method.
    void openChannels();
    // Runs the event loop until every started channel has ended and been saved, or until
    // `deadline` passes (false). When `interrupted` turns true the runs are stopped (and
    // saved) at once.
    bool waitForRuns(std::chrono::steady_clock::time_point deadline,
                     const std::function<bool()>& interrupted = {});
    // Runs the event loop until the collector is confirmed, `deadline` passes or
    // `interrupted` turns true (false for both).
    bool waitForConfirm(std::chrono::steady_clock::time_point deadline,
                        const std::function<bool()>& interrupted = {});
    // Stops every running channel now (a signal to end): what was acquired is saved.
    void stopAll();

    const std::vector<HeadlessResult>& results() const { return results_; }
    // Unfinished runs left in the output folder by an earlier crash, told on the error stream.
    void reportUnfinishedRuns() const;

private:
    CChrEDoc* openChannel(int channel);

    HeadlessOptions options_;
    std::ostream& err_;
    AcquisitionSettings settings_;
    MethodLibrary library_;
    int methodIndex_ = -1;
    std::unique_ptr<ChannelRuns> runs_;
    std::unique_ptr<CollectorLink> link_;
    std::array<std::unique_ptr<CChrEDoc>, 2> docs_;
    std::vector<HeadlessResult> results_;
};

// The shipped file of `name`: DGAWS_HOME's copy when present, else the one the program was
// shipped with (beside it in a build tree, in share/dgaws of an installation).
std::string shippedDataFile(const std::string& name);

// The folder of safety copies under an output folder.
std::string autosaveFolderOf(const std::string& outDir);

}  // namespace dgaws::cli
