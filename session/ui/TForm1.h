#pragma once

// The test window: the subject form, the instructions and the test itself,
// pictures masked level by level and answered by the subject or the examiner.

#include "design/TestWindowMetrics.h"
#include "session/MaskStimulus.h"
#include "session/PictureCache.h"
#include "session/ResumePlan.h"
#include "session/SessionPresenter.h"
#include "session/TrialSequence.h"

#include <QDialog>
#include <QHash>
#include <QList>

#include <functional>
#include <memory>
#include <optional>

class Clock;
class FeedbackSounds;
class InstructionsView;
class JournalRecorder;
class SessionJournal;
class Prompts;
class ResultSink;
class QLineEdit;
class SessionState;
class SubjectForm;
class TestDesign;
struct Presentation;
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

    // Whether a compositor runs, asked when a test starts; empty: the X
    // server's answer. Returns nullopt when that cannot be known.
    void setCompositorProbe(std::function<std::optional<bool>()> probe) { m_compositorProbe = std::move(probe); }

    // Every test the window runs is journalled here (not owned; null: none).
    void setJournal(SessionJournal *journal);
    // The next opening continues `test`, on its subject and on the design
    // it began with, at the picture after its last answer, without the
    // subject form or the instructions. Throws Failure when the answers do
    // not fit the design.
    void Resume(const JournalTest &test);

    // The frame on screen, or null between pictures.
    const MaskedFrame *frame() const { return m_hasFrame ? &m_frame : nullptr; }

    // The window as a test shows it: maximised on its screen, with the
    // answer bar as laid out along its bottom. The design's closing checks
    // measure pictures against this.
    TestWindowMetrics metrics() const;

    void setVisible(bool visible) override;
    void done(int result) override;

Q_SIGNALS:
    void stimulusPresented(int task, int levelIndex, int level, double efficiency);
    // A key answered the picture on screen (Enter, Y, N or F5): the session
    // state has taken the answer and the next picture is not yet shown.
    void presentationAnswered(const Presentation &answered);
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
    void createAnswerBar();
    void FormShow();
    void FormClose();
    void showInstructions();
    void Btn2Click();
    void keyDown(const QKeyEvent *event);
    void keyUp(const QKeyEvent *event);
    void Edit1KeyUp(int key);
    void FormKeyUp(int key);

    // The trial sequence's screen.
    double PresentStimulus(int task, int levelIndex) override;
    void RepaintWindow() override;
    void ShowFeedback(int task, bool correct) override;
    void Beep() override;
    void PresentationAnswered(const Presentation &answered) override;
    void FinishTest() override;

    void drawFrame(const QImage &picture, int level, Colour maskColour);
    // A new test's identity: its UUID, station, design file and display.
    void identifySession();
    void continueResumed();
    // Runs one step of the sequence; a picture that cannot be shown ends the
    // test unscored rather than leaving it stuck.
    void runStep(const std::function<void()> &step);

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
    std::function<std::optional<bool>()> m_compositorProbe;

    SubjectForm *m_subjectForm = nullptr;       // Panel1
    InstructionsView *m_instructions = nullptr; // Panel2
    QWidget *m_answerBar = nullptr;             // Panel3, along the bottom
    QLineEdit *m_answerBox = nullptr;           // Edit1, on the answer bar

    MaskedFrame m_frame; // kept so a repaint shows the picture again
    bool m_hasFrame = false;
    QRect m_shownRect; // where the last frame was drawn, in window coordinates

    // Keys pressed while the picture numbered m_pressSerial is shown, with
    // their press times; keys may overlap when typing fast.
    QHash<int, qint64> m_pressed;
    int m_pressSerial = -1;
    qint64 m_pressNs = 0; // press time of the answering key

    PictureCache m_pictures;
};
