#include "ReportCommand.h"

#include "DocumentFiles.h"
#include "ExistingDatabase.h"
#include "QtRuntime.h"

#include "app/DataRoot.h"
#include "app/DocumentDiagnosis.h"
#include "app/SystemSettings.h"
#include "chromatogram/ChromatogramFile.h"
#include "chromatogram/LinkedChromatogram.h"
#include "dga/ThreeRatio.h"
#include "report/AnalysisReport.h"
#include "report/DgaReport.h"
#include "report/PageSetup.h"
#include "report/ReportRenderer.h"

#include <CLI/CLI.hpp>

#include <QDateTime>
#include <QPageSize>
#include <QPdfWriter>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <unistd.h>

namespace dgaws::cli {

namespace fs = std::filesystem;

namespace {

// A written file appears whole or not at all: it is written beside its place and renamed.
template <class Write> bool writeReplacing(const std::string& path, Write write)
{
    const std::string temporary = path + ".tmp" + std::to_string(::getpid());
    bool ok = write(temporary);
    std::error_code ec;
    if (ok)
        fs::rename(temporary, path, ec);
    if (!ok || ec) {
        fs::remove(temporary, ec);
        return false;
    }
    return true;
}

}  // namespace

int runReport(const ReportOptions& o, std::ostream& out, std::ostream& err)
{
    const auto say = [&err](const std::string& text) { err << "dgaws-cli: " << text << "\n"; };
    if (o.kind != "analysis" && o.kind != "dga") {
        say("--kind takes analysis or dga");
        return 2;
    }
    if (!o.lang.empty() && o.lang != "zh" && o.lang != "en") {
        say("--lang takes zh or en");
        return 2;
    }
    if (o.pdf.empty() && o.png.empty()) {
        say("report needs --pdf OUT.pdf or --png PAGE1.png");
        return 2;
    }
    ensureGuiRuntime();

    const std::string root = dataRoot(o.home);
    DgaPrintSettings settings = loadDgaPrintSettings(settingsFilePath(root));
    if (!o.lang.empty())
        settings.language = o.lang == "en" ? ReportLanguage::English : ReportLanguage::Chinese;

    CChrEDoc doc;
    if (!openChromatogram(doc, o.file, err))
        return 1;
    doc.dataFolder = dataFolderOf(o.home);
    // A path typed on the command line is the shell's, from the working folder.
    if (!o.linked.empty())
        doc.data.linkedFile = fs::absolute(o.linked).string();
    const std::string fileName = fs::path(o.file).filename().string();
    const std::string printedAt =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")).toStdString();

    Report report;
    if (o.kind == "dga") {
        // Printed unattended, the test is diagnosed as the window would, and judged when an
        // attention value is exceeded; nothing is saved in the database.
        DiagnosisEnvironment env;
        env.showMessage = say;
        env.outGasRateUsed = readSystemInt(settingsFilePath(root), "OutGasRateUsed", 1) != 0;
        // Judged by the device's class in the library, if there is one; nothing is saved.
        env.device = storedDeviceClass(doc, existingDatabase(root).get());
        const auto view = diagnoseDocument(doc, env, nullptr);
        if (!view)
            return 1;
        if (view->judgementOffered())
            judgeThreeRatio(doc.data);
        report = dgaReport(doc.data, doc.linkedData, fileName, settings, printedAt, env.device,
                           doc.calibrationCurve());
    } else {
        if (!doc.data.linkedFile.empty()) {
            const std::string linked = doc.linkedPath();
            try {
                doc.linkedData = readChromatogramFile(linked);
            } catch (const std::exception& e) {
                say("cannot read " + linked + ": " + e.what());
                return 1;
            }
        }
        report = analysisReport(doc.data, doc.linkedData, fileName, settings, printedAt,
                                doc.calibrationCurve());
    }

    const ReportRenderer renderer(report);
    const QPageLayout paper = loadPageLayout(settingsFilePath(root));
    if (!o.pdf.empty()) {
        const bool written = writeReplacing(o.pdf, [&](const std::string& temporary) {
            QPdfWriter writer(QString::fromStdString(temporary));
            writer.setPageLayout(paper);
            writer.setCreator(QStringLiteral("dgaws"));
            writer.setTitle(QString::fromStdString(report.title));
            renderer.print(writer);
            return fs::exists(temporary) && fs::file_size(temporary) > 0;
        });
        if (!written) {
            say("cannot write " + o.pdf);
            return 1;
        }
        out << o.pdf << "\n";
    }
    if (!o.png.empty()) {
        const QImage page = renderer.pageImage(0, paper, 110);
        if (!writeReplacing(o.png, [&](const std::string& temporary) {
                return page.save(QString::fromStdString(temporary), "PNG");
            })) {
            say("cannot write " + o.png);
            return 1;
        }
        out << o.png << "\n";
    }
    return 0;
}

void addReportCommand(CLI::App& app)
{
    auto options = std::make_shared<ReportOptions>();
    CLI::App* cmd = app.add_subcommand(
        "report", "The printed analysis or DGA report of a chromatogram, as PDF or picture");
    cmd->add_option("FILE", options->file, "Chromatogram (.chg)")->required();
    cmd->add_option("--kind", options->kind, "analysis (default) or dga");
    cmd->add_option("--pdf", options->pdf,
                    "PDF file of the whole report (on the paper of the print settings, A4 unless "
                    "set)");
    cmd->add_option("--png", options->png, "Picture of the report's first page");
    cmd->add_option("--lang", options->lang,
                    "zh or en titles (default: the print settings, else the method's)");
    cmd->add_option("--linked", options->linked, "Linked chromatogram of the other channel");
    cmd->add_option("--home", options->home, "Data root (default: DGAWS_HOME or ~/dgaws)");
    cmd->callback([options] {
        const int status = runReport(*options, std::cout, std::cerr);
        if (status != 0)
            throw CLI::RuntimeError(status);
    });
}

}  // namespace dgaws::cli
