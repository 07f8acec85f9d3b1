#include "ui/passworddialog.h"

#include "core/messages.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace dl {

namespace {

QLineEdit* maskedField(const QString& name)
{
    auto* e = new QLineEdit;
    e->setObjectName(name);
    e->setMaxLength(10);
    e->setEchoMode(QLineEdit::Password);
    // Every character as "*", as in the login form.
    e->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    e->setFixedWidth(140);
    return e;
}

} // namespace

std::optional<TypedPasswords> QtPasswordPrompt::ask(const QString& text, bool askCurrent)
{
    QDialog d(QApplication::activeWindow());
    d.setObjectName(QStringLiteral("frmWachtwoord"));
    d.setWindowTitle(applicationTitle());
    auto* v = new QVBoxLayout(&d);
    auto* why = new QLabel(text);
    why->setObjectName(QStringLiteral("lblWachtwoord"));
    why->setWordWrap(true);
    v->addWidget(why);
    auto* f = new QFormLayout;
    QLineEdit* current = nullptr;
    if (askCurrent) {
        current = maskedField(QStringLiteral("TextOud"));
        f->addRow(QStringLiteral("Huidig wachtwoord"), current);
    }
    QLineEdit* first = maskedField(QStringLiteral("TextNieuw1"));
    QLineEdit* second = maskedField(QStringLiteral("TextNieuw2"));
    f->addRow(QStringLiteral("Nieuw wachtwoord"), first);
    f->addRow(QStringLiteral("Nogmaals"), second);
    v->addLayout(f);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuleren"));
    v->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    (current ? current : first)->setFocus();
    if (d.exec() != QDialog::Accepted)
        return std::nullopt;
    return TypedPasswords{current ? current->text() : QString(), first->text(), second->text()};
}

} // namespace dl
