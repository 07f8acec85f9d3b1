#pragma once
// The machine as the tests give it to the start-up: one printer "Kantoor",
// a file dialog that answers, a workstation user "tester", Dutch dates; the
// program's end and quit do nothing unless a test says otherwise.

#include "app/startup.h"
#include "support/fakes.h"

#include <memory>

namespace dl::test {

inline StartupSeams fakeSeams(const QString& draftFolder = {})
{
    StartupSeams seams;
    seams.printers =
        std::make_unique<FakePrinters>(QStringList{QStringLiteral("Kantoor")}, QStringLiteral("Kantoor"));
    seams.files = std::make_unique<FakeFiles>();
    seams.passwords = std::make_unique<FakePasswords>();
    seams.quit = [](int) {};
    seams.endProgram = [] {};
    seams.workstation =
        WorkstationReader(QStringLiteral("/nonexistent"), [] { return QStringLiteral("tester"); });
    seams.locale = QLocale(QLocale::Dutch, QLocale::Netherlands);
    seams.draftFolder = draftFolder;
    return seams;
}

} // namespace dl::test
