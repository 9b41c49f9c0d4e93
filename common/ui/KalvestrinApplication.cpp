#include "common/ui/KalvestrinApplication.h"

#include "common/ui/GeneralErrorHandler.h"

KalvestrinApplication::KalvestrinApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{}

bool KalvestrinApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        GeneralErrorHandler::report(e);
    } catch (...) {
        GeneralErrorHandler::reportUnknown();
    }
    return false;
}
