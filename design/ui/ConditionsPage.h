#pragma once

// Page "Parametri" of the design dialog: the test conditions. Every control
// writes its field as soon as it changes.

#include <QWidget>

class Prompts;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QHBoxLayout;
class QPushButton;
class QVBoxLayout;
class TestDesign;
class UpperCaseEdit;

class ConditionsPage : public QWidget
{
    Q_OBJECT
public:
    static constexpr int PasswordLength = 20;

    ConditionsPage(TestDesign &design, Prompts &prompts, QWidget *parent = nullptr);

    void refresh();
    QWidget *firstControl() const;

    // Whether a password may hold the character: one the code page holds and
    // no white space but the blank (blanks go when the dialog closes); anything
    // else could never be typed into the main window's password box.
    static bool acceptsPasswordCharacter(QChar c);

    void Radio2Click();
    void Btn1Click();
    void Speed4Click();
    void Btn2Click();

Q_SIGNALS:
    // "&Info" was pressed.
    void aboutRequested();

private:
    QGroupBox *createProtection();
    QGroupBox *createFeedback();
    QVBoxLayout *createRightColumn();
    QHBoxLayout *createButtons();
    void connectToDesign();
    QButtonGroup *choice(QGroupBox *group, const QStringList &captions);

    TestDesign &m_design;
    Prompts &m_prompts;
    QCheckBox *m_securityMode = nullptr;
    UpperCaseEdit *m_password = nullptr;
    QGroupBox *m_allowBackGroup = nullptr;
    QButtonGroup *m_allowBack = nullptr;
    QCheckBox *m_auditory = nullptr;
    QCheckBox *m_visual = nullptr;
    QCheckBox *m_ignoreBackground = nullptr;
    QButtonGroup *m_placement = nullptr;
    QButtonGroup *m_testingMode = nullptr;
};
