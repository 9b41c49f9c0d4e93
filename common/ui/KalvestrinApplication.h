#pragma once

// The application object: an exception escaping any event handler reaches
// the general error handler instead of ending the program.

#include <QApplication>

class KalvestrinApplication : public QApplication
{
    Q_OBJECT
public:
    KalvestrinApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};
