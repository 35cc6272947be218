#pragma once

#include "SampleChromatogram.h"
#include "ScriptedPrompts.h"

#include "app/CChrEDoc.h"
#include "app/WorkstationApp.h"
#include "chromatogram/ChromatogramFile.h"
#include "ui/common/QtText.h"
#include "ui/shell/CChildFrame.h"
#include "ui/shell/CMainFrame.h"

#include "../chromatogram/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace dgaws::test {

// A window over a fresh data root and an empty settings file, with scripted prompts.
struct UiFixture {
    TempDir dir;
    DataRoot root{dir.path("home")};
    ScriptedPrompts prompts;
    std::unique_ptr<WorkstationApp> app;
    std::unique_ptr<CMainFrame> frame;
    bool active = false;

    // `settings` go into the settings file first: {"System/AllStart", 0}.
    explicit UiFixture(std::initializer_list<std::pair<const char*, QVariant>> settings = {})
    {
        for (const auto& [key, value] : settings)
            QSettings(qs(root.settingsFile()), QSettings::IniFormat).setValue(key, value);
        app = std::make_unique<WorkstationApp>(root);
        app->startUp(DGAWS_BINARY_DIR "/data");
        frame = std::make_unique<CMainFrame>(*app, &prompts);
        frame->show();
        // Keys reach the frame's shortcuts only while it is the active window.
        frame->activateWindow();
        active = QTest::qWaitForWindowActive(frame.get());
    }

    // The test database, connected with its messages told to the operator, knowing the
    // company and its device when they are given.
    TestRecordDatabase& database(const char* company = nullptr, const char* device = nullptr)
    {
        app->connectDatabase([this](const std::string& m) { prompts.messages << qs(m); });
        TestRecordDatabase& db = app->database();
        if (company) {
            db.addCompany(company);
            if (device)
                db.addDevice(device, db.companyId(company).value());
        }
        return db;
    }

    // The window's command of that caption, wherever it sits.
    QAction* command(const QString& text) const
    {
        for (QAction* a : frame->findChildren<QAction*>())
            if (a->text() == text)
                return a;
        return nullptr;
    }

    bool logged(const std::string& text) const
    {
        for (const CRecord& r : app->eventLog().copy())
            if (r.text == text)
                return true;
        return false;
    }

    // A sample chromatogram written into the data folder.
    QString writeSample(const std::string& name,
                        const ChromatogramData& data = sample::makeSampleChromatogram())
    {
        const std::string path = app->settings().ProjectPath + "/" + name;
        writeChromatogramFile(path, data);
        return QString::fromStdString(path);
    }
};

// Runs `onDialog` on the next modal dialog as soon as it is shown (then the dialog ends as
// `onDialog` leaves it); the caller then opens the dialog.
inline void whenDialogShows(std::function<void(QDialog&)> onDialog)
{
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, onDialog] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            onDialog(*dialog);
        }
    });
    poll->start();
}

}  // namespace dgaws::test
