#include "GeneralErrorHandler.h"
#include "QtPrompts.h"

#include <QMainWindow>

int main(int argc, char **argv)
{
    KalvestrinApplication app(argc, argv);
    QtPrompts prompts;
    GeneralErrorHandler::setPrompts(&prompts);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Kalvestrin"));
    window.showMaximized();
    return app.exec();
}
