#pragma once

#include "ui/common/OperatorPrompts.h"

#include <QList>
#include <QStringList>

#include <deque>
#include <optional>

namespace dgaws::test {

// Answers the window's questions from a script and keeps everything it was told. An
// unscripted question is answered No (Cancel) and an unscripted file dialog is cancelled,
// so a test never hangs on a box nobody will close.
class ScriptedPrompts : public OperatorPrompts {
public:
    QStringList messages;
    QStringList questions;
    std::deque<bool> yesNo;
    std::deque<Answer> yesNoCancel;
    // The files the dialogs return in turn; an empty text cancels that dialog and
    // kTakeProposal accepts the name the save dialog proposes.
    static constexpr const char* kTakeProposal = "=proposal";
    QStringList files;
    // Answers to the number questions in turn (nothing cancels), and the values offered.
    std::deque<std::optional<int>> integers;
    QList<int> offeredIntegers;
    QString lastSaveProposal;
    // Positions picked among offered choices, and lines of text typed, in turn; nothing
    // cancels, as does running out of them.
    std::deque<std::optional<int>> choices;
    std::deque<std::optional<QString>> texts;

    void message(const QString& text, Icon) override { messages << text; }
    bool askYesNo(const QString& text, Icon) override
    {
        questions << text;
        if (yesNo.empty())
            return false;
        const bool a = yesNo.front();
        yesNo.pop_front();
        return a;
    }
    Answer askYesNoCancel(const QString& text) override
    {
        questions << text;
        if (yesNoCancel.empty())
            return Answer::Cancel;
        const Answer a = yesNoCancel.front();
        yesNoCancel.pop_front();
        return a;
    }
    bool askOkCancel(const QString& text) override { return askYesNo(text, Icon::Question); }
    std::optional<QString> openFile(const QString&, const QString&, const QStringList&) override
    {
        return nextFile();
    }
    std::optional<QString> saveFile(const QString&, const QString& proposed, const QStringList&,
                                    const QString&) override
    {
        lastSaveProposal = proposed;
        auto f = nextFile();
        if (f && *f == QLatin1String(kTakeProposal))
            return proposed;
        return f;
    }

    std::optional<int> askInteger(const QString&, const QString& label, int value, int,
                                  int) override
    {
        questions << label;
        offeredIntegers << value;
        if (integers.empty())
            return std::nullopt;
        const std::optional<int> a = integers.front();
        integers.pop_front();
        return a;
    }

    std::optional<int> choose(const QString&, const QString& text, const QStringList&) override
    {
        questions << text;
        return next(choices);
    }
    std::optional<QString> askText(const QString&, const QString& label, const QString&) override
    {
        questions << label;
        return next(texts);
    }

private:
    template <class T> static std::optional<T> next(std::deque<std::optional<T>>& answers)
    {
        if (answers.empty())
            return std::nullopt;
        const std::optional<T> a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<QString> nextFile()
    {
        const QString f = files.isEmpty() ? QString() : files.takeFirst();
        if (f.isEmpty())
            return std::nullopt;
        return f;
    }
};

}  // namespace dgaws::test
