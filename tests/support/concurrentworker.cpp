#include "concurrentworker.h"

#include "declaration/monthselectionrules.h"
#include "declaration/reportrecord.h"
#include "submit/submitmessages.h"
#include "workstation.h"

#include <QDateTime>
#include <QTextStream>
#include <QThread>

namespace dl::test {

namespace {

QString oneLine(QString s)
{
    return s.replace(u"\r\n"_qs, u" / "_qs).replace(u'\n', u' ');
}

} // namespace

QStringList workerArguments(const WorkerPlan& p)
{
    return {p.server.toString(),
            p.login,
            p.password,
            p.projectEntry,
            p.id,
            QString::number(p.rounds),
            p.year,
            p.months.join(u'|'),
            QString::number(p.startAt),
            p.isolation};
}

WorkerPlan workerPlan(const QStringList& a)
{
    WorkerPlan p;
    if (a.size() < 9)
        return p;
    p.server = ServerList::parse(a[0]);
    p.login = a[1];
    p.password = a[2];
    p.projectEntry = a[3];
    p.id = a[4];
    p.rounds = a[5].toInt();
    p.year = a[6];
    p.months = a[7].split(u'|');
    p.startAt = a[8].toLongLong();
    if (a.size() > 9)
        p.isolation = a[9];
    return p;
}

int runWorker(const WorkerPlan& plan, QTextStream& out)
{
    const auto event = [&](const QString& what, const QString& key, const QString& marker,
                           const QString& message = {}) {
        out << "EVENT " << what << ' ' << (key.isEmpty() ? u"-"_qs : key) << ' '
            << (marker.isEmpty() ? u"-"_qs : marker) << ' ' << oneLine(message) << '\n';
        out.flush();
    };
    const qint64 wait = plan.startAt - QDateTime::currentMSecsSinceEpoch();
    if (wait > 0)
        QThread::msleep(static_cast<unsigned long>(wait));

    const QString code = plan.projectEntry.left(plan.projectEntry.indexOf(u"  "_qs));
    for (int round = 1; round <= plan.rounds; ++round) {
        Workstation w(plan.server);
        w.ctx.connection.isolation = plan.isolation;
        if (!w.logIn(plan.login, plan.password)) {
            event(u"LOGIN_ERR"_qs, {}, {}, w.messages.last());
            continue;
        }
        event(u"LOGIN_OK"_qs, {}, {});
        if (!w.chooseProject(plan.projectEntry)) {
            event(u"PROJECT_ERR"_qs, {}, {}, w.messages.last());
        } else {
            for (const QString& entry : plan.months) {
                const QString key = report::reportKey(plan.year, entry, code);
                const QString part = report::monthPart(entry);
                w.messages.clear();
                w.pickMonth(plan.year, entry);
                const QString opened = w.messages.last();
                if (opened == month::declaredMessage(part, plan.year)) {
                    event(u"OPEN_DECLARED"_qs, key, {});
                    continue;
                }
                if (opened != month::newReportMessage(part, plan.year) &&
                    opened != month::loadedMessage(part, plan.year)) {
                    event(u"OPEN_ERR"_qs, key, {}, opened);
                    continue;
                }
                const QString marker = plan.id + u'r' + QString::number(round) + u'm' + entry.left(2);
                w.fillIn(marker);
                w.messages.clear();
                // Saved elsewhere since it was opened here: overwrite, the later commit wins.
                for (int i = 0; i < 64; ++i)
                    w.messages.answers.enqueue(Answer::Yes);
                const bool declaring = round == plan.rounds && entry == plan.months.last();
                if (declaring) {
                    w.messages.choiceAnswers.enqueue(1); // whatever the check finds, the consultant goes on
                    w.declare.run();
                    const QString m = submit::monthName(entry);
                    const QString told = w.messages.last();
                    if (told == submit::declaredMessage(m, plan.year))
                        event(u"DECLARED"_qs, key, marker);
                    else if (told == month::declaredMessage(part, plan.year))
                        event(u"DECLARE_ALREADY"_qs, key, marker);
                    else
                        event(u"DECLARE_ERR"_qs, key, marker, told);
                } else {
                    w.save.run();
                    const QString told = w.messages.last();
                    if (told.startsWith(u"Rapport is opgeslagen "_qs))
                        event(u"SAVED"_qs, key, marker);
                    else if (told == submit::saveOfDeclaredMessage())
                        event(u"SAVE_DECLARED"_qs, key, marker);
                    else
                        event(u"SAVE_ERR"_qs, key, marker, told);
                }
            }
        }
        if (w.logOff())
            event(u"LOGOFF_OK"_qs, {}, {});
        else
            event(u"LOGOFF_ERR"_qs, {}, {}, w.messages.last());
    }
    event(u"DONE"_qs, {}, {});
    return 0;
}

QList<WorkerEvent> parseEvents(const QString& output)
{
    QList<WorkerEvent> out;
    for (const QString& line : output.split(u'\n')) {
        if (!line.startsWith(u"EVENT "_qs))
            continue;
        const QStringList parts = line.split(u' ');
        if (parts.size() < 4)
            continue;
        WorkerEvent e;
        e.what = parts[1];
        e.key = parts[2] == u"-" ? QString() : parts[2];
        e.marker = parts[3] == u"-" ? QString() : parts[3];
        e.message = parts.mid(4).join(u' ');
        out << e;
    }
    return out;
}

} // namespace dl::test
