#include "ui/exchange/DataServiceCommands.h"

#include "ui/common/DialogButtons.h"
#include "ui/common/ExportPath.h"
#include "ui/common/OperatorPrompts.h"
#include "ui/common/QtText.h"
#include "ui/shell/CChildFrame.h"
#include "ui/shell/DocumentCommands.h"

#include "app/CChrEDoc.h"
#include "app/DocumentInterchange.h"
#include "app/OutputFolders.h"
#include "app/WorkstationApp.h"
#include "chromatogram/Interchange.h"
#include "chromatogram/TextFormat.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QVBoxLayout>

namespace dgaws {

namespace {

struct TextCommands {
    const char* load;
    const char* save;
    const char* filter;
    const char* suffix;
};

TextCommands textCommands(TextLayout layout)
{
    switch (layout) {
    case TextLayout::Plain:
        return {"载入文本文件谱图(&T)", "保存为文本文件谱图(&X)", DataServiceCommands::kPlainFilter,
                "TXT"};
    case TextLayout::Standard:
        return {"载入通用色谱文本文件(&C)", "保存为通用色谱文本文件(&Y)",
                DataServiceCommands::kStandardFilter, "TXT"};
    case TextLayout::CommaSeparated: break;
    }
    return {"载入EXCEL通用色谱文本文件(&E)", "保存为EXCEL通用色谱文本文件(&L)",
            DataServiceCommands::kCsvFilter, "CSV"};
}

constexpr TextLayout kLayouts[] = {TextLayout::Plain, TextLayout::Standard,
                                   TextLayout::CommaSeparated};

}  // namespace

MergeOrderDialog::MergeOrderDialog(QWidget* parent)
    : QDialog(parent), first_(new QRadioButton(qs(kChosenFirst), this)),
      after_(new QRadioButton(qs(kChosenAfter), this))
{
    setWindowTitle(qs(kCaption));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(first_);
    layout->addWidget(after_);
    after_->setChecked(true);
    layout->addWidget(okCancelButtons(this));
}

bool MergeOrderDialog::chosenFirst() const
{
    return first_->isChecked();
}

DataServiceCommands::DataServiceCommands(WorkstationApp& app, OperatorPrompts& prompts,
                                         QWidget* dialogParent, MakeDocument make,
                                         ShowDocument show)
    : QObject(dialogParent), app_(app), prompts_(prompts), dialogParent_(dialogParent),
      make_(std::move(make)), show_(std::move(show))
{}

void DataServiceCommands::addTo(QMenuBar* bar, QAction* before,
                                std::function<CChildFrame*()> activeFrame)
{
    auto* menu = new QMenu(qs(kMenu), bar);
    bar->insertMenu(before, menu);
    const auto onActive = [activeFrame](std::function<void(CChildFrame&)> run) {
        return [activeFrame, run] {
            if (CChildFrame* frame = activeFrame())
                run(*frame);
        };
    };
    const auto add = [&](const char* text, std::function<void()> run, bool forDocument) {
        QAction* action = menu->addAction(qs(text));
        connect(action, &QAction::triggered, this, run);
        if (forDocument)
            documentActions_ << action;
    };
    // Both AIA commands of each direction read and write the same file. Each entry has a
    // letter of its own: a shared one only moves between the entries that share it.
    add(
        "载入中药指纹图谱(&D)", [this] { importCdf(); }, false);
    add(
        "载入国际通用谱图格式(&I)", [this] { importCdf(); }, false);
    for (TextLayout layout : kLayouts)
        add(
            textCommands(layout).load, [this, layout] { importText(layout); }, false);
    menu->addSeparator();
    add("保存为国际通用谱图格式(&G)", onActive([this](CChildFrame& f) { exportCdf(f); }), true);
    add("保存为中药指纹图谱(&Z)", onActive([this](CChildFrame& f) { exportCdf(f); }), true);
    for (TextLayout layout : kLayouts)
        add(textCommands(layout).save,
            onActive([this, layout](CChildFrame& f) { exportText(f, layout); }), true);
    menu->addSeparator();
    add(kMerge, onActive([this](CChildFrame& f) { merge(f); }), true);
    documentActions_.last()->setStatusTip(qs("把两个谱图文件合并成一个谱图文件"));
    connect(menu, &QMenu::aboutToShow, this, [this, activeFrame] { update(activeFrame()); });
}

void DataServiceCommands::update(const CChildFrame* active)
{
    for (QAction* action : documentActions_)
        action->setEnabled(active != nullptr);
}

CChildFrame* DataServiceCommands::showLoaded(std::unique_ptr<CChrEDoc> doc, const QString& path)
{
    doc->setTitle(ss(QFileInfo(path).fileName()));
    CChildFrame* frame = show_(std::move(doc));
    frame->refreshViews();
    return frame;
}

CChildFrame* DataServiceCommands::importCdf()
{
    const auto chosen = prompts_.openFile(QString(), qs(app_.settings().ProjectPath),
                                          nameFiltersFromStored(kCdfFilter));
    return chosen ? openCdf(*chosen) : nullptr;
}

CChildFrame* DataServiceCommands::openCdf(const QString& path)
{
    auto doc = make_();
    if (!document_interchange::importCdf(*doc, ss(path), app_.settings().pointsPerSecond))
        return nullptr;
    return showLoaded(std::move(doc), path);
}

CChildFrame* DataServiceCommands::importText(TextLayout layout)
{
    const auto chosen = prompts_.openFile(QString(), qs(app_.settings().ProjectPath),
                                          nameFiltersFromStored(textCommands(layout).filter));
    return chosen ? openText(*chosen, layout) : nullptr;
}

CChildFrame* DataServiceCommands::openText(const QString& path, TextLayout layout)
{
    auto doc = make_();
    if (!document_interchange::loadText(*doc, ss(path), layout, app_.settings().pointsPerSecond))
        return nullptr;
    // A layout with times tells the rate it was taken at, and the next run takes it too,
    // when the card can sample at it: the decimation knows only its own rates.
    if (layout != TextLayout::Plain) {
        const int rate = doc->data.pointsPerSecond;
        if (AcquisitionSettings::cardRate(rate))
            app_.settings().pointsPerSecond = rate;
        else
            prompts_.message(qs(formatText(kRateNotTaken, std::to_string(rate))));
    }
    return showLoaded(std::move(doc), path);
}

bool DataServiceCommands::handles(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("cdf") || suffix == QLatin1String("csv") ||
        suffix == QLatin1String("txt");
}

TextLayout DataServiceCommands::sniffTextLayout(const QString& path)
{
    return textLayoutOfFile(QFile::encodeName(path).toStdString());
}

CChildFrame* DataServiceCommands::openByKind(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("cdf"))
        return openCdf(path);
    if (suffix == QLatin1String("csv"))
        return openText(path, TextLayout::CommaSeparated);
    if (suffix == QLatin1String("txt"))
        return openText(path, sniffTextLayout(path));
    return nullptr;
}

