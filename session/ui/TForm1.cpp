#include "session/ui/TForm1.h"

#include "common/Bitmap.h"
#include "common/Clock.h"
#include "common/Colour.h"
#include "common/Failure.h"
#include "common/NumberText.h"
#include "common/Resources.h"
#include "common/RtfReader.h"
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

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>

namespace {

const QString Caption = QStringLiteral("Kalvestrin");
const QString WhatIsThis = QStringLiteral("Š t o     j e     o v o   ? ");
const QString InstructionHeading = QStringLiteral("                        U  P  U  T  A ");
const QString BadAge = QStringLiteral("Pogrešno upisana dob. Dob mora biti cjeli broj u intervalu 1..140 (godina)!");
const QString Semicolon = QStringLiteral("Nedozvoljen znak unutar podataka o ispitaniku! . Ne smijete koristiti znak "
                                         "\";\" unutar polja za upis podataka o ispitaniku!");
const QString InstructionFailed = QStringLiteral("Učitavanje upute iz vanjske datoteke nije uspjelo! Staza upute: ");
const QString Finished = QStringLiteral("Testiranje je završeno! Hvala Vam na sudjelovanju!");

QFont arial(int pixels)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixels);
    return f;
}

QWidget *panel(QWidget *parent, const char *name, Colour colour)
{
    auto *p = new QWidget(parent);
    p->setObjectName(QLatin1String(name));
    p->setAutoFillBackground(true);
    QPalette pal = p->palette();
    pal.setColor(QPalette::Window, toQColor(colour));
    p->setPalette(pal);
    return p;
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

    m_panel1 = panel(this, "Panel1", rgbColour(155, 155, 255));
    m_panel2 = panel(this, "Panel2", rgbColour(170, 85, 255));
    m_panel3 = panel(this, "Panel3", m_design.testWindowColour);

    const QFont font16 = arial(16);
    auto beep = [this] { m_sounds.beep(); };
    auto edit = [&](const char *name, int maxLength, bool upper) {
        auto *e = new QLineEdit(m_panel1);
        e->setObjectName(QLatin1String(name));
        e->setMaxLength(maxLength);
        e->setFont(font16);
        e->setValidator(new Cp1250Validator(upper, beep, e));
        return e;
    };
    m_name = edit("Name", 40, true);
    m_surname = edit("Surname", 40, true);
    m_age = edit("Age", 3, false);
    m_gender = new QComboBox(m_panel1);
    m_gender->setObjectName(QStringLiteral("Combo1"));
    m_gender->setFont(font16);
    m_gender->setEditable(false);
    m_gender->addItems({QStringLiteral("Ženski"), QStringLiteral("Muški"), QString()});
    m_gender->setCurrentIndex(-1);
    m_fields[0] = edit("Field1", 100, false);
    m_fields[1] = edit("Field2", 100, false);
    m_fields[2] = edit("Field3", 100, false);
    m_ring = {m_name, m_surname, m_age, m_gender, m_fields[0], m_fields[1], m_fields[2]};

    const char *labels[] = {"Ime:", "Prezime:", "Dob:", "Spol:", "Polje1:", "Polje2:", "Polje3:"};
    for (int i = 0; i < m_ring.size(); ++i) {
        auto *label = new QLabel(QString::fromUtf8(labels[i]), m_panel1);
        label->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        label->setFont(font16);
        label->adjustSize();
        label->setBuddy(m_ring[i]);
        m_labels << label;
        QWidget *control = m_ring[i];
        control->resize(control == m_age      ? 60
                        : control == m_gender ? 160
                        : i < 2               ? 420
                                              : 600,
                        control->sizeHint().height());
        control->installEventFilter(this);
    }
    m_boxPalette = m_name->palette();
    m_redPalette = m_boxPalette;
    m_redPalette.setColor(QPalette::Base, toQColor(rgbColour(255, 0, 0)));
    m_redPalette.setColor(QPalette::Button, toQColor(rgbColour(255, 0, 0)));

    // Enter in a box must not press a button: none is a default button.
    m_btn1 = new QPushButton(QStringLiteral("&Uputa"), m_panel1);
    m_btn1->setObjectName(QStringLiteral("Btn1"));
    m_btn1->setAutoDefault(false);
    m_btn2 = new QPushButton(QStringLiteral("&Test"), m_panel2);
    m_btn2->setObjectName(QStringLiteral("Btn2"));
    m_btn2->setAutoDefault(false);
    connectCommand(m_btn1, &QPushButton::clicked, this, &TForm1::Btn1Click);
    connectCommand(m_btn2, &QPushButton::clicked, this, &TForm1::Btn2Click);

    m_re = new QTextEdit(m_panel2);
    m_re->setObjectName(QStringLiteral("RE"));
    m_re->setReadOnly(true);
    m_re->setFont(arial(19));
    m_re->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_re->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_re->setLineWrapMode(QTextEdit::WidgetWidth);

    m_edit1 = new QLineEdit(m_panel3);
    m_edit1->setObjectName(QStringLiteral("Edit1"));
    m_edit1->setFont(font16);
    m_edit1->setValidator(new Cp1250Validator(true, beep, m_edit1));
    m_edit1->hide();
    m_edit1->installEventFilter(this);

    m_panel1->installEventFilter(this);
    m_panel2->installEventFilter(this);

    // The answer box is sized once, from the maximised window: half its
    // width, centred on the bottom strip, which is as high as the box.
    const QRect screen = availableScreen(this);
    const int width = screen.width() / 2;
    const int height = m_edit1->sizeHint().height();
    m_edit1->setGeometry(roundHalfEven(screen.width() / 2.0 - width / 2.0), 0, width, height);
    m_panel3->resize(screen.width(), height);
    m_panel2->hide();
    m_panel3->hide();
    setGeometry(screen);
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
    m_panel3->setPalette(pal);
    m_panel1->show();
    m_panel2->hide();
    m_panel3->hide();
    m_name->setFocus();
    if (m_resume)
        continueResumed();
}

