#include "common/ui/ScreenPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void fillAvailableScreen(QWidget *window)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    window->setGeometry(available.isEmpty() ? QRect(0, 0, 800, 578) : available);
    window->move(available.topLeft());
    window->setWindowState(window->windowState() | Qt::WindowMaximized);
}
