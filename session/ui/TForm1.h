#pragma once

// The test window: the subject form, the instructions and the test itself.

#include <QDialog>

class Prompts;
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

private:
    TestDesign &m_design;
    SessionState &m_session;
    Prompts &m_prompts;

    QLineEdit *m_name = nullptr;
    QLineEdit *m_surname = nullptr;
    QLineEdit *m_age = nullptr;
    QComboBox *m_gender = nullptr;
    QLineEdit *m_fields[3] = {};
};