void TForm1::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    m_panel1->setGeometry(rect());
    m_panel2->setGeometry(rect());
    m_panel3->setGeometry(0, height() - m_edit1->height(), width(), m_edit1->height());
}

void TForm1::Panel1Resize()
{
    const int pw = m_panel1->width();
    const int ph = m_panel1->height();
    const int gap = roundHalfEven(0.06 * ph);
    const int labelLeft = roundHalfEven(0.05 * pw);
    const int fieldLeft = roundHalfEven(0.2 * frameGeometry().width());
    int top = gap;
    for (int i = 0; i < m_ring.size(); ++i) {
        QWidget *control = m_ring[i];
        QLabel *label = m_labels[i];
        control->move(fieldLeft, top);
        const int spare = control->height() - label->height();
        label->move(labelLeft, control == m_gender ? top + roundHalfEven(0.66 * spare) : top + spare / 2);
        top += control->height() + gap;
    }
    const int w = roundHalfEven(0.1 * pw);
    m_btn1->setGeometry(roundHalfEven(0.5 * (pw - w)), top, w, w / 3);
}

void TForm1::Panel2Resize()
{
    const int pw = m_panel2->width();
    m_re->setGeometry(0, 0, pw, roundHalfEven(0.8 * m_panel1->height()));
    const int reBottom = m_re->y() + m_re->height();
    // Centred below the box by the button's height before it is resized.
    const int top = (m_panel2->height() - reBottom) / 2 + reBottom - m_btn2->height() / 2;
    const int w = roundHalfEven(0.1 * pw);
    m_btn2->setGeometry(roundHalfEven(0.5 * (pw - w)), top, w, w / 3);
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize) {
        if (watched == m_panel1)
            Panel1Resize();
        else if (watched == m_panel2)
            Panel2Resize();
        return false;
    }
    if (watched == m_edit1) {
        // The answer box keeps its key releases to itself.
        if (event->type() == QEvent::KeyPress)
            keyDown(static_cast<QKeyEvent *>(event));
        else if (event->type() == QEvent::KeyRelease)
            keyUp(static_cast<QKeyEvent *>(event));
        return false;
    }
    auto *control = qobject_cast<QWidget *>(watched);
    if (!m_ring.contains(control))
        return false;
    switch (event->type()) {
    case QEvent::FocusIn: NameEnter(control, static_cast<QFocusEvent *>(event)->reason()); break;
    case QEvent::FocusOut: NameExit(control, static_cast<QFocusEvent *>(event)->reason()); break;
    case QEvent::KeyPress:
        if (control == m_age)
            return AgeKeyPress(static_cast<QKeyEvent *>(event));
        break;
    case QEvent::KeyRelease: {
        auto *key = static_cast<QKeyEvent *>(event);
        if (!key->isAutoRepeat())
            NameKeyUp(control, key->key());
        break;
    }
    default: break;
    }
    return false;
}

