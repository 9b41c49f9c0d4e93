#include "session/ui/TForm1.h"

#include "common/Clock.h"
#include "common/Colour.h"
#include "common/Failure.h"
#include "common/NumberText.h"
#include "common/ui/GeneralErrorHandler.h"
#include "common/ui/Prompts.h"
#include "design/TestDesign.h"
#include "session/AnswerJudging.h"
#include "session/FeedbackSounds.h"
#include "session/JournalRecorder.h"
#include "session/Scoring.h"
#include "session/SessionResult.h"
#include "session/SessionState.h"
#include "session/StartChecks.h"
#include "session/ui/Cp1250Validator.h"
#include "session/ui/InstructionsView.h"
#include "session/ui/SubjectForm.h"
#include "session/ui/TestWindowFont.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>

namespace {

const QString Caption = QStringLiteral("Kalvestrin");
const QString WhatIsThis = QStringLiteral("Š t o     j e     o v o   ? ");
const QString Finished = QStringLiteral("Testiranje je završeno! Hvala Vam na sudjelovanju!");

void colourPanel(QWidget *panel, Colour colour)
{
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, toQColor(colour));
    panel->setPalette(pal);
}

bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

QRect availableScreen(const QWidget *w)
{
    const QScreen *screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
}

} // namespace

TForm1::TForm1(TestDesign &design, SessionState &session, Prompts &prompts, Clock &clock, FeedbackSounds &sounds,
               QWidget *parent)
    : QDialog(parent)
    , m_design(design)
    , m_session(session)
    , m_prompts(prompts)
    , m_clock(clock)
    , m_sounds(sounds)
    , m_sequence(design, session, *this, clock)
{
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::FormCreate()
{
    setWindowTitle(Caption);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);

    m_subjectForm = new SubjectForm(m_prompts, m_sounds, this);
    colourPanel(m_subjectForm, rgbColour(155, 155, 255));
    connect(m_subjectForm, &SubjectForm::instructionsRequested, this, &TForm1::showInstructions);

    m_instructions = new InstructionsView(m_design, m_prompts, this);
    colourPanel(m_instructions, rgbColour(170, 85, 255));
    connectCommand(m_instructions, &InstructionsView::testRequested, this, &TForm1::Btn2Click);

    createAnswerBar();
    m_instructions->hide();
    m_answerBar->hide();
    setGeometry(availableScreen(this));
}

void TForm1::createAnswerBar()
{
    m_answerBar = new QWidget(this);
    m_answerBar->setObjectName(QStringLiteral("Panel3"));
    colourPanel(m_answerBar, m_design.testWindowColour);

    m_answerBox = new QLineEdit(m_answerBar);
    m_answerBox->setObjectName(QStringLiteral("Edit1"));
    m_answerBox->setFont(testWindowFont(16));
    m_answerBox->setValidator(new Cp1250Validator(
        true, [this] { m_sounds.beep(); }, m_answerBox));
    m_answerBox->hide();
    m_answerBox->installEventFilter(this);

    // The answer box is sized once, from the maximised window: half its
    // width, centred on the bottom strip, which is as high as the box.
    const QRect screen = availableScreen(this);
    const int width = screen.width() / 2;
    const int height = m_answerBox->sizeHint().height();
    m_answerBox->setGeometry(roundHalfEven(screen.width() / 2.0 - width / 2.0), 0, width, height);
    m_answerBar->resize(screen.width(), height);
}

TestWindowMetrics TForm1::metrics() const
{
    return TestWindowMetrics{availableScreen(this).size(), m_answerBar->height()};
}

void TForm1::setVisible(bool visible)
{
    if (visible) {
        // Without a window manager (Xvfb) maximising alone does not move the window.
        setGeometry(availableScreen(this));
        setWindowState(windowState() | Qt::WindowMaximized);
    }
    QDialog::setVisible(visible);
}

