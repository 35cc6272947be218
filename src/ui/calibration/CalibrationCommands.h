#pragma once

#include "chromatogram/MethodLibrary.h"

#include <QList>
#include <QObject>

class QWidget;

namespace dgaws {

class CChildFrame;
class CChrEDoc;
class CMainFrame;
class OperatorPrompts;
class WorkstationApp;

// The calibration commands of the window: a chromatogram entered as a standard, a new curve
// for a method, and the table of a curve. The library method is written when the operator
// confirms; the open chromatograms that work with the curve take it again and are evaluated
// anew, the active one as one undo step.
class CalibrationCommands : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kChooseLevelCaption = "选择标样点";
    static constexpr const char* kChooseLevelLabel = "选择本谱图标样号：";

    CalibrationCommands(WorkstationApp& app, OperatorPrompts& prompts, QWidget* dialogParent);

    // The frame's three commands: the method and curve are the ones chosen in the method
    // tree, else the active chromatogram's.
    void connectTo(CMainFrame& frame);

    // "添加标样谱图到校正表(&A)": not while the chromatogram is growing or empty.
    static bool canAddStandard(const CChrEDoc& doc);
    bool addStandard(CChildFrame& frame);
    // "新建校正曲线(&N)" for the library method at `method` (-1 when none is chosen); on OK
    // the open chromatograms of that method, `active` first, work with the new curve.
    bool newCurve(int method, CChildFrame* active, const QList<CChildFrame*>& open);
    // The table of an existing curve.
    bool editCurve(MethodChoice choice, CChildFrame* active, const QList<CChildFrame*>& open);

signals:
    void filesChanged();
    void resultsChanged(dgaws::CChildFrame* frame);

private:
    bool runTable(int method, int curve, bool isNew, CChildFrame* active,
                  const QList<CChildFrame*>& open);
    // The chromatograms working with (method, curve), or the active one of the method when
    // `activeOnly`,
    // take the curve again and are evaluated.
    void retake(MethodChoice choice, bool activeOnly, CChildFrame* active,
                const QList<CChildFrame*>& open);

    WorkstationApp& app_;
    OperatorPrompts& prompts_;
    QWidget* dialogParent_;
};

}  // namespace dgaws
