#pragma once

// The application object: an exception escaping any event handler reaches
// the general error handler instead of ending the program. It owns what is
// truly process-wide: the prompts the general error handler shows its boxes
// through. Every other service reaches a window from the composition root.

#include <QApplication>

class Prompts;
class QTranslator;

class KalvestrinApplication : public QApplication
{
    Q_OBJECT
public:
    KalvestrinApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // Qt's own texts (the buttons and messages of the file and colour
    // choosers, the print dialog) in Croatian, when Qt's translations are
    // installed; the program's own texts need none. True when loaded.
    bool installQtTranslations();

    // The running application, or null when the process runs another kind.
    static KalvestrinApplication *instance();

    // Not owned; null: failures go to stderr.
    void setPrompts(Prompts *prompts) { m_prompts = prompts; }
    Prompts *prompts() const { return m_prompts; }

private:
    Prompts *m_prompts = nullptr;
    QTranslator *m_qtTranslator = nullptr;
};
