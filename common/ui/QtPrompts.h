#pragma once

// Prompts on Qt's own dialogs, owned by the window that is active at the time.

#include "common/ui/Prompts.h"

#include <QFileDialog>
#include <QHash>

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

private:
    QFileDialog *makeDialog(const FileDialogRequest &request, QFileDialog::AcceptMode mode) const;
    QString runDialog(QFileDialog &dialog, FileDialogRequest &request);

    // The folder each chooser role was last confirmed in, for this run.
    QHash<QString, QString> m_lastFolders;
};