void TForm1::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TForm1::FormShow()
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, toQColor(m_design.testWindowColour));
    setPalette(pal);
    m_answerBar->setPalette(pal);
    m_subjectForm->show();
    m_instructions->hide();
    m_answerBar->hide();
    m_subjectForm->focusFirstField();
    if (m_resume)
        continueResumed();
}

void TForm1::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    m_subjectForm->setGeometry(rect());
    m_instructions->setGeometry(rect());
    m_answerBar->setGeometry(0, height() - m_answerBox->height(), width(), m_answerBox->height());
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_answerBox) {
        // The answer box keeps its key releases to itself.
        if (event->type() == QEvent::KeyPress)
            keyDown(static_cast<QKeyEvent *>(event));
        else if (event->type() == QEvent::KeyRelease)
            keyUp(static_cast<QKeyEvent *>(event));
    }
    return false;
}

void TForm1::clearSubjectFields()
{
    m_subjectForm->clear();
}

Subject TForm1::subject() const
{
    return m_subjectForm->subject();
}

void TForm1::showInstructions()
{
    m_subjectForm->hide();
    m_instructions->showInstructions();
    Q_EMIT instructionsShown();
}

void TForm1::Btn2Click()
{
    const QList<StartMessage> messages = StartChecks(m_design);
    for (const StartMessage &m : messages) {
        if (m.kind == StartMessage::Kind::Warning)
            m_prompts.warning(m.text);
        else
            m_prompts.error(m.text);
    }
    if (!messages.isEmpty())
        return;
    const QString display = DisplayScaleWarning(devicePixelRatioF());
    if (!display.isEmpty())
        m_prompts.warning(display);
    m_instructions->hide();
    m_answerBar->show();
    identifySession();
    runStep([this] { m_sequence.Start(); });
}

void TForm1::runStep(const std::function<void()> &step)
{
    QString failure;
    try {
        step();
        return;
    } catch (const Failure &f) {
        failure = f.text();
    } catch (const std::exception &e) {
        failure = QString::fromLocal8Bit(e.what());
    }
    m_prompts.error(failure);
    done(QDialog::Rejected);
}

double TForm1::PresentStimulus(int task, int levelIndex)
{
    const bool independent = m_design.testingMode == TestingMode::Independent;
    if (independent) {
        m_answerBox->hide();
        m_answerBox->clear();
    }
    m_hasFrame = false;
    if (!m_design.visualFeedback)
        setWindowTitle(WhatIsThis);

    const Colour maskColour =
        std::size_t(task) < m_design.maskColours.size() ? m_design.maskColours[std::size_t(task)] : White;
    const int level = m_design.maskLevels.value(levelIndex).trimmed().toInt();
    drawFrame(m_pictures.picture(m_design.stimuli.value(task)), level, maskColour);

    if (independent) {
        m_answerBox->show();
        m_answerBox->setFocus();
        m_answerBox->clear();
    } else {
        setFocus();
    }
    Q_EMIT stimulusPresented(task, levelIndex, level, m_frame.efficiency);
    // The next task's picture is decoded while the subject looks at this one.
    if (levelIndex == 0 && task + 1 < m_design.taskCount())
        m_pictures.prefetch(m_design.stimuli[task + 1]);
    return m_frame.efficiency;
}

void TForm1::drawFrame(const QImage &picture, int level, Colour maskColour)
{
    const QPoint origin = StimulusOrigin(m_design.placement, picture.size(), frameGeometry().size());
    m_frame = MaskStimulus(picture, level, maskColour, m_design.ignoreBackground, origin.x(), origin.y());
    m_hasFrame = true;
    // Only the old and the new picture's rectangles are erased and drawn, and
    // synchronously: the frame is on screen before the onset is taken.
    const qreal ratio = devicePixelRatioF();
    const QRect frameRect =
        QRectF(QPointF(m_frame.topLeft()) / ratio, QSizeF(m_frame.width, m_frame.height) / ratio).toAlignedRect();
    repaint(m_shownRect.united(frameRect));
    m_shownRect = frameRect;
}

