#pragma once

// The help window: one per program, showing pages of the help file with
// back, forward, start page and index buttons. It is never modal and the
// program never waits for it; it stays usable over whichever window asked
// for help, modal or not.

#include <QMainWindow>

class HelpBrowser;
class QAction;

class HelpViewer : public QMainWindow
{
    Q_OBJECT

public:
    explicit HelpViewer(QWidget *parent = nullptr);

    // See HelpBrowser::openFile.
    bool openFile(const QString &path);
    // Shows topic N, the page "N.htm".
    void showTopic(const QString &topic);
    void showStartPage();
    void showIndex();

    // Shows, raises and activates the window above the window that asked.
    void present();

    HelpBrowser *browser() const { return m_browser; }

private:
    HelpBrowser *m_browser;
    QAction *m_back;
    QAction *m_forward;
};
