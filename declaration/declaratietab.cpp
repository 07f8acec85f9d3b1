#include "declaration/declaratietab.h"

#include "ui/formparts.h"
#include "ui/icons.h"
#include "ui/imagebutton.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace dl {

namespace {

using form::TextOptions;

QString l2(int i)
{
    return element(QStringLiteral("Label2"), i);
}

// Shows and hides a control whenever another is shown or hidden, whoever
// does it; a child of the leader.
class ShownWith final : public QObject {
public:
    ShownWith(QWidget* leader, QWidget* follower) : QObject(leader), m_follower(follower)
    {
        // A leader that nobody has shown or hidden yet is shown with its window.
        if (leader->testAttribute(Qt::WA_WState_ExplicitShowHide))
            m_follower->setVisible(!leader->isHidden());
        leader->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::ShowToParent || e->type() == QEvent::HideToParent)
            m_follower->setVisible(e->type() == QEvent::ShowToParent);
        return QObject::eventFilter(watched, e);
    }

private:
    QWidget* m_follower;
};

// Shown and hidden during use; keeps its place so the page does not jump.
void keepPlace(QWidget* w)
{
    QSizePolicy sp = w->sizePolicy();
    sp.setRetainSizeWhenHidden(true);
    w->setSizePolicy(sp);
}

QWidget* projectBox(FormControls& c)
{
    auto* box = new QGroupBox;
    auto* g = new QGridLayout(box);
    const TextOptions locked{.locked = true};

    g->addWidget(form::label(c, l2(0), QStringLiteral("Kies uw project:")), 0, 0);
    QComboBox* projects = form::combo(c, QStringLiteral("Combo1"), QStringLiteral("Projecten"), true);
    projects->setFont(form::courierNew());
    projects->setMinimumContentsLength(50);
    projects->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    g->addWidget(projects, 0, 1, 1, 4);

    g->addWidget(form::label(c, l2(2), QStringLiteral("Project naam")), 1, 0);
    QLineEdit* number = form::text(c, QStringLiteral("Text38"), locked);
    number->setMaximumWidth(60);
    g->addWidget(number, 1, 1);
    g->addWidget(form::text(c, QStringLiteral("Text2"), locked), 1, 2, 1, 3);

    g->addWidget(form::label(c, l2(3), QStringLiteral("Omschrijving")), 2, 0);
    g->addWidget(form::text(c, QStringLiteral("Text3"), locked), 2, 1, 1, 4);
    g->addWidget(form::label(c, l2(4), QStringLiteral("Project code")), 3, 0);
    g->addWidget(form::text(c, QStringLiteral("Text4"), locked), 3, 1, 1, 4);
    g->addWidget(form::label(c, l2(5), QStringLiteral("Opdrachtgever")), 4, 0);
    g->addWidget(form::text(c, QStringLiteral("Text6"), locked), 4, 1, 1, 4);

    // The planned period and duration share one row.
    auto* period = new QHBoxLayout;
    QLineEdit* from = form::text(c, QStringLiteral("Text7"), locked);
    QLineEdit* to = form::text(c, QStringLiteral("Text8"), locked);
    QLineEdit* hours = form::text(c, QStringLiteral("Text9"), locked);
    for (QLineEdit* e : {from, to, hours})
        e->setFixedWidth(110);
    g->addWidget(form::label(c, l2(7), QStringLiteral("Datum planning")), 5, 0);
    period->addWidget(from);
    period->addSpacing(6);
    period->addWidget(form::label(c, l2(8), QStringLiteral("T/M")));
    period->addSpacing(6);
    period->addWidget(to);
    period->addSpacing(30);
    period->addWidget(form::label(c, l2(9), QStringLiteral("Uren pannning")));
    period->addWidget(hours);
    period->addStretch(1);
    g->addLayout(period, 5, 1, 1, 4);

    g->addWidget(form::label(c, l2(13), QStringLiteral("Opmerking")), 6, 0);
    g->addWidget(form::text(c, QStringLiteral("Text10"), locked), 6, 1, 1, 4);
    keepPlace(c.widget(l2(13)));
    keepPlace(c.widget(QStringLiteral("Text10")));
    g->setColumnStretch(2, 1);
    g->setColumnStretch(4, 1);
    g->setVerticalSpacing(4);
    return box;
}

QWidget* periodBox(FormControls& c)
{
    auto* box = new QWidget;
    auto* h = form::flushLayout<QHBoxLayout>(box);
    h->addWidget(form::label(c, l2(1), QStringLiteral("Declaratie datum :  ")));
    h->addSpacing(24);
    h->addWidget(form::label(c, QStringLiteral("Label3"),
                             QStringLiteral("Selecteer JAAR en MAAND waarop U wilt gaan declareren")));
    QComboBox* year = form::combo(c, QStringLiteral("Combo3"), QStringLiteral("jaar"), false);
    year->setMinimumContentsLength(6);
    QComboBox* month = form::combo(c, QStringLiteral("Combo2"), QStringLiteral("maand"), true);
    month->setMinimumContentsLength(13);
    for (QComboBox* b : {year, month}) {
        keepPlace(b);
        b->setVisible(false);
        h->addWidget(b);
    }
    h->addStretch(1);
    return box;
}

