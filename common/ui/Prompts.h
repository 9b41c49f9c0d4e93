#pragma once

// Every message box, file chooser and colour chooser of the program goes
// through this interface. Windows receive it; QtPrompts shows real dialogs,
// tests answer through a scripted implementation.

#include "common/Colour.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <optional>

struct FileDialogRequest
{
    QString title;
    // (description, patterns) pairs; patterns separated by ";" as in "*.txt;*.asc".
    QList<QPair<QString, QString>> filters;
    QString defaultExtension; // without the dot
    QString directory;
    QString fileName; // proposed name
    bool confirmOverwrite = true;
    // Which chooser this is ("design", "picture", ...): each remembers the
    // folder it was last confirmed in, which then wins over `directory`.
    QString role;
    // In: the filter entry (0-based) selected at start. Out: the entry
    // selected when the user confirmed.
    int selectedFilter = 0;

    // "Text Files (*.txt)|*.txt|All Files (*.*)|*.*" into filters.
    static QList<QPair<QString, QString>> parseFilter(const QString &barSeparated);
};

class Prompts
{
public:
    virtual ~Prompts() = default;

    virtual void warning(const QString &text) = 0;
    virtual void error(const QString &text) = 0;
    virtual void information(const QString &text) = 0;
    // Yes and No buttons; true for Yes.
    virtual bool question(const QString &text) = 0;
    // A question with one button per entry of `answers`, in order: the index
    // of the one chosen, -1 when the box was closed without a choice.
    virtual int choose(const QString &text, const QStringList &answers) = 0;

    // The chosen path, or an empty text when the user cancelled.
    // `request.selectedFilter` comes back as the entry the user confirmed with.
    virtual QString openFile(FileDialogRequest &request) = 0;
    virtual QString saveFile(FileDialogRequest &request) = 0;

    virtual std::optional<Colour> chooseColour(Colour initial) = 0;
};