bool DataServiceCommands::mayExport(const CChrEDoc& doc)
{
    if (!doc.data.hasData || doc.data.signal.count() == 0) {
        prompts_.message(qs(kExportNoData));
        return false;
    }
    if (doc.acquiring()) {
        prompts_.message(qs(kExportAcquiring));
        return false;
    }
    return true;
}

bool DataServiceCommands::exportCdf(CChildFrame& frame)
{
    CChrEDoc& doc = frame.document();
    if (!mayExport(doc))
        return false;
    const auto path = prompts_.saveFile(
        QString(), exportProposal(doc, defaultExportFolder(app_.root()), qs("cdf")),
        nameFiltersFromStored(kCdfFilter), qs("cdf"));
    return path && document_interchange::exportCdf(doc, ss(*path));
}

bool DataServiceCommands::exportText(CChildFrame& frame, TextLayout layout)
{
    CChrEDoc& doc = frame.document();
    if (!mayExport(doc))
        return false;
    const TextCommands commands = textCommands(layout);
    const auto path = prompts_.saveFile(
        QString(), exportProposal(doc, defaultExportFolder(app_.root()), qs(commands.suffix)),
        nameFiltersFromStored(commands.filter), qs(commands.suffix));
    return path && document_interchange::saveText(doc, ss(*path), layout);
}

bool DataServiceCommands::merge(CChildFrame& frame)
{
    // Refused before the operator picks a file for nothing.
    if (frame.document().acquiring()) {
        prompts_.message(qs(kExportAcquiring));
        return false;
    }
    const auto chosen =
        prompts_.openFile(QString(), qs(app_.settings().ProjectPath),
                          nameFiltersFromStored(DocumentCommands::kChromatogramFilter));
    if (!chosen)
        return false;
    MergeOrderDialog order(dialogParent_);
    if (order.exec() != QDialog::Accepted)
        return false;
    CChrEDoc& doc = frame.document();
    if (!document_interchange::mergeWith(doc, ss(*chosen), order.chosenFirst()))
        return false;
    frame.refreshViews();
    return true;
}

}  // namespace dgaws
