#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace dgaws {

// Everything the window asks the operator in a modal box, in one place: the product shows
// Qt's message boxes and file dialogs; the GUI tests answer from a script.
class OperatorPrompts {
public:
    enum class Icon { Information, Warning, Exclamation, Question };
    enum class Answer { Yes, No, Cancel };

    virtual ~OperatorPrompts() = default;

    virtual void message(const QString& text, Icon icon = Icon::Warning) = 0;
    virtual bool askYesNo(const QString& text, Icon icon = Icon::Question) = 0;
    virtual Answer askYesNoCancel(const QString& text) = 0;
    // True for OK.
    virtual bool askOkCancel(const QString& text) = 0;
    // File dialogs; nothing on cancel.
    virtual std::optional<QString> openFile(const QString& caption, const QString& folder,
                                            const QStringList& filters) = 0;
    virtual std::optional<QString> saveFile(const QString& caption, const QString& proposed,
                                            const QStringList& filters,
                                            const QString& defaultSuffix) = 0;
};

// The real boxes, parented to a window.
class DialogPrompts : public OperatorPrompts {
public:
    explicit DialogPrompts(QWidget* parent) : parent_(parent) {}

    void message(const QString& text, Icon icon) override;
    bool askYesNo(const QString& text, Icon icon) override;
    Answer askYesNoCancel(const QString& text) override;
    bool askOkCancel(const QString& text) override;
    std::optional<QString> openFile(const QString& caption, const QString& folder,
                                    const QStringList& filters) override;
    std::optional<QString> saveFile(const QString& caption, const QString& proposed,
                                    const QStringList& filters,
                                    const QString& defaultSuffix) override;

private:
    QWidget* parent_;
};

}  // namespace dgaws