void TForm1::NameEnter(QWidget *control, Qt::FocusReason reason)
{
    if (reason == Qt::PopupFocusReason)
        return; // back from the gender list
    if (control != m_gender) {
        control->setPalette(m_redPalette);
    } else if (m_gender->currentText().isEmpty()) {
        control->setPalette(m_redPalette);
        m_gender->showPopup();
    }
}

void TForm1::NameExit(QWidget *control, Qt::FocusReason reason)
{
    if (reason == Qt::PopupFocusReason)
        return;
    control->setPalette(m_boxPalette);
}

void TForm1::NameKeyUp(QWidget *control, int key)
{
    const int i = int(m_ring.indexOf(control));
    const int n = int(m_ring.size());
    const bool edit = control != m_gender;
    QWidget *to = nullptr;
    if (isEnter(key) || (edit && key == Qt::Key_Down))
        to = m_ring[(i + 1) % n];
    else if (edit && key == Qt::Key_Up)
        to = m_ring[(i + n - 1) % n];
    else if (key == Qt::Key_Home)
        to = m_name;
    else if (key == Qt::Key_End)
        to = m_fields[2];
    if (to)
        to->setFocus(Qt::TabFocusReason);
}

bool TForm1::AgeKeyPress(QKeyEvent *event)
{
    const QString text = event->text();
    if (event->key() == Qt::Key_Backspace || text.isEmpty() || text[0].isNull() ||
        text[0].category() == QChar::Other_Control)
        return false;
    const QChar c = text[0];
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9') && !(c == QLatin1Char('0') && m_age->cursorPosition() == 0))
        return false;
    m_sounds.beep();
    return true;
}

void TForm1::clearSubjectFields()
{
    m_name->clear();
    m_surname->clear();
    m_age->clear();
    m_gender->setCurrentIndex(-1);
    for (QLineEdit *field : m_fields)
        field->clear();
}

Subject TForm1::subject() const
{
    Subject s;
    s.Name = m_name->text();
    s.Surname = m_surname->text();
    s.Age = m_age->text();
    s.Gender = m_gender->currentIndex();
    s.GenderText = m_gender->currentText();
    s.Field1 = m_fields[0]->text();
    s.Field2 = m_fields[1]->text();
    s.Field3 = m_fields[2]->text();
    return s;
}

void TForm1::Btn1Click()
{
    const QString age = m_age->text();
    if (!age.isEmpty()) {
        bool ok = false;
        const int years = age.toInt(&ok);
        if (!ok || years < 1 || years > 140) {
            m_prompts.warning(BadAge);
            m_age->selectAll();
            m_age->setFocus();
            return;
        }
    }
    for (const QLineEdit *box : {m_name, m_surname, m_age, m_fields[0], m_fields[1], m_fields[2]}) {
        if (box->text().contains(QLatin1Char(';'))) {
            m_prompts.error(Semicolon);
            return;
        }
    }
    m_panel1->hide();
    loadInstructions();
    m_panel2->show();
    m_btn2->setFocus();
    Q_EMIT instructionsShown();
}

