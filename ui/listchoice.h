#pragma once
// The keys of a read-only list box whose choice opens something (a project,
// a month): the arrow keys only move the selection; Enter or a pick from the
// opened list chooses. A box left without a choice shows what is open again,
// so the screen never names something that is not open.

#include <QObject>

#include <functional>

class QComboBox;

namespace dl {

class ListChoice : public QObject {
    Q_OBJECT
public:
    // showOpen puts the box back on what is open. offered (may be empty):
    // the row the list and the first arrow key start on while the box has no
    // entry selected; -1 for none.
    ListChoice(QComboBox* box, std::function<void()> showOpen, std::function<int()> offered = {});

Q_SIGNALS:
    // An entry chosen: Enter on the box, or a click or Enter in its list.
    void chosen(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void choose(int index);
    void step(int by);
    void select(int row);
    int offeredRow() const;

    QComboBox* m_box;
    std::function<void()> m_showOpen;
    std::function<int()> m_offered;
    bool m_choosing = false;
};

} // namespace dl
