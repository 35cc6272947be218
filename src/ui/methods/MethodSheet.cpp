#include "ui/methods/MethodSheet.h"

#include "ui/common/DialogButtons.h"
#include "ui/common/OperatorPrompts.h"
#include "ui/common/QtText.h"
#include "ui/methods/CPP_DetectParaDlg.h"
#include "ui/methods/MethodPages.h"
#include "ui/methods/ReportSettingsPage.h"

#include "chromatogram/MethodLibrary.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

namespace dgaws {

MethodSheet::MethodSheet(const AnalysisMethod& method, Target target, OperatorPrompts& prompts,
                         QWidget* parent)
    : QDialog(parent), method_(method), prompts_(prompts), tabs_(new QTabWidget(this)),
      integration_(new CPP_DetectParaDlg(prompts, this))
{
    setWindowTitle(qs(target == Target::Library ? kLibraryCaption : kDocumentCaption));
    pages_ << integration_ << new ComponentsPage(this) << new QuantitationPage(this)
           << new CPP_FileDlg(this) << new InstrumentPage(this) << new OilTestPage(this)
           << new ReportSettingsPage(this);
    for (MethodPage* page : pages_) {
        page->load(method);
        tabs_->addTab(page, page->caption());
    }
    auto* layout = new QVBoxLayout(this);
    if (target == Target::Library) {
        name_ = new QLineEdit(qs(method.name), this);
        auto* form = new QFormLayout;
        form->addRow(QStringLiteral("方法名称:"), name_);
        layout->addLayout(form);
    }
    layout->addWidget(tabs_);
    layout->addWidget(okCancelButtons(this));
    resize(720, 600);
}

void MethodSheet::accept()
{
    AnalysisMethod edited = method_;
    if (name_ != nullptr) {
        const std::string name = ss(name_->text().trimmed());
        if (!usableAsMethodName(name)) {
            prompts_.message(qs(kInvalidMethodName));
            name_->setFocus();
            return;
        }
        edited.name = name;
    }
    for (MethodPage* page : pages_) {
        InputProblem problem;
        if (!page->store(edited, problem)) {
            tabs_->setCurrentWidget(page);
            prompts_.message(problem.message);
            if (problem.field)
                problem.field->setFocus();
            return;
        }
    }
    method_ = std::move(edited);
    QDialog::accept();
}

}  // namespace dgaws
