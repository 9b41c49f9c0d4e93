#pragma once

// The test window's first screen (Panel1): the subject's name, surname, age,
// gender and three free fields, moved between with Enter and the arrows, and
// the "&Uputa" button that checks them before the instructions are shown.

#include <QList>
#include <QPalette>
#include <QWidget>

class FeedbackSounds;
class Prompts;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
struct Subject;

class SubjectForm : public QWidget
{
    Q_OBJECT
public:
    SubjectForm(Prompts &prompts, FeedbackSounds &sounds, QWidget *parent);

    // Every field becomes empty and the gender unchosen.
    void clear();
    // The subject as the form holds it now.
    Subject subject() const;
    // Fills the form again, as for a test continued from the journal.
    void setSubject(const Subject &subject);
    // The first field takes the focus.
    void focusFirstField();

Q_SIGNALS:
    // "&Uputa" was pressed and the subject's data passed their checks.
    void instructionsRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void createFields(FeedbackSounds &sounds);
    void createLabels();
    void Btn1Click();
    void NameEnter(QWidget *control, Qt::FocusReason reason);
    void NameExit(QWidget *control, Qt::FocusReason reason);
    void NameKeyUp(QWidget *control, int key);
    bool AgeKeyPress(QKeyEvent *event);
    void Panel1Resize();

    Prompts &m_prompts;
    FeedbackSounds &m_sounds;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_surname = nullptr;
    QLineEdit *m_age = nullptr;
    QComboBox *m_gender = nullptr;
    QLineEdit *m_freeFields[3] = {};
    QList<QWidget *> m_tabRing; // the subject controls in their tab order
    QList<QLabel *> m_labels;
    QPushButton *m_instructionsButton = nullptr;
    QPalette m_boxPalette, m_focusPalette;
};
