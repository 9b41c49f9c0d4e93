#include "session/ui/EnterPressesButton.h"

#include <QAbstractButton>
#include <QKeyEvent>

void EnterPressesButton::install(QAbstractButton *button)
{
    button->installEventFilter(new EnterPressesButton(button));
}

bool EnterPressesButton::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return false;
    if (!key->isAutoRepeat())
        static_cast<QAbstractButton *>(watched)->click();
    return true;
}
