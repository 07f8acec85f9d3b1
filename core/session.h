#pragma once
// The program-wide values of one running program; passed to the forms and
// actions that need them, never reached through a global.

#include <QString>
#include <QStringList>
#include <QVariant>

namespace dl {

struct Session {
    QString consultantName;
    QString loginStamp;
    QString windowsUserName;
    QString networkAdapterName;
    QString macAddress;
    QString boardManufacturer;
    QString boardProduct;
    QString printerName;
    QString projectCode;
    // As the server returned them: a DECIMAL stays a number, a text stays text.
    QVariant hourlyRateIn;
    QVariant hourlyRateOut;
    // The report that is open; empty when no month is open.
    QString reportKey;
    QString reportYear;       // the year box when the month was opened, e.g. "2008"
    QString reportMonthEntry; // the month entry it was opened with, e.g. "03 Maart "
    // The open report's row as this workstation last read or wrote it: whether
    // there was one, and its laatstgewijzigd. A save that finds it otherwise
    // asks before it overwrites another workstation's save.
    bool reportStored = false;
    QString reportModified;
    // The laatstgewijzigd of a save whose answer was lost, not known to be
    // written: found in the row, it is this workstation's own save.
    QString reportUnknownSave;
    // The texts of the controls its columns mirror, as last loaded, prepared
    // or saved; the month has changes while the controls differ from them.
    QStringList reportBaseline;
    // Actions under way that change the open month or project, or write it:
    // meanwhile the controls are no draft of the month the key names.
    int reportBusy = 0;
    // Report keys this program saw declared, here or elsewhere; the month
    // list offers another month first. Never read from the server for that.
    QStringList declaredKeys;
    // Why the office's message could not be read the last time it was
    // asked; empty once it was. No declaration goes ahead on an unread one.
    QString messageTrouble;
    // The month last printed or kept as a PDF, and its texts then: the paper
    // carries the invoice number, so a declaration of other figures is told.
    QString paperKey;
    QStringList paperTexts;

    void onPaper(const QStringList& texts)
    {
        paperKey = reportKey;
        paperTexts = texts;
    }
    bool hasOpenReport() const { return !reportKey.isEmpty(); }
    void closeReport()
    {
        reportKey.clear();
        reportYear.clear();
        reportMonthEntry.clear();
        reportStored = false;
        reportModified.clear();
        reportUnknownSave.clear();
        reportBaseline.clear();
    }
};

} // namespace dl
