#include "ui/methods/MethodPage.h"

#include <QFormLayout>
#include <QLineEdit>

#include <cmath>

namespace dgaws {

namespace {

// The label the form shows, without the colon and the spacing that align it.
QString fieldName(const QLineEdit* field)
{
    QString name = field->property("fieldLabel").toString();
    name.remove(QLatin1Char(' '));
    while (name.endsWith(QLatin1Char(':')) || name.endsWith(QChar(0xFF1A)))
        name.chop(1);
    return name;
}

bool refuse(const QLineEdit* field, const QString& text, InputProblem& problem)
{
    problem.message = text;
    problem.field = const_cast<QLineEdit*>(field);
    return false;
}

}  // namespace

QLineEdit* addNumberField(QFormLayout* form, const char* label, QWidget* parent)
{
    auto* field = new QLineEdit(parent);
    field->setProperty("fieldLabel", QString::fromUtf8(label));
    form->addRow(QString::fromUtf8(label), field);
    return field;
}

void showNumber(QLineEdit* field, double value)
{
    field->setText(QString::number(value, 'g', 15));
}

void showInteger(QLineEdit* field, int value)
{
    field->setText(QString::number(value));
}

bool readNumber(const QLineEdit* field, double& out, InputProblem& problem)
{
    bool ok = false;
    const double value = field->text().trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return refuse(field, fieldName(field) + QStringLiteral("必须是数字。"), problem);
    out = value;
    return true;
}

bool readNumber(const QLineEdit* field, double above, double atMost, double& out,
                InputProblem& problem)
{
    double value = 0.0;
    if (!readNumber(field, value, problem))
        return false;
    if (value <= above)
        return refuse(field, fieldName(field) + QStringLiteral("必须大于%1。").arg(above), problem);
    if (value > atMost)
        return refuse(field, fieldName(field) + QStringLiteral("不能大于%1。").arg(atMost),
                      problem);
    out = value;
    return true;
}

bool readInteger(const QLineEdit* field, int min, int& out, InputProblem& problem)
{
    bool ok = false;
    const int value = field->text().trimmed().toInt(&ok);
    if (!ok)
        return refuse(field, fieldName(field) + QStringLiteral("必须是整数。"), problem);
    if (value < min)
        return refuse(field, fieldName(field) + QStringLiteral("不能小于%1。").arg(min), problem);
    out = value;
    return true;
}

}  // namespace dgaws
