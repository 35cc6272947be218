#pragma once

#include "report/Report.h"

#include <QPageLayout>
#include <QString>

class QWidget;

namespace dgaws {

// The three ways a laid-out report leaves the window, shared by every window that prints.
// Print asks for the printer first; true once printed.
bool printReport(const Report& report, const QPageLayout& layout, QWidget* parent);
void previewReport(const Report& report, const QPageLayout& layout, QWidget* parent);
// Written beside its place and renamed, so a failure leaves no partial file and the
// previous one whole; false on failure.
bool writeReportPdf(const Report& report, const QPageLayout& layout, const QString& path);

}  // namespace dgaws
