#include "WorkbookCommand.h"

#include "DocumentFiles.h"

#include "chromatogram/ChromatogramFile.h"
#include "dga/RateRecord.h"
#include "report/TemplateWorkbooks.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <map>
#include <memory>

namespace dgaws::cli {

namespace fs = std::filesystem;

namespace {

const std::map<std::string, WorkbookKind> kKinds = {
    {"card", WorkbookKind::RecordCard},      {"append", WorkbookKind::RecordCard},
    {"other", WorkbookKind::OtherSituation}, {"label", WorkbookKind::SampleLabel},
    {"custom", WorkbookKind::CustomReport},
};

}  // namespace

int runWorkbook(const WorkbookOptions& o, std::ostream& out, std::ostream& err)
{
    const auto say = [&err](const std::string& text) { err << "dgaws-cli: " << text << "\n"; };
    const auto kind = kKinds.find(o.kind);
    if (kind == kKinds.end()) {
        say("unknown workbook " + o.kind + " (card, append, other, label, custom)");
        return 2;
    }
    if (o.column < 1 || o.column > 4) {
        say("--column takes 1 to 4");
        return 2;
    }
    if ((o.kind == "append") != !o.card.empty()) {
        say(o.kind == "append" ? "append needs --card CARD.xlsx" : "--card is for append only");
        return 2;
    }

    ChromatogramData data;
    try {
        data = readChromatogramFile(o.file);
    } catch (const std::exception& e) {
        say("cannot read " + o.file + ": " + e.what());
        return 1;
    }
    // Paths typed on the command line are the shell's, from the working folder.
    if (!o.linked.empty())
        data.linkedFile = fs::absolute(o.linked).string();
    if (!o.previous.empty()) {
        try {
            data.method.testRecord = readRateRecordFile(o.previous);
        } catch (const std::exception& e) {
            say(std::string(kRateFileLoadFailed) + " " + o.previous + ": " + e.what());
            return 1;
        }
    }
    try {
        // Half a test is refused before anything is written.
        const ChromatogramData shown =
            workbookData(data, fs::absolute(o.file).string(), dataFolderOf(o.home));
        std::string saved;
        if (o.kind == "append") {
            appendToRecordCard(o.card, shown, o.column - 1);
            saved = o.card;
        } else {
            const std::string schemePath = methodFolderOf(o.home);
            ensureTemplate(kind->second, schemePath);
            const std::string folder =
                o.out.empty() ? workbookFolder(data.method, fs::current_path().string()) : o.out;
            saved = writeTemplateWorkbook(kind->second, shown, fs::path(o.file).stem().string(),
                                          schemePath, folder, o.column - 1,
                                          o.replace ? ExistingCard::Replace : ExistingCard::Keep);
        }
        out << saved << "\n";
    } catch (const WorkbookError& e) {
        say(e.what());
        return 1;
    }
    return 0;
}

void addWorkbookCommand(CLI::App& app)
{
    auto options = std::make_shared<WorkbookOptions>();
    CLI::App* cmd = app.add_subcommand(
        "workbook", "Spreadsheet workbooks of a test from the templates in the method folder");
    cmd->add_option("KIND", options->kind,
                    "card (new device record card), append (to --card), other (other-situation "
                    "record), label (sample label), custom (custom report)")
        ->required();
    cmd->add_option("FILE", options->file, "Chromatogram (.chg) of the test")->required();
    cmd->add_option("--column", options->column, "The card's test column, 1 to 4");
    cmd->add_option("--card", options->card, "Device record card (.xlsx) to append to");
    cmd->add_option("--linked", options->linked, "Linked chromatogram of the other channel");
    cmd->add_flag("--replace", options->replace,
                  "A new card replaces a card of the same name (refused otherwise)");
    cmd->add_option("--previous", options->previous, "Previous test of the device (.lcd)");
    cmd->add_option("--out", options->out,
                    "Folder of the new workbook (default: the method's base folder, else the "
                    "working folder)");
    cmd->add_option("--home", options->home, "Data root (default: DGAWS_HOME or ~/dgaws)");
    cmd->callback([options] {
        const int status = runWorkbook(*options, std::cout, std::cerr);
        if (status != 0)
            throw CLI::RuntimeError(status);
    });
}

}  // namespace dgaws::cli
