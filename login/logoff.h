#pragma once
// Ending the program from the main form: the moment of leaving goes into the
// consultant's row, which is marked offline, and the program ends at once.
// Only a month with unsaved changes asks first. A double-click on Image2 and
// closing the window both come here.

#include "core/context.h"
#include "data/connection.h"

#include <QDateTime>
#include <QObject>

#include <functional>

namespace dl {

class Form1;
class LeaveGuard;

// isAFGEMELD and isONLINE of the first row with this consultantnummer (table
// order); false when no row has it, and then nothing is written.
bool markOffline(Connection& c, const QString& consultantNumber, const QDateTime& now);

class Logoff : public QObject {
    Q_OBJECT
public:
    using EndProgram = std::function<void()>;

    // Leaves the event loop at once: no close or unload handling runs.
    static void endEventLoop();

    // Wires Image2's double-click and the window's close; a child of the form.
    // guard (may be null) asks before a changed month is left.
    Logoff(Form1& form, AppContext& context, EndProgram endProgram = &Logoff::endEventLoop,
           LeaveGuard* guard = nullptr);

    // Once per program: later calls (the close that follows) do nothing.
    // Annuleren on the guard's question, or a save that failed, keeps the
    // program and its window.
    void run();

private:
    Form1& m_form;
    AppContext& m_ctx;
    EndProgram m_end;
    LeaveGuard* m_guard;
    bool m_done = false;
};

} // namespace dl
