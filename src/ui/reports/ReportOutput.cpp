#include "ui/reports/ReportOutput.h"

#include "ui/common/QtText.h"

#include "report/ReportRenderer.h"

#include <QFile>
#include <QFileInfo>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <filesystem>

namespace dgaws {

bool printReport(const Report& report, const QPageLayout& layout, QWidget* parent)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(layout);
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    ReportRenderer(report).print(printer);
    return true;
}

void previewReport(const Report& report, const QPageLayout& layout, QWidget* parent)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(layout);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.resize(900, 1000);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&report](QPrinter* target) { ReportRenderer(report).print(*target); });
    dialog.exec();
}

bool writeReportPdf(const Report& report, const QPageLayout& layout, const QString& path)
{
    const QString temporary = path + QStringLiteral(".part");
    {
        QPdfWriter writer(temporary);
        writer.setPageLayout(layout);
        writer.setCreator(QStringLiteral("dgaws"));
        writer.setTitle(qs(report.title));
        ReportRenderer(report).print(writer);
    }
    bool ok = QFileInfo(temporary).size() > 0;
    std::error_code ec;
    if (ok)
        std::filesystem::rename(ss(temporary), ss(path), ec);
    ok = ok && !ec;
    if (!ok)
        QFile::remove(temporary);
    return ok;
}

}  // namespace dgaws