QWidget* summaryBox(FormControls& c)
{
    auto* box = new QGroupBox;
    auto* g = new QGridLayout(box);
    const TextOptions zero{.design = QStringLiteral("0"), .locked = true, .align = Qt::AlignRight};
    const TextOptions geen{.design = QStringLiteral("GEEN"), .locked = true};
    const TextOptions money{.design = QStringLiteral("0,00"), .locked = true, .align = Qt::AlignRight};

    // Columns: caption, count, description, client-side amount, own amount.
    g->setColumnStretch(2, 2);
    g->setColumnStretch(3, 1);
    g->setColumnStretch(4, 1);
    g->setColumnMinimumWidth(1, 70);
    g->addWidget(form::label(c, l2(15), QStringLiteral("Waarden")), 0, 1);
    g->addWidget(form::label(c, l2(16), QStringLiteral("Omschrijvingen")), 0, 2);

    g->addWidget(form::label(c, l2(14), QStringLiteral("Aantal werkuren")), 1, 0);
    g->addWidget(form::text(c, QStringLiteral("Text19"), zero), 1, 1);
    g->addWidget(form::text(c, QStringLiteral("Text20"), geen), 1, 2);
    g->addWidget(form::text(c, QStringLiteral("Text39"), money), 1, 3);
    g->addWidget(form::text(c, QStringLiteral("Text21"), money), 1, 4);

    g->addWidget(form::label(c, l2(10), QStringLiteral("Aantal kilometers")), 2, 0);
    g->addWidget(form::text(c, QStringLiteral("Text14"), zero), 2, 1);
    g->addWidget(form::text(c, QStringLiteral("Text15"), geen), 2, 2);
    g->addWidget(form::text(c, QStringLiteral("Text16"), money), 2, 4);

    g->addWidget(form::label(c, l2(6), QStringLiteral("Onkostenvergoeding")), 3, 0);
    TextOptions expense = money;
    expense.maxLength = 6;
    g->addWidget(form::text(c, QStringLiteral("Text11"), expense), 3, 1);
    TextOptions what = geen;
    what.maxLength = 41;
    g->addWidget(form::text(c, QStringLiteral("Text12"), what), 3, 2);
    g->addWidget(form::text(c, QStringLiteral("Text13"), money), 3, 4);

    const struct {
        int label;
        const char16_t* caption;
        const char16_t* client;
        const char16_t* own;
    } totals[] = {{11, u"Subtotaal", u"Text40", u"Text17"},
                  {17, u"BTW 20%", u"Text41", u"Text28"},
                  {18, u"TOTAAL", u"Text42", u"Text29"}};
    int row = 4;
    for (const auto& t : totals) {
        g->addWidget(form::label(c, l2(t.label), QString::fromUtf16(t.caption)), row, 0);
        g->addWidget(form::text(c, QString::fromUtf16(t.client), money), row, 3);
        g->addWidget(form::text(c, QString::fromUtf16(t.own), money), row, 4);
        ++row;
    }
    // The client-side amounts are shown and hidden with the consultant's on
    // their rows, whoever does it: never figures without a caption.
    const struct {
        const char16_t* own;
        const char16_t* client;
    } sides[] = {
        {u"Text21", u"Text39"}, {u"Text17", u"Text40"}, {u"Text28", u"Text41"}, {u"Text29", u"Text42"}};
    for (const auto& s : sides) {
        QWidget* client = c.widget(QString::fromUtf16(s.client));
        client->setToolTip(QStringLiteral("Tarief opdrachtgever"));
        new ShownWith(c.widget(QString::fromUtf16(s.own)), client);
    }

    g->addWidget(form::label(c, l2(12), QStringLiteral("Opmerking voor Pelvarnet")), row, 0, Qt::AlignTop);
    auto* remark = new form::LimitedTextEdit(254);
    remark->setObjectName(QStringLiteral("Text18"));
    remark->setPlainText(QStringLiteral("GEEN\n"));
    remark->setTabChangesFocus(true);
    remark->setFixedHeight(remark->fontMetrics().lineSpacing() * 3 + 10);
    c.add(remark);
    g->addWidget(remark, row, 1, 1, 4);

    // The rows are hidden and shown while a month is prepared; the page stays put.
    for (QWidget* w : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        keepPlace(w);
    g->setVerticalSpacing(4);
    return box;
}

QWidget* buttonsBox(FormControls& c)
{
    auto* box = new QWidget;
    auto* v = form::flushLayout<QVBoxLayout>(box);
    QComboBox* printers = form::combo(c, QStringLiteral("Combo4"), QStringLiteral("Combo4"), true);
    printers->setMinimumContentsLength(18);
    printers->setToolTip(QStringLiteral("Printer"));
    keepPlace(printers);
    printers->setVisible(false);
    v->addWidget(printers);
    auto* grid = new QGridLayout;
    v->addLayout(grid);
    v->addStretch(1);

    const struct {
        const char16_t* name;
        QPixmap picture;
        const char16_t* tip;
        bool hidden;
    } buttons[] = {{u"Image5", icons::bin(), u"Project afsluiten en verwijderen", true},
                   {u"Image4", icons::stamp(), u"Raport opslaan en Declareren", true},
                   {u"Image6", icons::printer(), u"Deze declaratie afdrukken", true},
                   {u"ImagePdf", icons::pdf(), u"Raport en declaratie als PDF opslaan", true},
                   {u"ImageJaar", icons::year(), u"Jaaroverzicht", false},
                   {u"Image2", icons::door(), u"Programma beindigen", false},
                   {u"ImageWachtwoord", icons::key(), u"Wachtwoord wijzigen", true}};
    int i = 0;
    for (const auto& b : buttons) {
        auto* w = new ImageButton(QString::fromUtf16(b.name), b.picture, QString::fromUtf16(b.tip));
        w->setFixedSize(56, 56);
        keepPlace(w);
        w->setVisible(!b.hidden);
        c.add(w);
        grid->addWidget(w, i / 2, i % 2);
        ++i;
    }
    // Keeping the document as a file goes with printing it.
    new ShownWith(c.widget(QStringLiteral("Image6")), c.widget(QStringLiteral("ImagePdf")));
    return box;
}

// Each caption to its field, and each field a name a screen reader says;
// the figures without a caption of their own say which row and side they
// are on.
void nameFields(FormControls& c)
{
    const struct {
        const char16_t* label;
        const char16_t* field;
    } buddies[] = {{u"Label2(0)", u"Combo1"},  {u"Label2(2)", u"Text2"},   {u"Label2(3)", u"Text3"},
                   {u"Label2(4)", u"Text4"},   {u"Label2(5)", u"Text6"},   {u"Label2(7)", u"Text7"},
                   {u"Label2(8)", u"Text8"},   {u"Label2(9)", u"Text9"},   {u"Label2(13)", u"Text10"},
                   {u"Label3", u"Combo3"},     {u"Label2(14)", u"Text19"}, {u"Label2(10)", u"Text14"},
                   {u"Label2(6)", u"Text11"},  {u"Label2(11)", u"Text17"}, {u"Label2(17)", u"Text28"},
                   {u"Label2(18)", u"Text29"}, {u"Label2(12)", u"Text18"}};
    for (const auto& b : buddies)
        c.get<QLabel>(QString::fromUtf16(b.label))->setBuddy(c.widget(QString::fromUtf16(b.field)));

    const struct {
        const char16_t* field;
        const char16_t* name;
    } names[] = {{u"Combo1", u"Kies uw project"},
                 {u"Text38", u"Projectnummer"},
                 {u"Text2", u"Project naam"},
                 {u"Text3", u"Omschrijving"},
                 {u"Text4", u"Project code"},
                 {u"Text6", u"Opdrachtgever"},
                 {u"Text7", u"Datum planning, begin"},
                 {u"Text8", u"Datum planning, einde"},
                 {u"Text9", u"Uren planning"},
                 {u"Text10", u"Opmerking"},
                 {u"Combo3", u"Jaar"},
                 {u"Combo2", u"Maand"},
                 {u"Text19", u"Aantal werkuren"},
                 {u"Text20", u"Uurtarief"},
                 {u"Text39", u"Bedrag werkuren, tarief opdrachtgever"},
                 {u"Text21", u"Bedrag werkuren"},
                 {u"Text14", u"Aantal kilometers"},
                 {u"Text15", u"Kilometervergoeding per kilometer"},
                 {u"Text16", u"Bedrag kilometers"},
                 {u"Text11", u"Onkostenvergoeding"},
                 {u"Text12", u"Onkosten, omschrijving"},
                 {u"Text13", u"Bedrag onkosten"},
                 {u"Text40", u"Subtotaal, tarief opdrachtgever"},
                 {u"Text17", u"Subtotaal"},
                 {u"Text41", u"BTW 20%, tarief opdrachtgever"},
                 {u"Text28", u"BTW 20%"},
                 {u"Text42", u"TOTAAL, tarief opdrachtgever"},
                 {u"Text29", u"TOTAAL"},
                 {u"Text18", u"Opmerking voor Pelvarnet"},
                 {u"Combo4", u"Printer"}};
    for (const auto& n : names)
        c.widget(QString::fromUtf16(n.field))->setAccessibleName(QString::fromUtf16(n.name));
}

} // namespace

QWidget* buildDeclaratieTab(FormControls& c)
{
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    v->addWidget(projectBox(c));
    v->addWidget(periodBox(c));
    auto* lower = new QHBoxLayout;
    lower->addWidget(summaryBox(c), 1);
    lower->addWidget(buttonsBox(c));
    v->addLayout(lower);
    v->addStretch(1);
    nameFields(c);
    return page;
}

} // namespace dl
