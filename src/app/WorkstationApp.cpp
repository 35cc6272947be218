#include "WorkstationApp.h"

#include "CChrEDoc.h"
#include "DataRootSetUp.h"

#include <QDir>

#include <algorithm>
#include <ctime>

namespace dgaws {

namespace {

// Creates the folder chain of a path level by level; an empty text does nothing.
void makeFolderChain(const std::string& path)
{
    if (!path.empty())
        QDir().mkpath(QString::fromStdString(path));
}

}  // namespace

WorkstationApp::WorkstationApp(DataRoot root, Clock clock)
    : root_(std::move(root)),
      clock_(clock ? std::move(clock) : Clock([] { return QDateTime::currentDateTime(); })),
      store_(root_.settingsFile()), recent_(root_.settingsFile())
{
    settings_ = SystemSettings::defaults(root_, logName(clock_()));
    library_.setLog([this](const std::string& line) { log(line); });
}

WorkstationApp::~WorkstationApp() = default;

std::string WorkstationApp::logName(const QDateTime& time, bool rotated)
{
    return (rotated ? "QLC5" : "QL") +
        time.toString(QStringLiteral("yyyyMMddHHmmss")).toStdString() + ".DB";
}

void WorkstationApp::startUp(const std::string& shippedFolder)
{
    settings_ = SystemSettings::defaults(root_, logName(clock_()));
    store_.load(settings_);
    recent_.load();
    setUpDataRoot(root_, settings_, shippedFolder);
    openLog();
    settings_.normalizeCardType();
    settings_.liveCardType = settings_.CardType;
    settings_.pointsPerSecond = AcquisitionSettings::rateForCardType(settings_.CardType);
    settings_.autosaveFolder = root_.root() + "/" + kAutosaveFolder;
    methodLoadFailures_ = library_.loadLibrary(settings_.SchemePath);
    for (const LoadFailure& f : methodLoadFailures_)
        log(std::string(kDamagedMethods) + f.path + " (" + f.reason + ")");
}

std::string WorkstationApp::damagedMethodsText(const std::vector<LoadFailure>& failures)
{
    if (failures.empty())
        return {};
    std::string text = kDamagedMethods;
    for (const LoadFailure& f : failures)
        text += "\n" + f.path + " (" + f.reason + ")";
    return text;
}

void WorkstationApp::openLog()
{
    settings_.LogDirPath = root_.logFolder();
    makeFolderChain(settings_.LogDirPath);
    if (settings_.CurLogName.empty())
        settings_.CurLogName = logName(clock_());
    log_.setPath(logPath());
    log_.loadLog();
    log(kStartLog);
}

std::string WorkstationApp::logPath() const
{
    return settings_.LogDirPath + "/" + settings_.CurLogName;
}

Result<void> WorkstationApp::connectDatabase(const std::function<void(const std::string&)>& show)
{
    database_.setMessageSink(show);
    DatabaseSettings where;
    try {
        where = DatabaseSettings::fromSettingsFile(root_.settingsFile(), root_.root());
    } catch (const std::exception& e) {
        // A configuration the driver cannot use fails like a connection that cannot open.
        std::string text = std::string(e.what()) + TestRecordDatabase::kConnectFailed;
        if (show)
            show(text);
        return Failure{std::move(text)};
    }
    return database_.open(where);
}

void WorkstationApp::exit()
{
    log(kExitLog);
    log_.saveLog();
    saveSettings();
    if (database_.isOpen())
        database_.close();
}

bool WorkstationApp::saveSettings()
{
    SystemSettings stored = settings_;
    stored.LogDirPath = root_.logFolder();
    if (log_.count() > kLogRotation)
        stored.CurLogName = logName(clock_(), true);
    recent_.save();
    return store_.save(stored);
}

MethodDefaults WorkstationApp::methodDefaults() const
{
    MethodDefaults d;
    d.ADefaultProg = settings_.ADefaultProg;
    d.BDefaultProg = settings_.BDefaultProg;
    d.ADefaultCali = settings_.ADefaultCali;
    d.BDefaultCali = settings_.BDefaultCali;
    return d;
}

void WorkstationApp::log(const std::string& text)
{
    log_.addToLog(clock_(), text);
}

std::string WorkstationApp::mainFrameTitle() const
{
    return settings_.liveCardType == 1 ? kTitleCard1 : kTitleCard0;
}

bool WorkstationApp::acceptSettings(SystemSettings edited, const AskYesNo& ask)
{
    if (!SystemSettings::autoStartHeightUsual(edited.AutoStartHeight) &&
        !(ask && ask(kHeightQuestion)))
        edited.AutoStartHeight = settings_.AutoStartHeight;
    edited.formatLevellingTimes();
    // What the sheet does not edit stays as the program holds it.
    edited.LogDirPath = settings_.LogDirPath;
    edited.CurLogName = settings_.CurLogName;
    // The card page says it: a new card type is for the next start.
    edited.liveCardType = settings_.liveCardType;
    edited.pointsPerSecond = settings_.pointsPerSecond;
    settings_ = std::move(edited);
    return saveSettings();
}

std::string WorkstationApp::changePassword(const std::string& oldPassword,
                                           const std::string& newPassword,
                                           const std::string& confirmation)
{
    if (oldPassword != settings_.Password)
        return kWrongPassword;
    if (newPassword != confirmation)
        return kPasswordMismatch;
    settings_.Password = newPassword;
    saveSettings();
    return kPasswordSet;
}

CChrEDoc* WorkstationApp::slot(int index) const
{
    return index >= 0 && index < kSlots ? slots_[static_cast<size_t>(index)] : nullptr;
}

void WorkstationApp::setSlot(int index, CChrEDoc* doc)
{
    if (index >= 0 && index < kSlots)
        slots_[static_cast<size_t>(index)] = doc;
}

void WorkstationApp::documentDestroyed(const CChrEDoc* doc)
{
    for (auto& s : slots_)
        if (s == doc)
            s = nullptr;
}

void WorkstationApp::adoptDocument(CChrEDoc& doc)
{
    doc.setLogSink([this](const std::string& line) { log(line); });
    doc.setMethodLibrary(&library_);
    doc.dataFolder = settings_.ProjectPath;
    doc.onNewDocument(settings_.ProjectPath);
}

void WorkstationApp::prepareChannelDocument(CChrEDoc& doc, int channel)
{
    adoptDocument(doc);
    log(channel == 0 ? kChannelALog : kChannelBLog);
    doc.setTitle(std::string("通道") + (channel == 0 ? "A" : "B"));
    doc.state = channel == 0 ? CChrEDoc::ChannelA : CChrEDoc::ChannelB;
    doc.data.channel = channel;
    doc.data.pointsPerSecond = settings_.pointsPerSecond;

    const MethodChoice choice = library_.defaultChoice(methodDefaults(), channel);
    if (doc.takeLibraryMethod(choice, MethodTake::Whole))
        doc.data.method.saveFolder = settings_.ProjectPath;

    // The remembered conditions are the instrument conditions of the sample information,
    // in order, over whatever the method brought; more conditions than rows add rows.
    const std::vector<std::string> conditions = store_.conditionList(channel);
    auto& info = doc.data.method.instrumentInfo;
    for (size_t i = 0; i < conditions.size(); ++i) {
        if (i >= info.size())
            info.push_back(InstrumentEntry{});
        info[i].value = conditions[i];
    }
}

ProposalEnvironment WorkstationApp::proposalEnvironment(AskYesNo ask) const
{
    ProposalEnvironment env = systemProposalEnvironment(std::move(ask));
    env.now = [clock = clock_] {
        const std::time_t t = clock().toSecsSinceEpoch();
        std::tm local{};
        localtime_r(&t, &local);
        return local;
    };
    env.workDirectory = [this] { return settings_.ProjectPath; };
    return env;
}

}  // namespace dgaws
