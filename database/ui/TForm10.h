#pragma once

// The SQL query window: runs the examiner's select statements over the stored
// tests. While a statement runs the window keeps answering: "Prekini" or Esc
// stops it and the statement of the window's opening comes back.

#include <QDialog>

#include <functional>

class Prompts;
class QPlainTextEdit;
class QPushButton;
class QueryHost;

class TForm10 : public QDialog
{
    Q_OBJECT
public:
    TForm10(QueryHost &host, Prompts &prompts, QWidget *parent = nullptr);

    QPlainTextEdit *memo() const { return m_memo; }
    const QString &previousSql() const { return m_previousSql; }

    void FormShow();
    void Btn1Click();
    void Btn2Click();
    // Stops the statement that is running, if any.
    void Btn3Click() { m_stopRequested = m_running; }
    bool isRunning() const { return m_running; }

public Q_SLOTS:
    // Esc and the close button stop a running statement; the window stays.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Runs `open` with the query connection stopping when asked, the events
    // handled meanwhile and only "Prekini" to be pressed.
    void runStoppable(const std::function<void()> &open);
    void setRunning(bool running);

    QueryHost &m_host;
    Prompts &m_prompts;
    QPlainTextEdit *m_memo = nullptr;
    QPushButton *m_btn1 = nullptr;
    QPushButton *m_btn2 = nullptr;
    QPushButton *m_btn3 = nullptr;
    QString m_previousSql;
    bool m_running = false;
    bool m_stopRequested = false;
};
