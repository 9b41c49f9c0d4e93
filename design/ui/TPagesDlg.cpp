#include "design/ui/TPagesDlg.h"

#include "common/ui/ContextHelp.h"
#include "common/ui/GeneralErrorHandler.h"
#include "common/ui/Prompts.h"
#include "design/ClosingChecks.h"
#include "design/DesignFile.h"
#include "design/TestDesign.h"
#include "design/ui/ConditionsPage.h"
#include "design/ui/SolutionsPage.h"
#include "design/ui/TasksPage.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

TPagesDlg::TPagesDlg(TestDesign &design, Prompts &prompts, CapsLock capsLock, const QString &dataFolder,
                     QWidget *parent)
    : QDialog(parent)
    , m_design(design)
    , m_prompts(prompts)
{
    setWindowTitle(QStringLiteral("Kalvestrin. Definiranje"));
    // The title bar's "?" asks for help on the control clicked next.
    setWindowFlag(Qt::WindowContextHelpButtonHint, true);
    resize(640, 480);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_tasks = new TasksPage(m_design, m_prompts, dataFolder, m_pages);
    m_tasks->setObjectName(QStringLiteral("TabSheet1"));
    m_solutions = new SolutionsPage(m_design, std::move(capsLock), m_pages);
    m_solutions->setObjectName(QStringLiteral("TabSheet2"));
    m_conditions = new ConditionsPage(m_design, m_prompts, m_pages);
    m_conditions->setObjectName(QStringLiteral("TabSheet3"));
    m_pages->addTab(m_tasks, QStringLiteral("Zadaci"));
    m_pages->addTab(m_solutions, QStringLiteral("Rješenja"));
    m_pages->setTabToolTip(1, QStringLiteral("Točna rješenja u nacrtu"));
    m_pages->addTab(m_conditions, QStringLiteral("Parametri"));
    m_pages->setCurrentIndex(0);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);

    // Enter in a list or a box never presses a button: the dialog has no
    // default button, so Enter in the level list opens no picture chooser.
    for (QPushButton *button : findChildren<QPushButton *>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    connect(m_tasks, &TasksPage::designLoaded, this, &TPagesDlg::refresh);
    connectCommand(m_conditions, &ConditionsPage::aboutRequested, this, &TPagesDlg::Speed3Click);

    // F1 anywhere in the dialog opens the dialog's page; help on one control
    // goes through What's This (the title bar's "?" or Shift+F1).
    ContextHelp::installRoute(this, {}, QStringLiteral("3"));

    refresh();
}

void TPagesDlg::setAboutBox(QDialog *aboutBox)
{
    m_aboutBox = aboutBox;
}

void TPagesDlg::setTestWindowMetrics(std::function<TestWindowMetrics()> metrics)
{
    m_metrics = std::move(metrics);
}

TestWindowMetrics TPagesDlg::testWindowMetrics() const
{
    if (m_metrics)
        return m_metrics();
    const QScreen *screen = QGuiApplication::primaryScreen();
    return TestWindowMetrics{screen ? screen->availableGeometry().size() : QSize(800, 600), 0};
}

void TPagesDlg::refresh()
{
    m_tasks->refresh();
    m_solutions->refresh();
    m_conditions->refresh();
}

void TPagesDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    refresh();
    // Each opening gives the keyboard to the first control of the page shown.
    const QWidget *page = m_pages->currentWidget();
    QWidget *first = page == m_tasks       ? m_tasks->firstControl()
                     : page == m_solutions ? m_solutions->firstControl()
                                           : m_conditions->firstControl();
    first->setFocus(Qt::OtherFocusReason);
}

void TPagesDlg::Speed3Click()
{
    if (m_aboutBox)
        m_aboutBox->exec();
}

// Every step runs whatever an earlier one did, and the dialog always closes:
// skipping the password clean-up or the security lock would leave the main
// window with a password nobody can type, or unlocked.
void TPagesDlg::FormClose()
{
    GeneralErrorHandler::runCommand([this] { m_solutions->commitOpenEditor(); });
    GeneralErrorHandler::runCommand([this] {
        NormaliseSolutions(m_design);
        m_solutions->refresh();
    });
    GeneralErrorHandler::runCommand([this] {
        for (const ClosingMessage &m : ClosingChecks::check(m_design, testWindowMetrics())) {
            if (m.kind == ClosingMessage::Kind::Error)
                m_prompts.error(m.text);
            else
                m_prompts.warning(m.text);
        }
    });
    GeneralErrorHandler::runCommand([this] {
        const auto warning = ClosingChecks::stripPasswordSpaces(m_design);
        m_conditions->refresh();
        if (warning)
            m_prompts.warning(warning->text);
    });
}

void TPagesDlg::done(int result)
{
    FormClose();
    QDialog::done(result);
    // Last step of closing: the main window locks or unlocks itself from the design.
    Q_EMIT closed();
}
