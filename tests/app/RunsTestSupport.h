#pragma once

#include "acquisition/CCollector.h"
#include "app/CChrEDoc.h"
#include "app/ChannelRuns.h"
#include "chromatogram/CivilTime.h"
#include "chromatogram/MethodFile.h"
#include "chromatogram/MethodLibrary.h"

#include "../chromatogram/TempDir.h"

#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace dgaws::test {

// A method library of one method in a private folder.
inline void writeMethod(const std::string& folder, const std::string& name, double stopTime)
{
    std::filesystem::create_directories(folder);
    MethodLibraryEntry e;
    e.method.name = name;
    e.method.integration.stopTime = stopTime;
    e.path = folder + "/" + name + ".she";
    CalibrationCurve a, b;
    a.name = "ADefaultCali";
    b.name = "BDefaultCali";
    e.curves = {a, b};
    saveMethodFile(e);
}

// The run operations with a real collector and two channel documents, saving into a
// private folder at a fixed clock; everything the operator would see is recorded.
struct RunsBench {
    TempDir dir;
    AcquisitionSettings settings;
    MethodLibrary library;
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    bool answer = true;
    std::vector<std::string> proposedPaths;
    std::optional<std::string> dialogChoice;  // nothing: the dialog is cancelled
    std::vector<std::pair<int, std::string>> saved;
    int beeps = 0;
    std::unique_ptr<ChannelRuns> runs;
    std::unique_ptr<CCollector> collector;
    std::array<std::unique_ptr<CChrEDoc>, 2> docs;
    double stopTime = 0.5;

    explicit RunsBench(double minutes = 0.5) : stopTime(minutes)
    {
        settings.DirectSave = 1;
        settings.Merge = 0;
        settings.autosaveFolder = dir.path("自动保存");
        writeMethod(dir.path("methods"), "QL", stopTime);
        library.loadLibrary(dir.path("methods"));

        RunCallbacks cb;
        cb.openChannel = [this](int c) { return openDoc(c); };
        cb.message = [this](const std::string& m) { messages.push_back(m); };
        cb.ask = [this](const std::string& q) {
            questions.push_back(q);
            return answer;
        };
        cb.chooseSavePath = [this](const std::string& p) {
            proposedPaths.push_back(p);
            return dialogChoice;
        };
        cb.beep = [this] { ++beeps; };
        cb.runSaved = [this](CChrEDoc& d, const std::string& p) { saved.emplace_back(d.state, p); };
        runs = std::make_unique<ChannelRuns>(settings, &library, std::move(cb));
        ProposalEnvironment env;
        env.now = [] { return test::civilTime(2024, 5, 17, 9, 30, 15); };
        env.fileExists = [](const std::string& p) { return std::filesystem::exists(p); };
        env.ask = [](const std::string&) { return false; };
        const std::string root = dir.path("data");
        env.workDirectory = [root] { return root; };
        runs->setProposalEnvironment(env);
        collector = std::make_unique<CCollector>(settings, runs.get());
        runs->setCollector(collector.get());
    }

    CChrEDoc* openDoc(int c)
    {
        auto& d = docs.at(static_cast<size_t>(c));
        if (!d) {
            d = std::make_unique<CChrEDoc>();
            d->setMethodLibrary(&library);
            d->takeLibraryMethod({0, -1}, MethodTake::Whole);
        }
        return d.get();
    }
    // Both channel windows open, as after the channel commands.
    void openBoth()
    {
        for (int c = 0; c < 2; ++c)
            runs->adoptChannelDocument(*openDoc(c), c);
    }
    CChrEDoc& doc(int c) { return *docs.at(static_cast<size_t>(c)); }
    void point(int c, float v) { collector->channelSample(c, v, false); }
    std::vector<std::string> autosaves() const { return findAutosaves(settings.autosaveFolder); }
};

}  // namespace dgaws::test
