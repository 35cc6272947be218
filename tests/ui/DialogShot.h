// A picture of a dialog as a suite drives it, for a reviewer: written only when
// DGAWS_SHOTS_DIR names a folder (scripts/screenshot.sh sets it), so ordinary runs write nothing.
#pragma once

#include <QDir>
#include <QPixmap>
#include <QString>
#include <QWidget>

inline void saveDialogShot(QWidget& widget, const QString& name)
{
    const QString folder = qEnvironmentVariable("DGAWS_SHOTS_DIR");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    widget.grab().save(QDir(folder).filePath(name + ".png"));
}
