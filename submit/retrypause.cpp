#include "submit/retrypause.h"

#include <QRandomGenerator>
#include <QThread>

namespace dl::submit {

void pauseBeforeRetry(int retry)
{
    QThread::msleep(static_cast<unsigned long>(retry * QRandomGenerator::global()->bounded(5, 26)));
}

} // namespace dl::submit
