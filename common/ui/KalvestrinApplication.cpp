#include "common/ui/KalvestrinApplication.h"

#include "common/ui/GeneralErrorHandler.h"

#include <QLibraryInfo>
#include <QTranslator>

KalvestrinApplication::KalvestrinApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{}

bool KalvestrinApplication::installQtTranslations()
{
    if (m_qtTranslator)
        return true;
    auto *translator = new QTranslator(this);
    if (!translator->load(QStringLiteral("qtbase_hr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    installTranslator(translator);
    m_qtTranslator = translator;
    return true;
}

KalvestrinApplication *KalvestrinApplication::instance()
{
    return qobject_cast<KalvestrinApplication *>(QCoreApplication::instance());
}

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
