#include "HeadlessRun.h"

#include "QtRuntime.h"

#include "acquisition/Autosave.h"
#include "app/DataRootSetUp.h"
#include "chromatogram/FileIO.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <cstdlib>
#include <filesystem>
#include <ostream>

namespace dgaws::cli {

std::string shippedDataFile(const std::string& name)
{
    if (const char* home = std::getenv("DGAWS_HOME"); home && *home) {
        const std::string inHome = std::string(home) + "/演示/" + name;
        if (fileExists(inHome))
            return inHome;
    }
    const std::string shipped = shippedDataFolder();
    return (shipped.empty() ? std::string("data") : shipped) + "/" + name;
}

std::string autosaveFolderOf(const std::string& outDir)
{
    return (std::filesystem::path(outDir) / kAutosaveFolderName).string();
}

HeadlessRun::HeadlessRun(HeadlessOptions options, std::ostream& err)
    : options_(std::move(options)), err_(err)
{
    ensureCoreRuntime();
    settings_.DirectSave = 1;
    settings_.Merge = options_.merge ? 1 : 0;
    // With one channel chosen, nothing may bring the other one up.
    settings_.AllStart = options_.channelA && options_.channelB ? 1 : 0;
    settings_.autosaveFolder = autosaveFolderOf(options_.outDir);

    RunCallbacks cb;
    cb.openChannel = [this](int c) { return openChannel(c); };
    cb.message = [this](const std::string& text) { err_ << "dgaws-cli: " << text << '\n'; };
    cb.runSaved = [this](CChrEDoc& doc, const std::string& path) {
        HeadlessResult r;
        r.channel = doc.state;
        r.path = path;
        r.data = doc.data;
        // One entry per channel: the latest save is what its file holds.
        for (auto& existing : results_)
            if (existing.channel == r.channel) {
                existing = std::move(r);
                return;
            }
        results_.push_back(std::move(r));
    };
    runs_ = std::make_unique<ChannelRuns>(settings_, &library_, std::move(cb));
    ProposalEnvironment env = systemProposalEnvironment();
    const std::string out = options_.outDir;
    env.workDirectory = [out] { return out; };
    runs_->setProposalEnvironment(std::move(env));
    link_ = std::make_unique<CollectorLink>(settings_, *runs_);
    link_->newCollector();
    QObject::connect(link_.get(), &CollectorLink::message, [this](const QString& text) {
        err_ << "dgaws-cli: " << text.toStdString() << '\n';
    });
    QObject::connect(link_.get(), &CollectorLink::portError,
                     [this](const QString& text) { err_ << "dgaws-cli: " << text.toStdString(); });
}

HeadlessRun::~HeadlessRun()
{
    for (auto& d : docs_)
        if (d)
            runs_->releaseChannelDocument(*d);
    link_.reset();
}

bool HeadlessRun::prepare()
{
    const std::filesystem::path method = options_.methodPath;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(method, ec)) {
        err_ << "dgaws-cli: cannot read " << options_.methodPath << ": no such method file\n";
        return false;
    }
    const std::string folder = method.parent_path().empty() ? "." : method.parent_path().string();
    library_.loadLibrary(folder);
    const std::string wanted = std::filesystem::weakly_canonical(method, ec).string();
    for (size_t i = 0; i < library_.size(); ++i) {
        std::error_code e2;
        if (std::filesystem::weakly_canonical(library_.at(i).path, e2).string() == wanted)
            methodIndex_ = static_cast<int>(i);
    }
    if (methodIndex_ < 0) {
        err_ << "dgaws-cli: cannot read " << options_.methodPath << ": not a method file\n";
        return false;
    }
    std::filesystem::create_directories(options_.outDir, ec);
    return true;
}

CChrEDoc* HeadlessRun::openChannel(int channel)
{
    if ((channel == 0 && !options_.channelA) || (channel == 1 && !options_.channelB) ||
        methodIndex_ < 0)
        return nullptr;
    auto& slot = docs_.at(static_cast<size_t>(channel));
    if (slot)
        return slot.get();
    slot = std::make_unique<CChrEDoc>();
    CChrEDoc& doc = *slot;
    doc.onNewDocument(options_.outDir);
    doc.setTitle(channel == 0 ? "通道A" : "通道B");
    // Identification and quantitation read the channel's curve through the library.
    doc.setMethodLibrary(&library_);
    const MethodDefaults defaults;
    const std::string& curve = channel == 0 ? defaults.ADefaultCali : defaults.BDefaultCali;
    doc.takeLibraryMethod({methodIndex_, library_.curveIndexOf(methodIndex_, curve)},
                          MethodTake::Whole);
    // Files go where the command was told, whatever folder the method names.
    doc.data.method.text4 = options_.outDir;
    if (options_.minutes)
        doc.data.method.integration.stopTime = *options_.minutes;
    return slot.get();
}

void HeadlessRun::openChannels()
{
    for (int c = 0; c < 2; ++c)
        if (CChrEDoc* doc = openChannel(c))
            runs_->adoptChannelDocument(*doc, c);
}

bool HeadlessRun::waitForConfirm(std::chrono::steady_clock::time_point deadline,
                                 const std::function<bool()>& interrupted)
{
    while (!(link_->collector() && link_->collector()->confirmed())) {
        if (std::chrono::steady_clock::now() >= deadline || (interrupted && interrupted()))
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

bool HeadlessRun::waitForRuns(std::chrono::steady_clock::time_point deadline,
                              const std::function<bool()>& interrupted)
{
    auto busy = [this] {
        for (auto& d : docs_)
            if (d && d->acquiring())
                return true;
        return false;
    };
    while (busy()) {
        if (interrupted && interrupted()) {
            stopAll();
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

void HeadlessRun::stopAll()
{
    for (auto& d : docs_)
        if (d && d->acquiring()) {
            if (d->watchingStart())
                runs_->cancel(*d);
            else
                runs_->stop(*d);
        }
}

void HeadlessRun::reportUnfinishedRuns() const
{
    for (const std::string& path : findAutosaves(settings_.autosaveFolder))
        err_ << "dgaws-cli: an unfinished run was kept in " << path << "; 'dgaws-cli recover --dir "
             << settings_.autosaveFolder << "' makes it a chromatogram\n";
}

}  // namespace dgaws::cli
