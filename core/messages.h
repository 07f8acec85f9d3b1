#pragma once
// Every message box the program shows goes through this service, so that
// tests can read the exact texts and answer the questions.

#include <QString>
#include <QStringList>

namespace dl {

inline QString applicationTitle()
{
    return QStringLiteral("Declaraties & Logboeken");
}

enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };
enum class Icon { None, Information, Warning, Critical };

struct Message {
    QString text;    // line breaks as CR LF
    QString caption; // empty: the application's title
    Buttons buttons = Buttons::Ok;
    Answer defaultAnswer = Answer::Ok;
    Icon icon = Icon::None;
};

// A box with buttons of its own naming, and a list of lines under the text.
struct Choice {
    QString text; // line breaks as CR LF
    QString caption;
    QStringList lines;   // shown one a line under the text; may be empty
    QStringList buttons; // left to right
    int defaultButton = 0;
    int escapeButton = -1; // Escape and the close box; -1: the default button
    Icon icon = Icon::None;
};

class MessageService {
public:
    virtual ~MessageService() = default;
    virtual Answer show(const Message& m) = 0;
    // The index of the button pressed.
    virtual int choose(const Choice& c) = 0;

    // An OK box with the application's title.
    void inform(const QString& text, Icon icon = Icon::None)
    {
        show({text, applicationTitle(), Buttons::Ok, Answer::Ok, icon});
    }
    // A Yes/No question without icon, Yes as default; true on Yes.
    bool confirm(const QString& text, const QString& caption)
    {
        return show({text, caption, Buttons::YesNo, Answer::Yes, Icon::None}) == Answer::Yes;
    }
};

} // namespace dl
