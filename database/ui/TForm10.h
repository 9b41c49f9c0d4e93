#pragma once

// The SQL query window: runs the examiner's select statements over the stored tests.

#include <QDialog>

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

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QueryHost &m_host;
    Prompts &m_prompts;
    QPlainTextEdit *m_memo = nullptr;
    QPushButton *m_btn1 = nullptr;
    QPushButton *m_btn2 = nullptr;
    QString m_previousSql;
};
