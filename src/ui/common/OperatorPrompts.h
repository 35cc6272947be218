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
    // A confirmation box with a caption of its own and the buttons "确认(&O)" and "取消(&C)";
    // true for 确认. Answered like an OK/Cancel question unless a prompter shows it itself.
    virtual bool confirm(const QString& caption, const QString& text)
    {
        static_cast<void>(caption);
        return askOkCancel(text);
    }
    // An OK/Cancel question under a caption of its own; true for OK.
    virtual bool askOkCancelTitled(const QString& caption, const QString& text)
    {
        static_cast<void>(caption);
        return askOkCancel(text);
    }
    // File dialogs; nothing on cancel.
    virtual std::optional<QString> openFile(const QString& caption, const QString& folder,
                                            const QStringList& filters) = 0;
    virtual std::optional<QString> saveFile(const QString& caption, const QString& proposed,
                                            const QStringList& filters,
                                            const QString& defaultSuffix) = 0;
    // Several existing files at once; empty on cancel. One file unless a prompter offers more.
    virtual QStringList openFiles(const QString& caption, const QString& folder,
                                  const QStringList& filters)
    {
        const auto file = openFile(caption, folder, filters);
        return file ? QStringList{*file} : QStringList{};
    }
    // An existing folder; nothing on cancel. Answered like an open-file dialog unless a
    // prompter shows its own.
    virtual std::optional<QString> chooseFolder(const QString& caption, const QString& folder)
    {
        return openFile(caption, folder, {});
    }
    // A whole number between `min` and `max`, offered at `value`; nothing on cancel.
    virtual std::optional<int> askInteger(const QString& caption, const QString& label, int value,
                                          int min, int max) = 0;
    // One of `choices` (its position), or nothing on cancel. Cancelled unless a prompter
    // shows it.
    virtual std::optional<int> choose(const QString& caption, const QString& text,
                                      const QStringList& choices)
    {
        static_cast<void>(caption);
        static_cast<void>(text);
        static_cast<void>(choices);
        return std::nullopt;
    }
    // A line of text, offered at `value`; nothing on cancel. Cancelled unless a prompter
    // shows it.
    virtual std::optional<QString> askText(const QString& caption, const QString& label,
                                           const QString& value)
    {
        static_cast<void>(caption);
        static_cast<void>(label);
        static_cast<void>(value);
        return std::nullopt;
    }
};

// The real boxes, parented to a window.
class DialogPrompts : public OperatorPrompts {
public:
    explicit DialogPrompts(QWidget* parent) : parent_(parent) {}

    void message(const QString& text, Icon icon) override;
    bool askYesNo(const QString& text, Icon icon) override;
    Answer askYesNoCancel(const QString& text) override;
    bool askOkCancel(const QString& text) override;
    bool confirm(const QString& caption, const QString& text) override;
    bool askOkCancelTitled(const QString& caption, const QString& text) override;
    std::optional<QString> openFile(const QString& caption, const QString& folder,
                                    const QStringList& filters) override;
    std::optional<QString> saveFile(const QString& caption, const QString& proposed,
                                    const QStringList& filters,
                                    const QString& defaultSuffix) override;
    QStringList openFiles(const QString& caption, const QString& folder,
                          const QStringList& filters) override;
    std::optional<QString> chooseFolder(const QString& caption, const QString& folder) override;
    std::optional<int> askInteger(const QString& caption, const QString& label, int value, int min,
                                  int max) override;
    std::optional<int> choose(const QString& caption, const QString& text,
                              const QStringList& choices) override;
    std::optional<QString> askText(const QString& caption, const QString& label,
                                   const QString& value) override;

private:
    QWidget* parent_;
};

}  // namespace dgaws
