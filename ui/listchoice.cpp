#include "ui/listchoice.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QWheelEvent>

#include <algorithm>

namespace dl {

ListChoice::ListChoice(QComboBox* box, std::function<void()> showOpen, std::function<int()> offered)
    : QObject(box), m_box(box), m_showOpen(std::move(showOpen)), m_offered(std::move(offered))
{
    // Raised by the opened list only: the box's own keys and wheel stop here.
    connect(box, &QComboBox::activated, this, &ListChoice::choose);
    box->installEventFilter(this);
    if (box->lineEdit())
        box->lineEdit()->installEventFilter(this);
    box->view()->installEventFilter(this);
}

void ListChoice::choose(int index)
{
    if (index < 0 || m_choosing)
        return;
    QPointer<ListChoice> alive(this);
    m_choosing = true;
    Q_EMIT chosen(index);
    if (alive)
        m_choosing = false;
}

int ListChoice::offeredRow() const
{
    const int row = m_offered ? m_offered() : -1;
    return row >= 0 && row < m_box->count() ? row : -1;
}

void ListChoice::step(int by)
{
    const int count = m_box->count();
    if (count == 0)
        return;
    int row = m_box->currentIndex();
    if (row < 0) {
        row = offeredRow();
        if (row < 0)
            row = by > 0 ? 0 : count - 1;
    } else {
        row = std::clamp(row + by, 0, count - 1);
    }
    select(row);
}

void ListChoice::select(int row)
{
    // Shown only: nothing is chosen until Enter.
    if (row >= 0 && row < m_box->count() && row != m_box->currentIndex())
        m_box->setCurrentIndex(row);
}

bool ListChoice::eventFilter(QObject* watched, QEvent* e)
{
    // A box being destroyed is a box no more (its focus goes, it hides):
    // nothing of the choice then.
    if (!qobject_cast<QComboBox*>(static_cast<QObject*>(m_box)))
        return false;
    QAbstractItemView* view = m_box->view();
    if (watched == view) {
        // The list opens on the offered row while nothing is selected.
        if (e->type() == QEvent::Show && m_box->currentIndex() < 0) {
            const int row = offeredRow();
            if (row >= 0)
                view->selectionModel()->setCurrentIndex(m_box->model()->index(row, m_box->modelColumn()),
                                                        QItemSelectionModel::ClearAndSelect);
        }
        return false;
    }
    if (view->isVisible())
        return false;

    switch (e->type()) {
    case QEvent::KeyPress: {
        auto* k = static_cast<QKeyEvent*>(e);
        const Qt::KeyboardModifiers mods = k->modifiers() & ~Qt::KeypadModifier;
        if (mods != Qt::NoModifier)
            return false; // Alt+Down opens the list, as it does elsewhere
        switch (k->key()) {
        case Qt::Key_Up:
        case Qt::Key_PageUp:
            step(-1);
            return true;
        case Qt::Key_Down:
        case Qt::Key_PageDown:
            step(1);
            return true;
        case Qt::Key_Home:
            select(0);
            return true;
        case Qt::Key_End:
            select(m_box->count() - 1);
            return true;
        case Qt::Key_Space:
            m_box->showPopup();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // A held key does not open the same thing again and again.
            if (!k->isAutoRepeat())
                choose(m_box->currentIndex());
            return true;
        default:
            return false;
        }
    }
    case QEvent::Wheel:
        // Turned over a box the focus is not in, the wheel changes nothing.
        if (m_box->hasFocus()) {
            const int dy = static_cast<QWheelEvent*>(e)->angleDelta().y();
            if (dy != 0)
                step(dy > 0 ? -1 : 1);
        }
        return true;
    case QEvent::FocusOut: {
        const Qt::FocusReason why = static_cast<QFocusEvent*>(e)->reason();
        // The list taking the keys, another window or a box of the choice
        // itself leave the focus here to come back.
        if (!m_choosing && why != Qt::PopupFocusReason && why != Qt::ActiveWindowFocusReason &&
            why != Qt::MenuBarFocusReason)
            m_showOpen();
        return false;
    }
    default:
        return false;
    }
}

} // namespace dl
