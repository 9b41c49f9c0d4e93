#pragma once

// Prompts on Qt's own dialogs, owned by the window that is active at the time.

#include "common/ui/Prompts.h"

class QWidget;

class QtPrompts : public Prompts
{
public:
    void warning(const QString &text) override;
    void error(const QString &text) override;
    void information(const QString &text) override;
    bool question(const QString &text) override;
    int choose(const QString &text, const QStringList &answers) override;
    QString openFile(FileDialogRequest &request) override;
    QString saveFile(FileDialogRequest &request) override;
    std::optional<Colour> chooseColour(Colour initial) override;

    // The file dialog's filter text for a request.
    static QString qtFilter(const FileDialogRequest &request);
};
