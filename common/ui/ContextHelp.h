#pragma once

// Context help for every window. A help page is addressed by a topic name,
// always a decimal number. Controls carry help context numbers; a help
// request on a control without one goes to the group, page or panel that
// contains it. ShowHelpTopic hands the topic to the HelpService of the
// window asking (the viewer of the compiled help file, which the composition
// root gives the main window and so every window under it); without one, or
// when the help file cannot be used, the user gets the warning
// "Program nije u stanju pronaći HELP datoteku!".

#include <QString>

#include <functional>

class QWidget;

// Opens one topic of the help file; must not wait for the viewer. It owns
// the application's help file path, empty until the main window sets it.
class HelpService
{
public:
    virtual ~HelpService() = default;
    virtual void showTopic(const QString &topic) = 0;

    void setHelpFilePath(const QString &path) { m_helpFilePath = path; }
    const QString &helpFilePath() const { return m_helpFilePath; }

private:
    QString m_helpFilePath;
};

namespace ContextHelp {

inline const QString MissingHelpFileText = QStringLiteral("Program nije u stanju pronaći HELP datoteku!");

// Gives `root` and every window under it the help service (not owned; null removes it).
void setService(QWidget *root, HelpService *service);
// The service of `widget` or of the nearest of its parents that has one; null when none has.
HelpService *service(const QWidget *widget);

void setHelpContext(QWidget *widget, int context);
int helpContext(const QWidget *widget); // 0 when it has none

// The context of the widget, or of the nearest container that has one; 0 when none has.
int resolveContext(const QWidget *widget);

// Installs the route on a window: F1 (and the platform's help request) on a
// control opens the topic of its resolved context, written in decimal with
// its minus sign; Shift+F1 and a click on a control do the same for the
// control clicked; the platform's own help handling is suppressed. `enabled`
// may veto the request (the main window's security mode); `fixedTopic`, when
// given, answers the window's F1 instead of the control's context.
void installRoute(QWidget *window, std::function<bool()> enabled = {}, QString fixedTopic = {});

} // namespace ContextHelp

// Opens the topic with the help service `from` reaches.
void ShowHelpTopic(const QWidget *from, const QString &topic);
