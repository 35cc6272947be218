#pragma once

#include "chromatogram/AnalysisMethod.h"

#include <QDialog>
#include <QList>

class QLineEdit;
class QTabWidget;

namespace dgaws {

class CPP_DetectParaDlg;
class MethodPage;
class OperatorPrompts;

// The method sheet: every page of an analysis method in tabs. For a library method it also
// carries the method's name; for a chromatogram it edits only that chromatogram's copy.
// OK checks every page; the first unusable field is named in a message and gets the focus,
// and the sheet stays open.
class MethodSheet : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kLibraryCaption = "分析方法";
    static constexpr const char* kDocumentCaption = "分析方法-此对话框仅修改当前谱图的分析方法";

    enum class Target { Library, Chromatogram };

    MethodSheet(const AnalysisMethod& method, Target target, OperatorPrompts& prompts,
                QWidget* parent = nullptr);

    void accept() override;
    // The method as the pages left it; valid once the sheet was accepted.
    const AnalysisMethod& method() const { return method_; }

    QTabWidget* tabs() const { return tabs_; }
    CPP_DetectParaDlg* integrationPage() const { return integration_; }
    // Null for a chromatogram's sheet.
    QLineEdit* name() const { return name_; }
    template <class Page> Page* page() const
    {
        for (MethodPage* p : pages_)
            if (auto* found = qobject_cast<Page*>(p))
                return found;
        return nullptr;
    }

private:
    AnalysisMethod method_;
    OperatorPrompts& prompts_;
    QTabWidget* tabs_;
    QLineEdit* name_ = nullptr;
    CPP_DetectParaDlg* integration_;
    QList<MethodPage*> pages_;
};

}  // namespace dgaws
