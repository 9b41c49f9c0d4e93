#include "app/help/HelpViewer.h"

#include "app/help/HelpBrowser.h"
#include "app/help/HelpTopics.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QStyle>
#include <QToolBar>
#include <QWindow>

HelpViewer::HelpViewer(QWidget *parent)
    : QMainWindow(parent, Qt::Window)
    , m_browser(new HelpBrowser(this))
{
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("Kalvestrin - Pomoć"));
    resize(700, 550);
    setCentralWidget(m_browser);

    auto *bar = addToolBar(QStringLiteral("Pomoć"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QStyle *s = style();

    m_back = bar->addAction(s->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("Natrag"));
    m_back->setToolTip(QStringLiteral("Natrag na prethodnu stranicu"));
    m_back->setShortcut(QKeySequence::Back);
    m_back->setEnabled(false);
    connect(m_back, &QAction::triggered, m_browser, &HelpBrowser::backward);
    connect(m_browser, &HelpBrowser::backwardAvailable, m_back, &QAction::setEnabled);

    m_forward = bar->addAction(s->standardIcon(QStyle::SP_ArrowForward), QStringLiteral("Naprijed"));
    m_forward->setToolTip(QStringLiteral("Naprijed na sljedeću stranicu"));
    m_forward->setShortcut(QKeySequence::Forward);
    m_forward->setEnabled(false);
    connect(m_forward, &QAction::triggered, m_browser, &HelpBrowser::forward);
    connect(m_browser, &HelpBrowser::forwardAvailable, m_forward, &QAction::setEnabled);

    QAction *home = bar->addAction(s->standardIcon(QStyle::SP_DirHomeIcon), QStringLiteral("Početna"));
    home->setToolTip(QStringLiteral("Početna stranica pomoći"));
    connect(home, &QAction::triggered, this, &HelpViewer::showStartPage);

    QAction *index = bar->addAction(s->standardIcon(QStyle::SP_FileDialogContentsView), QStringLiteral("Kazalo"));
    index->setToolTip(QStringLiteral("Kazalo svih tema pomoći"));
    connect(index, &QAction::triggered, this, &HelpViewer::showIndex);

    auto *closeWindow = new QAction(this);
    closeWindow->setShortcut(Qt::Key_Escape);
    connect(closeWindow, &QAction::triggered, this, &QWidget::close);
    addAction(closeWindow);
}

bool HelpViewer::openFile(const QString &path)
{
    return m_browser->openFile(path);
}

void HelpViewer::showTopic(const QString &topic)
{
    m_browser->showPage(HelpTopics::pageName(topic));
}

void HelpViewer::showStartPage()
{
    m_browser->showPage(HelpTopics::StartPage);
}

void HelpViewer::showIndex()
{
    m_browser->showPage(HelpTopics::IndexPage);
}

void HelpViewer::present()
{
    // A modal window blocks every window that is not its own transient; help
    // asked for from a modal dialog must stay readable, scrollable and
    // closable while the dialog is open, so the viewer becomes the transient
    // of the window that asked. The widget keeps no parent, so the viewer
    // outlives any dialog it was shown over.
    QWidget *owner = QApplication::activeModalWidget();
    if (!owner)
        owner = QApplication::activeWindow();
    if (owner == this)
        owner = nullptr;
    if (owner)
        owner = owner->window();
    winId();
    if (owner && owner->windowHandle())
        windowHandle()->setTransientParent(owner->windowHandle());

    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}
