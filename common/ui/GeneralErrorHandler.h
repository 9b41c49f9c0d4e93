#pragma once

// The general error handler: a failure that a command does not catch itself
// ends that command and is shown in an error box holding its text; the
// program goes on. KalvestrinApplication routes exceptions that escape an
// event handler here; handlers that call into core code wrap their body in
// runCommand() so the failure never unwinds through Qt's own frames.

#include <QApplication>

#include <exception>
#include <functional>

class Prompts;

namespace GeneralErrorHandler {

// The prompts the handler shows its boxes through (not owned; may be null,
// then the text goes to stderr).
void setPrompts(Prompts *prompts);
Prompts *prompts();

// Shows the text of the exception in an error box.
void report(const std::exception &e);
void reportUnknown();

// Runs one command; a failure escaping it is reported and swallowed.
// Returns false when the command failed.
bool runCommand(const std::function<void()> &command);

} // namespace GeneralErrorHandler

class KalvestrinApplication : public QApplication
{
    Q_OBJECT
public:
    KalvestrinApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};
