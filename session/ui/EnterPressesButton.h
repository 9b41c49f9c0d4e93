#pragma once

// Enter on a focused button presses it, as buttons do on Windows. The test
// window's buttons are not auto-default, so Enter typed in an edit box never
// reaches one; this gives them Enter only while they have the focus.

#include <QObject>

class QAbstractButton;

class EnterPressesButton : public QObject
{
    Q_OBJECT
public:
    // Installs itself on `button`, which owns it.
    static void install(QAbstractButton *button);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using QObject::QObject;
};