void TForm1::loadInstructions()
{
    // The file is read once; if that fails the subject still gets the
    // built-in instructions rather than an empty screen.
    const QString path = m_design.instructionFile;
    m_re->clear();
    if (!path.isEmpty() && QFileInfo(path).isFile()) {
        try {
            RtfReader::loadFile(path, *m_re->document());
            return;
        } catch (const Failure &) {
            m_prompts.error(InstructionFailed + path);
            m_re->clear();
        }
    }
    const int text = m_design.testingMode == TestingMode::Independent ? 1 : 2;
    m_re->setPlainText(InstructionHeading + QLatin1Char('\n') + QLatin1Char('\n') + Resources::instructionText(text));
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
    m_panel2->hide();
    m_panel3->show();
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
        m_edit1->hide();
        m_edit1->clear();
    }
    m_hasFrame = false;
    if (!m_design.visualFeedback)
        setWindowTitle(WhatIsThis);

    const QString path = m_design.stimuli.value(task);
    const Colour maskColour =
        std::size_t(task) < m_design.maskColours.size() ? m_design.maskColours[std::size_t(task)] : White;
    const int level = m_design.maskLevels.value(levelIndex).trimmed().toInt();
    const QImage image = picture(path);
    const QPoint origin = StimulusOrigin(m_design.placement, image.size(), frameGeometry().size());
    m_frame = MaskStimulus(image, level, maskColour, m_design.ignoreBackground, origin.x(), origin.y());
    m_hasFrame = true;
    // Only the old and the new picture's rectangles are erased and drawn, and
    // synchronously: the frame is on screen before the onset is taken.
    const qreal ratio = devicePixelRatioF();
    const QRect frameRect =
        QRectF(QPointF(m_frame.topLeft()) / ratio, QSizeF(m_frame.width, m_frame.height) / ratio).toAlignedRect();
    repaint(m_shownRect.united(frameRect));
    m_shownRect = frameRect;

    if (independent) {
        m_edit1->show();
        m_edit1->setFocus();
        m_edit1->clear();
    } else {
        setFocus();
    }
    Q_EMIT stimulusPresented(task, levelIndex, level, m_frame.efficiency);
    if (levelIndex == 0)
        prefetch(task + 1);
    return m_frame.efficiency;
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

namespace {

TForm1Picture readPicture(const QString &path)
{
    const QFileInfo info(path);
    TForm1Picture p{path, info.size(), info.lastModified(), {}};
    try {
        p.image = loadPicture(path);
    } catch (const Failure &) {
        // Left empty: the presentation reads the file itself and reports it.
    }
    return p;
}

} // namespace

QImage TForm1::picture(const QString &path)
{
    // The next task's picture is decoded in the background while the
    // subject looks at the current one.
    if (m_next.valid() && m_nextPath == path) {
        TForm1Picture next = m_next.get();
        if (!next.image.isNull())
            m_pictures.append(next);
        while (m_pictures.size() > 2)
            m_pictures.removeFirst();
    }
    // A stat per presentation: a picture changed on disk is read again.
    const QFileInfo info(path);
    const qint64 size = info.size();
    const QDateTime modified = info.lastModified();
    for (const TForm1Picture &c : std::as_const(m_pictures)) {
        if (c.path == path && c.size == size && c.modified == modified)
            return c.image;
    }
    TForm1Picture c{path, size, modified, loadPicture(path)};
    m_pictures.append(c);
    // At most the current picture and the next one stay decoded.
    while (m_pictures.size() > 2)
        m_pictures.removeFirst();
    return c.image;
}

void TForm1::prefetch(int task)
{
    if (task >= m_design.taskCount())
        return;
    if (m_next.valid())
        m_next.wait();
    m_nextPath = m_design.stimuli[task];
    m_next = std::async(std::launch::async, readPicture, m_nextPath);
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
    if (m_edit1->text().trimmed().isEmpty())
        m_edit1->setText(Unanswered);
    runStep([this] { m_sequence.CheckAnswer(m_edit1->text(), m_pressNs); });
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
    m_panel2->hide();
    m_panel3->hide();
    m_edit1->hide();
    m_hasFrame = false;
    m_frame = MaskedFrame();
    if (m_next.valid())
        m_next.wait();
    m_next = {};
    m_pictures.clear();
    update();
}
