#pragma once

// Shows the pages of one compiled help file. Every address "chm:/name" is
// read out of the file, so links between pages, style sheets and pictures
// work inside it; a page the file lacks is answered by a page of our own
// saying so. Web addresses go to the desktop's browser, nothing else opens.

#include "app/help/ChmFile.h"

#include <QDateTime>
#include <QTextBrowser>

class HelpBrowser : public QTextBrowser
{
    Q_OBJECT

public:
    static inline const QString Scheme = QStringLiteral("chm");

    explicit HelpBrowser(QWidget *parent = nullptr);

    // Opens the help file at path unless it is the one already open and has
    // not changed on disk since. False when it cannot be read as a help file;
    // nothing is open then.
    bool openFile(const QString &path);
    const ChmFile &file() const { return m_file; }

    // Shows a page of the file by its name inside it, e.g. "4.htm".
    void showPage(const QString &pageName);

    static QUrl pageUrl(const QString &pageName);
    // The page shown for an address the file does not hold.
    static QString missingPageHtml(const QString &objectPath);
    // Page text by the charset its head declares; UTF-8 when it declares none.
    static QString decodePage(const QByteArray &bytes);

    QVariant loadResource(int type, const QUrl &name) override;

private:
    void follow(const QUrl &url);

    ChmFile m_file;
    QDateTime m_modified;
    qint64 m_size = -1;
};
