#include "declaration/monthopening.h"

#include "declaration/form1.h"
#include "declaration/monthselection.h"
#include "declaration/projectselection.h"
#include "declaration/reportrecord.h"

#include <QComboBox>
#include <QSettings>

namespace dl {

namespace {

const QString kGroup = QStringLiteral("laatste-maand");

} // namespace

bool openAsChosen(Form1& form, AppContext& ctx, LeaveGuard* guard, MonthSelection& months,
                  const QString& projectCode, const QString& year, const QString& monthEntry)
{
    FormControls& c = form.controls();
    if (ctx.session.projectCode != projectCode) {
        auto* projects = c.get<QComboBox>(QStringLiteral("Combo1"));
        int found = -1;
        for (int i = 0; i < projects->count() && found < 0; ++i) {
            if (project::codeFromEntry(projects->itemText(i)) == projectCode)
                found = i;
        }
        if (found < 0)
            return false;
        projects->setCurrentIndex(found);
        selectShownProject(form, ctx, guard);
        if (ctx.session.projectCode != projectCode)
            return false;
    }
    auto* box = c.get<QComboBox>(QStringLiteral("Combo2"));
    const int entry = box->findText(monthEntry, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (entry < 0)
        return false;
    // As a choice in the boxes: the year, then the month entry in its box.
    c.setText(QStringLiteral("Combo3"), year);
    box->setCurrentIndex(entry);
    months.choose(monthEntry);
    return ctx.session.projectCode == projectCode && ctx.session.reportYear == year &&
           ctx.session.reportMonthEntry == monthEntry && !ctx.session.reportKey.isEmpty();
}

std::optional<LastMonth> readLastMonth(const QString& settingsFile)
{
    if (settingsFile.isEmpty())
        return std::nullopt;
    QSettings s(settingsFile, QSettings::IniFormat);
    s.beginGroup(kGroup);
    LastMonth last{s.value(QStringLiteral("consultant")).toString(),
                   s.value(QStringLiteral("project")).toString(), s.value(QStringLiteral("jaar")).toString(),
                   s.value(QStringLiteral("maand")).toString()};
    if (last.consultant.isEmpty() || last.projectCode.isEmpty() || last.year.isEmpty() ||
        last.monthEntry.isEmpty())
        return std::nullopt;
    return last;
}

void keepLastMonth(const QString& settingsFile, const LastMonth& last)
{
    if (settingsFile.isEmpty())
        return;
    QSettings s(settingsFile, QSettings::IniFormat);
    s.beginGroup(kGroup);
    s.setValue(QStringLiteral("consultant"), last.consultant);
    s.setValue(QStringLiteral("project"), last.projectCode);
    s.setValue(QStringLiteral("jaar"), last.year);
    s.setValue(QStringLiteral("maand"), last.monthEntry);
}

QString lastMonthQuestion(const LastMonth& last)
{
    return QStringLiteral("Verder waar u gebleven was: project %1, %2 %3?")
        .arg(last.projectCode, report::monthPart(last.monthEntry).trimmed(), last.year);
}

} // namespace dl
