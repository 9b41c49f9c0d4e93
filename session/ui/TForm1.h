#pragma once

// The test window: the subject form, the instructions and the test itself,
// pictures masked level by level and answered by the subject or the examiner.

#include "session/MaskStimulus.h"
#include "session/ResumePlan.h"
#include "session/SessionPresenter.h"
#include "session/TrialSequence.h"

#include <QDateTime>
#include <QDialog>
#include <QHash>
#include <QImage>
#include <QList>

#include <future>
#include <memory>
#include <optional>

// A decoded picture and the file state it was read from.
struct TForm1Picture
{
    QString path;
    qint64 size = -1;
    QDateTime modified;
    QImage image;
};

class Clock;
class FeedbackSounds;
class JournalRecorder;
class SessionJournal;
class Prompts;
class ResultSink;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;
class SessionState;
class TestDesign;
struct Subject;

class TForm1 : public QDialog, private SessionPresenter
{
    Q_OBJECT
public:
    TForm1(TestDesign &design, SessionState &session, Prompts &prompts, Clock &clock, FeedbackSounds &sounds,
           QWidget *parent = nullptr);
    ~TForm1() override;

    // Name, surname, age, the gender choice and the three free fields become
    // empty, so every opening starts a new subject.
    void clearSubjectFields();

    // A consumer of every finished test (not owned); called in the order added.
    void addResultSink(ResultSink *sink) { m_sinks.append(sink); }

    // The subject as the form holds it now.
    Subject subject() const;

    // Every test the window runs is journalled here (not owned; null: none).
    void setJournal(SessionJournal *journal);
    // The next opening continues `test`, on its subject and on the design
    // it began with, at the picture after its last answer, without the
    // subject form or the instructions. Throws Failure when the answers do
    // not fit the design.
    void Resume(const JournalTest &test);

    // The frame on screen, or null between pictures.
    const MaskedFrame *frame() const { return m_hasFrame ? &m_frame : nullptr; }

    void setVisible(bool visible) override;
    void done(int result) override;

Q_SIGNALS:
    void stimulusPresented(int task, int levelIndex, int level, double efficiency);
    void instructionsShown();

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    void FormClose();
    void Btn1Click();
    void Btn2Click();
    void NameEnter(QWidget *control, Qt::FocusReason reason);
    void NameExit(QWidget *control, Qt::FocusReason reason);
    void NameKeyUp(QWidget *control, int key);
    bool AgeKeyPress(QKeyEvent *event);
    void Panel1Resize();
    void Panel2Resize();
    void keyDown(const QKeyEvent *event);
    void keyUp(const QKeyEvent *event);
    void Edit1KeyUp(int key);
    void FormKeyUp(int key);

    // The trial sequence's screen.
    double PresentStimulus(int task, int levelIndex) override;
    void RepaintWindow() override;
    void ShowFeedback(int task, bool correct) override;
    void Beep() override;
    void FinishTest() override;

    void loadInstructions();
    // A new test's identity: its UUID, station, design file and display.
    void identifySession();
    void continueResumed();
    // Runs one step of the sequence; a picture that cannot be shown ends the
    // test unscored rather than leaving it stuck.
    void runStep(const std::function<void()> &step);
    // The decoded picture, from the cache while the file is unchanged.
    QImage picture(const QString &path);
    void prefetch(int task);

    TestDesign &m_design;
    SessionState &m_session;
    Prompts &m_prompts;
    Clock &m_clock;
    FeedbackSounds &m_sounds;
    TrialSequence m_sequence;
    QList<ResultSink *> m_sinks;
    std::unique_ptr<JournalRecorder> m_recorder;
    std::optional<ResumePlan> m_resume;
    qint64 m_resumeLeadNs = 0;

    QWidget *m_panel1 = nullptr;
    QWidget *m_panel2 = nullptr;
    QWidget *m_panel3 = nullptr;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_surname = nullptr;
    QLineEdit *m_age = nullptr;
    QComboBox *m_gender = nullptr;
    QLineEdit *m_fields[3] = {};
    QList<QWidget *> m_ring; // the subject controls in their tab order
    QList<QLabel *> m_labels;
    QPushButton *m_btn1 = nullptr;
    QPushButton *m_btn2 = nullptr;
    QTextEdit *m_re = nullptr;
    QLineEdit *m_edit1 = nullptr;
    QPalette m_boxPalette, m_redPalette;

    MaskedFrame m_frame; // kept so a repaint shows the picture again
    bool m_hasFrame = false;
    QRect m_shownRect; // where the last frame was drawn, in window coordinates

    // Keys pressed while the picture numbered m_pressSerial is shown, with
    // their press times; keys may overlap when typing fast.
    QHash<int, qint64> m_pressed;
    int m_pressSerial = -1;
    qint64 m_pressNs = 0; // press time of the answering key

    QList<TForm1Picture> m_pictures; // at most the current and the next
    QString m_nextPath;
    std::future<TForm1Picture> m_next;
};
