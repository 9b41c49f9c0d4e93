#include "tools/kalvestrin-tool/WaitExposed.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <QWidget>
#include <QWindow>

bool waitExposed(QWidget *window, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        const QWindow *handle = window->windowHandle();
        if (handle && handle->isExposed())
            return true;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(5);
    }
}
