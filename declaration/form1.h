#pragma once
// The main window: the tab control with the declaration and the report, the
// message strip, the greeting and the consultant's and client's numbers.
// The controls are the only store of the report being edited; the actions
// reach them by their form names through controls().

#include "core/context.h"
#include "ui/controls.h"

#include <QLocale>
#include <QPixmap>
#include <QWidget>

class QTabWidget;

namespace dl {

class Form1 : public QWidget {
    Q_OBJECT
public:
    // locale: the regional settings of the declaration date.
    explicit Form1(AppContext& ctx, QWidget* parent = nullptr, const QLocale& locale = QLocale::system());

    FormControls& controls() { return m_controls; }
    const FormControls& controls() const { return m_controls; }

    // "SSTab1": tab 0 "Declaratie", tab 1 "Raport".
    QTabWidget* tabs() const { return m_tabs; }
    // A change by the program: tabChangedByUser is not emitted.
    void switchTab(int index);
    // Image1's picture, also the logo of the printed document.
    QPixmap logo() const;
    // From a receiver of closeRequested: the window stays.
    void keepOpen() { m_keepOpen = true; }

Q_SIGNALS:
    // Mouse, Ctrl+Tab / Ctrl+PgDn, or the keyboard on the tab bar.
    void tabChangedByUser(int index);
    // Emitted from closeEvent; the event is accepted afterwards unless a
    // receiver called keepOpen().
    void closeRequested();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    QWidget* buildTop();
    QWidget* buildTicker();
    QSize startSize() const;
    void load(const QLocale& locale);

    AppContext& m_ctx;
    FormControls m_controls;
    QWidget* m_body = nullptr; // inside Form1Scroll
    QTabWidget* m_tabs = nullptr;
    bool m_switching = false;
    bool m_keepOpen = false;
};

} // namespace dl
