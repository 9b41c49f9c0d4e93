#include "database/ui/TForm10.h"

#include "common/Failure.h"
#include "common/ui/ContextHelp.h"
#include "common/ui/GeneralErrorHandler.h"
#include "common/ui/Prompts.h"
#include "database/Query.h"
#include "database/ReadOnlyStatement.h"
#include "database/ResultsDatabase.h"
#include "database/SelectRule.h"
#include "database/central/CentralFailure.h"
#include "database/ui/QueryHost.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>

TForm10::TForm10(QueryHost &host, Prompts &prompts, QWidget *parent)
    : QDialog(parent)
    , m_host(host)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("Form10"));
    setWindowTitle(QStringLiteral("Kalvestrin. SQL forma"));
    resize(544, 375);

    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("Memo1"));
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(16);
    m_memo->setFont(font);
    m_memo->setPlainText(QStringLiteral("select * from data;"));

    m_btn1 = new QPushButton(QStringLiteral("P&omoć"), this);
    m_btn1->setObjectName(QStringLiteral("Btn1"));
    m_btn2 = new QPushButton(QStringLiteral("&Provedi"), this);
    m_btn2->setObjectName(QStringLiteral("Btn2"));
    m_btn3 = new QPushButton(QStringLiteral("Prekini"), this);
    m_btn3->setObjectName(QStringLiteral("Btn3"));
    m_btn3->hide();
    for (QPushButton *button : {m_btn1, m_btn2, m_btn3})
        button->setAutoDefault(false);
    connectCommand(m_btn1, &QPushButton::clicked, this, &TForm10::Btn1Click);
    connectCommand(m_btn2, &QPushButton::clicked, this, &TForm10::Btn2Click);
    connect(m_btn3, &QPushButton::clicked, this, &TForm10::Btn3Click);
    ContextHelp::installRoute(this, {}, QStringLiteral("41"));
}

void TForm10::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    const int buttonHeight = 28, margin = 8, buttonWidth = 100;
    const int memoHeight = height() - buttonHeight - 3 * margin;
    m_memo->setGeometry(margin, margin, width() - 2 * margin, memoHeight);
    const int top = margin + memoHeight + margin;
    m_btn2->setGeometry(width() - margin - buttonWidth, top, buttonWidth, buttonHeight);
    m_btn1->setGeometry(width() - 2 * (margin + buttonWidth), top, buttonWidth, buttonHeight);
    m_btn3->setGeometry(margin, top, buttonWidth, buttonHeight);
}

void TForm10::showEvent(QShowEvent *event)
{
    if (QWidget *owner = parentWidget()) {
        const QRect frame = owner->frameGeometry();
        move(frame.center() - QPoint(width() / 2, height() / 2));
    }
    QDialog::showEvent(event);
    FormShow();
}

void TForm10::FormShow()
{
    m_previousSql = m_host.query().sql();
}

void TForm10::Btn1Click()
{
    ShowHelpTopic(this, QStringLiteral("41"));
}

void TForm10::Btn2Click()
{
    if (m_running)
        return;
    const QString text = SelectRule::trimmed(m_memo->toPlainText());
    m_memo->setPlainText(text);
    if (!SelectRule::beginsWithSelect(text)) {
        m_prompts.error(SelectRule::NotSelectText);
        return;
    }
    Query &query = m_host.query();
    // A row typed in the grid is stored before its result goes away.
    query.postPending();
    try {
        runStoppable([&] {
            query.close();
            query.setSQL(text);
            query.open();
        });
        m_host.focusGrid();
    } catch (const Failure &failure) {
        // A statement the examiner stopped needs no message; the central
        // database's own trouble (the server away, the timeout, a right the
        // user lacks) is told as it is, not as a wrongly typed statement.
        const auto *central = dynamic_cast<const CentralFailure *>(&failure);
        if (!m_stopRequested)
            m_prompts.error(central && central->reason() != CentralFailure::Reason::Refused
                                ? central->text()
                                : ReadOnlyStatement::RefusedText());
        query.close();
        query.setSQL(m_previousSql);
        query.open();
        m_host.focusGrid();
    }
}

void TForm10::runStoppable(const std::function<void()> &open)
{
    QueryConnection &connection = m_host.query().connection().queries();
    QElapsedTimer sincePump;
    sincePump.start();
    connection.setStopCheck([this, &sincePump] {
        // Often enough to keep the window painted and the button pressable.
        if (sincePump.elapsed() >= 50) {
            QCoreApplication::processEvents();
            sincePump.restart();
        }
        return m_stopRequested;
    });
    setRunning(true);
    const auto done = qScopeGuard([&] {
        connection.setStopCheck({});
        setRunning(false);
    });
    open();
}

void TForm10::setRunning(bool running)
{
    m_running = running;
    if (running)
        m_stopRequested = false;
    m_memo->setReadOnly(running);
    m_btn2->setEnabled(!running);
    m_btn3->setVisible(running);
}

void TForm10::reject()
{
    if (m_running)
        Btn3Click();
    else
        QDialog::reject();
}
