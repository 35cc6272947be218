#pragma once

#include "chromatogram/AnalysisMethod.h"

#include <QString>
#include <QWidget>

class QFormLayout;
class QLineEdit;

namespace dgaws {

// What stops the method sheet's OK: the text to show and the field to put the focus on.
struct InputProblem {
    QString message;
    QWidget* field = nullptr;
};

// One page of the method sheet. It shows a method and writes its own fields back into one;
// a field that does not hold a usable value stops the write with a problem.
class MethodPage : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    virtual QString caption() const = 0;
    virtual void load(const AnalysisMethod& method) = 0;
    // False with `problem` filled when a field is not usable; `method` may then be half
    // written and must be thrown away.
    virtual bool store(AnalysisMethod& method, InputProblem& problem) const = 0;
};

// The number fields of the pages: plain text boxes, so that what the operator typed is
// checked on OK and named in the message rather than silently corrected.
QLineEdit* addNumberField(QFormLayout* form, const char* label, QWidget* parent);
// Shown so that reading the text back gives the value again: looking must not change it.
void showNumber(QLineEdit* field, double value);
void showInteger(QLineEdit* field, int value);
// Reads a number; "<label>必须是数字。" when the text is none.
bool readNumber(const QLineEdit* field, double& out, InputProblem& problem);
// Reads a number above `above` and at most `atMost`; "<label>必须大于<above>。" or
// "<label>不能大于<atMost>。" outside.
bool readNumber(const QLineEdit* field, double above, double atMost, double& out,
                InputProblem& problem);
// Reads a whole number of at least `min`; "<label>必须是整数。" or "<label>不能小于<min>。".
bool readInteger(const QLineEdit* field, int min, int& out, InputProblem& problem);

}  // namespace dgaws
