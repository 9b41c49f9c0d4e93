#pragma once

// The test window: the subject form, the instructions and the test itself.

#include <QDialog>

#include <QList>

class Prompts;
class ResultSink;
class QComboBox;
class QLineEdit;
class SessionState;
class TestDesign;

class TForm1 : public QDialog
{
    Q_OBJECT
public:
    TForm1(TestDesign &design, SessionState &session, Prompts &prompts, QWidget *parent = nullptr);

    // Name, surname, age, the gender choice and the three free fields become
    // empty, so every opening starts a new subject.
    void clearSubjectFields();

    // A consumer of every finished test (not owned); called in the order added.
    void addResultSink(ResultSink *sink) { m_sinks.append(sink); }

private:
    TestDesign &m_design;
    SessionState &m_session;
    Prompts &m_prompts;
    QList<ResultSink *> m_sinks;

    QLineEdit *m_name = nullptr;
    QLineEdit *m_surname = nullptr;
    QLineEdit *m_age = nullptr;
    QComboBox *m_gender = nullptr;
    QLineEdit *m_fields[3] = {};
};