void TForm1::RepaintWindow()
{
    m_hasFrame = false;
    update(m_shownRect);
}

void TForm1::paintEvent(QPaintEvent *)
{
    if (!m_hasFrame)
        return;
    QPainter painter(this);
    const qreal ratio = devicePixelRatioF();
    painter.drawImage(QPointF(m_frame.topLeft()) / ratio, m_frame.forDevicePixelRatio(ratio));
}

void TForm1::ShowFeedback(int task, bool correct)
{
    if (m_design.visualFeedback) {
        setWindowTitle(QStringLiteral("Zadatak %1. Vaš posljednji odgovor bio je  %2.")
                           .arg(task + 1)
                           .arg(correct ? QStringLiteral("T O Č A N") : QStringLiteral("N E T O Č A N")));
    }
    if (m_design.auditoryFeedback)
        m_sounds.play(correct ? QStringLiteral("ID_DA") : QStringLiteral("ID_NE"));
}

void TForm1::Beep()
{
    m_sounds.beep();
}

void TForm1::PresentationAnswered(const Presentation &answered)
{
    Q_EMIT presentationAnswered(answered);
}

void TForm1::FinishTest()
{
    const SessionResult result = ComposeSessionResult(m_design, m_session, subject(), m_session.endTime.date());
    // A consumer that fails must not cost the others, the thanks or the close.
    for (ResultSink *sink : std::as_const(m_sinks))
        GeneralErrorHandler::runCommand([&] { sink->accept(result); });
    m_prompts.information(Finished);
    done(QDialog::Accepted);
}

void TForm1::keyPressEvent(QKeyEvent *event)
{
    keyDown(event);
    // No default button and no closing by Escape.
    if (event->isAutoRepeat() || isEnter(event->key()) || event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TForm1::keyReleaseEvent(QKeyEvent *event)
{
    keyUp(event);
}

void TForm1::keyDown(const QKeyEvent *event)
{
    if (event->isAutoRepeat() || !m_sequence.awaitingAnswer())
        return;
    if (m_pressSerial != m_sequence.presentationSerial()) {
        m_pressed.clear();
        m_pressSerial = m_sequence.presentationSerial();
    }
    if (!m_pressed.contains(event->key())) // the box and the window both see it
        m_pressed.insert(event->key(), m_clock.elapsedNs());
}

void TForm1::keyUp(const QKeyEvent *event)
{
    // Only the release of a key pressed under the picture now shown answers
    // it: not the Enter that started the test, not a held key.
    if (event->isAutoRepeat() || !m_sequence.awaitingAnswer())
        return;
    if (m_pressSerial != m_sequence.presentationSerial() || !m_pressed.contains(event->key()))
        return;
    m_pressNs = m_pressed.take(event->key());
    if (m_design.testingMode == TestingMode::Independent)
        Edit1KeyUp(event->key());
    else
        FormKeyUp(event->key());
}

void TForm1::Edit1KeyUp(int key)
{
    if (!isEnter(key))
        return;
    if (m_answerBox->text().trimmed().isEmpty())
        m_answerBox->setText(Unanswered);
    runStep([this] { m_sequence.CheckAnswer(m_answerBox->text(), m_pressNs); });
}

void TForm1::FormKeyUp(int key)
{
    switch (key) {
    case Qt::Key_F5:
        if (m_design.allowBack == AllowBack::Yes)
            runStep([this] { m_sequence.ReturnStep(m_pressNs); });
        break;
    case Qt::Key_Y: runStep([this] { m_sequence.Judge(true, m_pressNs); }); break;
    case Qt::Key_N: runStep([this] { m_sequence.Judge(false, m_pressNs); }); break;
    default: break;
    }
}

void TForm1::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TForm1::FormClose()
{
    m_sequence.Drop();
    m_instructions->hide();
    m_answerBar->hide();
    m_answerBox->hide();
    m_hasFrame = false;
    m_frame = MaskedFrame();
    m_pictures.clear();
    update();
}
