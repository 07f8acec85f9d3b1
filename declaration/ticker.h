#pragma once
// The message strip of the main form: Timer1 moves the text to the left,
// Timer2 re-reads the office's message every ten seconds. The reading runs
// on a thread of its own with its own connection, so a slow or absent server
// never holds up the form; trouble shows quietly on the strip and the next
// refresh that gets through clears it.

#include "core/context.h"
#include "declaration/tickertext.h"

#include <QObject>

class QLabel;
class QThread;
class QTimer;
class QWidget;

namespace dl {

class Form1;

class Ticker : public QObject {
    Q_OBJECT
public:
    // Takes Picture1 and Label4 of the form; the timers run from here on.
    Ticker(Form1& form, AppContext& context);
    Ticker(QWidget* strip, QLabel* text, AppContext& context, QObject* parent = nullptr);
    ~Ticker() override;

    // Timer1: one step to the left; nothing moves while the caption is empty.
    void scroll();
    // Timer2: starts a reading unless one is still on its way.
    void refresh();

    bool isRefreshing() const { return m_worker != nullptr; }
    // Empty when the last reading got through.
    QString trouble() const { return m_trouble; }
    double position() const { return m_left; }

Q_SIGNALS:
    // A reading came back and was applied (or found trouble).
    void refreshed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void apply(const TickerFetch& fetch);
    void fitText();
    void placeTroubleMark();

    QWidget* m_strip;
    QLabel* m_text;
    AppContext& m_ctx;
    QTimer* m_scrollTimer;
    QTimer* m_refreshTimer;
    QLabel* m_troubleMark;
    QThread* m_worker = nullptr;
    // Used by one refresh thread at a time.
    std::shared_ptr<KeptConnection> m_db;
    double m_left = 0;
    QString m_trouble;
};

} // namespace dl
