#include "ui/methods/MethodLibraryCommands.h"

#include "ui/common/OperatorPrompts.h"
#include "ui/common/QtText.h"
#include "ui/methods/CPP_DetectParaDlg.h"
#include "ui/methods/MethodSheet.h"
#include "ui/shell/MethodTreeNode.h"

#include "app/CChrEDoc.h"
#include "app/WorkstationApp.h"

#include <QAction>
#include <QMenu>
#include <QTreeWidget>

namespace dgaws {

MethodLibraryCommands::MethodLibraryCommands(WorkstationApp& app, OperatorPrompts& prompts,
                                             QWidget* dialogParent)
    : QObject(dialogParent), app_(app), prompts_(prompts), dialogParent_(dialogParent)
{}

void MethodLibraryCommands::attachTo(QTreeWidget* tree)
{
    tree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tree, &QTreeWidget::customContextMenuRequested, this, [this, tree](const QPoint& at) {
        QTreeWidgetItem* item = tree->itemAt(at);
        const auto choice = MethodTreeNode::choiceOf(item);
        // Only the library's node and its items carry these commands; the files have none.
        if (!choice &&
            (item == nullptr || item->parent() != nullptr ||
             item->text(0) != QString::fromUtf8(MethodTreeNode::kCaption)))
            return;
        QMenu* menu = menuFor(choice);
        menu->exec(tree->viewport()->mapToGlobal(at));
        menu->deleteLater();
    });
}

QMenu* MethodLibraryCommands::menuFor(std::optional<MethodChoice> choice)
{
    auto* menu = new QMenu(dialogParent_);
    const int index = choice ? choice->libraryMethodIndex : -1;
    const bool onMethod = index >= 0 && static_cast<size_t>(index) < app_.library().size();
    auto add = [this, menu](const char* text, bool enabled, auto command) {
        QAction* a = menu->addAction(QString::fromUtf8(text));
        a->setEnabled(enabled);
        connect(a, &QAction::triggered, this, command);
    };
    add("新建分析方法(&N)", true, [this] { newMethod(); });
    add("编辑分析方法(&E)", onMethod, [this, index] { editMethod(index); });
    add("删除分析方法(&D)", onMethod, [this, index] { deleteMethod(index); });
    menu->addSeparator();
    add("隐藏分析方法(&H)", true, [this, index, onMethod] {
        hideMethod(onMethod ? std::optional<int>(index) : std::nullopt);
    });
    add("载入分析方法(&L)...", true, [this] { showMethod(); });
    menu->addSeparator();
    add("设为A通道默认方法(&A)", onMethod,
        [this, index] { makeDefault(index, DefaultChannels::A); });
    add("设为B通道默认方法(&B)", onMethod,
        [this, index] { makeDefault(index, DefaultChannels::B); });
    return menu;
}

bool MethodLibraryCommands::report(const LibraryResult& result)
{
    if (!result.message.empty())
        prompts_.message(qs(result.message),
                         result.status == LibraryResult::Status::Failed
                             ? OperatorPrompts::Icon::Warning
                             : OperatorPrompts::Icon::Information);
    if (result.ok())
        emit libraryChanged();
    return result.ok();
}

void MethodLibraryCommands::offerProposal(MethodSheet& sheet) const
{
    const CChrEDoc* doc = active_ ? active_() : nullptr;
    if (doc)
        sheet.integrationPage()->setProposalSource(
            &doc->data,
            areaDivisor(doc->engine.settings().cacuFrequence, doc->data.pointsPerSecond));
}

bool MethodLibraryCommands::newMethod()
{
    MethodSheet sheet(AnalysisMethod{}, MethodSheet::Target::Library, prompts_, dialogParent_);
    offerProposal(sheet);
    if (sheet.exec() != QDialog::Accepted)
        return false;
    MethodLibraryEntry entry;
    entry.method = sheet.method();
    return report(app_.library().addNew(std::move(entry)));
}

bool MethodLibraryCommands::editMethod(int index)
{
    MethodLibrary& library = app_.library();
    if (index < 0 || static_cast<size_t>(index) >= library.size())
        return false;
    MethodSheet sheet(library.at(static_cast<size_t>(index)).method, MethodSheet::Target::Library,
                      prompts_, dialogParent_);
    sheet.setWindowTitle(sheet.windowTitle() + QStringLiteral(" - 正在修改"));
    offerProposal(sheet);
    if (sheet.exec() != QDialog::Accepted)
        return false;
    MethodLibraryEntry edited = library.at(static_cast<size_t>(index));
    edited.method = sheet.method();
    return report(library.edit(static_cast<size_t>(index), std::move(edited)));
}

bool MethodLibraryCommands::deleteMethod(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= app_.library().size())
        return false;
    return report(app_.library().remove(static_cast<size_t>(index)));
}

bool MethodLibraryCommands::hideMethod(std::optional<int> index)
{
    std::optional<size_t> position;
    if (index && *index >= 0)
        position = static_cast<size_t>(*index);
    return report(app_.library().hide(position));
}

bool MethodLibraryCommands::showMethod()
{
    const auto chosen =
        prompts_.openFile(QStringLiteral("载入分析方法"), qs(app_.library().folder()),
                          {QStringLiteral("分析方法文件(*.she)"), QStringLiteral("所有文件(*)")});
    if (!chosen)
        return false;
    return report(app_.library().show(ss(*chosen)));
}

bool MethodLibraryCommands::makeDefault(int index, DefaultChannels channels)
{
    MethodLibrary& library = app_.library();
    if (index < 0 || static_cast<size_t>(index) >= library.size())
        return false;
    MethodDefaults defaults = app_.methodDefaults();
    const LibraryResult result =
        makeDefaultMethod(defaults, library.at(static_cast<size_t>(index)), channels);
    if (!result.ok()) {
        prompts_.message(qs(result.message));
        return false;
    }
    app_.settings().ADefaultProg = defaults.ADefaultProg;
    app_.settings().BDefaultProg = defaults.BDefaultProg;
    app_.saveSettings();
    emit defaultsChanged();
    return true;
}

}  // namespace dgaws
