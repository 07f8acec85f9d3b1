#pragma once
// Stand-ins for the seams: message boxes that record their texts and give
// scripted answers, a made-up printer list, a file dialog that answers.

#include "core/filechooser.h"
#include "core/messages.h"
#include "core/passwordprompt.h"
#include "core/printers.h"

#include <QEventLoop>
#include <QList>
#include <QQueue>
#include <QTimer>
#include <functional>

namespace dl::test {

class FakeMessages final : public MessageService {
public:
    Answer show(const Message& m) override
    {
        shown.append(m);
        if (onShow)
            onShow(m);
        stayOpen();
        if (m.buttons == Buttons::Ok)
            return Answer::Ok;
        return answers.isEmpty() ? m.defaultAnswer : answers.dequeue();
    }
    QStringList texts() const
    {
        QStringList out;
        for (const Message& m : shown)
            out << m.text;
        return out;
    }
    // Named-button boxes are listed in shown too (their text), and in choices whole.
    int choose(const Choice& c) override
    {
        shown.append({c.text, c.caption, Buttons::Ok, Answer::Ok, c.icon});
        choices.append(c);
        stayOpen();
        return choiceAnswers.isEmpty() ? c.defaultButton : choiceAnswers.dequeue();
    }
    QString last() const { return shown.isEmpty() ? QString() : shown.last().text; }
    void clear()
    {
        shown.clear();
        answers.clear();
        choices.clear();
        choiceAnswers.clear();
    }

    QList<Message> shown;
    // A consultant takes time to read a box: with openMs > 0 each box runs an
    // event loop that long before it answers, as a modal box does, so timers,
    // queued results and posted events run inside it.
    int openMs = 0;
    QQueue<Answer> answers; // for Yes/No questions; empty: the default button
    QList<Choice> choices;
    QQueue<int> choiceAnswers; // button indexes; empty: the default button
    // Runs as a Yes/No or OK box opens, before it is answered (what happens
    // elsewhere while the consultant reads it).
    std::function<void(const Message&)> onShow;

private:
    void stayOpen() const
    {
        if (openMs <= 0)
            return;
        QEventLoop loop;
        QTimer::singleShot(openMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
};

class FakePrinters final : public PrinterCatalogue {
public:
    FakePrinters(QStringList n = {}, QString d = {}) : list(std::move(n)), def(std::move(d)) {}
    QStringList names() const override { return list; }
    QString systemDefault() const override { return def; }
    QStringList list;
    QString def;
};

// Records what it was asked and answers `answer` (empty: cancelled).
class FakeFiles final : public FileChooser {
public:
    QString saveFileName(const QString& caption, const QString& proposedPath, const QString& filter) override
    {
        asked.append({caption, proposedPath, filter});
        return answer;
    }
    QList<QStringList> asked; // caption, proposed path, filter
    QString answer;
};

// Records why it was asked and gives the scripted answers in turn; none
// left: cancelled.
class FakePasswords final : public PasswordPrompt {
public:
    std::optional<TypedPasswords> ask(const QString& text, bool askCurrent) override
    {
        asked.append(text);
        askedCurrent.append(askCurrent);
        return answers.isEmpty() ? std::nullopt : std::optional<TypedPasswords>(answers.dequeue());
    }
    QStringList asked;
    QList<bool> askedCurrent;
    QQueue<TypedPasswords> answers;
};

} // namespace dl::test
