#include "app/TMain_Form.h"

#include "app/PasswordBox.h"
#include "app/PictureArea.h"
#include "app/Services.h"
#include "common/Colour.h"
#include "common/Failure.h"
#include "common/NumberText.h"
#include "common/Resources.h"
#include "common/ui/ContextHelp.h"
#include "common/ui/GeneralErrorHandler.h"
#include "common/ui/Prompts.h"
#include "common/ui/ScreenPlacement.h"
#include "database/ui/DatabaseConnection.h"
#include "database/ui/TForm9.h"
#include "design/TestDesign.h"
#include "design/ui/TPagesDlg.h"
#include "results/ui/TRezultati.h"
#include "session/SessionState.h"
#include "session/ui/TForm1.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QWindow>

namespace {

constexpr Colour WindowColour = rgbColour(173, 143, 252);
constexpr int ButtonWidth = 150;
constexpr int ButtonHeight = 50;
constexpr int HelpContext = 1;

// "MS Sans Serif" is a Windows bitmap font; elsewhere the nearest sans face stands in.
QFont windowFont(int pointSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(pointSize);
    return font;
}

// The colour of enabled text; disabled text keeps the style's grey.
void setTextColour(QWidget *widget, QPalette::ColorRole role, const QColor &colour)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Active, role, colour);
    pal.setColor(QPalette::Inactive, role, colour);
    widget->setPalette(pal);
}

} // namespace

TMain_Form::TMain_Form(TestDesign &design, SessionState &session, const Services &services, QWidget *parent)
    : QWidget(parent)
    , m_design(design)
    , m_session(session)
    , m_services(services)
    , m_prompts(*services.prompts)
{
    setWindowTitle(QStringLiteral("Kalvestrin"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, toQColor(WindowColour));
    pal.setColor(QPalette::WindowText, Qt::blue);
    setPalette(pal);
    setFont(windowFont(8));
    ContextHelp::setHelpContext(this, HelpContext);

    createLabelAndPicture();
    createButtons();
    createPasswordBox();
    // F1 opens topic 1, the help request of the window or picture area its
    // context 1; neither while the security mode is on.
    ContextHelp::installRoute(
        this, [this] { return securityOff(); }, QStringLiteral("1"));
    createTimer();

    FormCreate();
    m_timer->start();
}

TMain_Form::~TMain_Form() = default;

// The start-up words and the picture area, hidden until the sequence shows them.
void TMain_Form::createLabelAndPicture()
{
    m_label = new QLabel(QStringLiteral("Vestimor"), this);
    m_label->setObjectName(QStringLiteral("Label1"));
    QFont labelFont = windowFont(24);
    labelFont.setBold(true);
    m_label->setFont(labelFont);
    setTextColour(m_label, QPalette::WindowText, Qt::black);
    m_label->adjustSize();
    m_label->hide();

    m_image = new PictureArea(QSize(PictureSize, PictureSize), this);
    m_image->setObjectName(QStringLiteral("Image"));
    m_image->move(0, 0);
    ContextHelp::setHelpContext(m_image, HelpContext);
    m_image->hide();
}

void TMain_Form::createButtons()
{
    const QString captions[4] = {QStringLiteral("Definiranje"), QStringLiteral("Testiranje"),
                                 QStringLiteral("Rezultati"), QStringLiteral("Podaci")};
    void (TMain_Form::*const clicks[4])() = {&TMain_Form::Speed1Click, &TMain_Form::Speed2Click,
                                             &TMain_Form::Speed3Click, &TMain_Form::Speed4Click};
    QFont buttonFont = font();
    buttonFont.setFamilies({QStringLiteral("Arial")});
    buttonFont.setPointSize(10);
    for (int i = 0; i < 4; ++i) {
        auto *button = new QPushButton(captions[i], this);
        button->setObjectName(QStringLiteral("Speed%1").arg(i + 1));
        button->setFont(buttonFont);
        setTextColour(button, QPalette::ButtonText, Qt::black);
        // Like the toolbar buttons they are, they leave the keyboard with the
        // window, where F1 and Ctrl+Alt+P are answered.
        button->setFocusPolicy(Qt::NoFocus);
        button->resize(ButtonWidth, ButtonHeight);
        connectCommand(button, &QPushButton::clicked, this, clicks[i]);
        button->hide();
        m_speed[i] = button;
    }
}

// The password box, hidden; Ctrl+Alt+P (with or without Shift) shows it.
void TMain_Form::createPasswordBox()
{
    m_edit = new PasswordBox(this);
    m_edit->setObjectName(QStringLiteral("Edit"));
    m_edit->resize(ButtonWidth, m_edit->sizeHint().height());
    connect(m_edit, &PasswordBox::entered, this, &TMain_Form::EditEntered);
    m_edit->hide();

    for (const QKeySequence &keys :
         {QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_P), QKeySequence(Qt::CTRL | Qt::ALT | Qt::SHIFT | Qt::Key_P)}) {
        auto *shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, &TMain_Form::showPasswordBox);
    }
}

void TMain_Form::createTimer()
{
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer"));
    m_timer->setInterval(1000);
    connectCommand(m_timer, &QTimer::timeout, this, &TMain_Form::TimerTimer);
}

void TMain_Form::FormCreate()
{
    const QSize screen = screenSize();
    if (screen.width() < 800 || screen.height() < 600)
        m_prompts.warning(ScreenTooSmallText);

    fillAvailableScreen(this);

    const QString directory = m_services.dataFolder;
    if (m_services.help)
        m_services.help->setHelpFilePath(directory + QStringLiteral("/Kalvestrin.chm"));

    const QString databasePath = directory + QStringLiteral("/Kalvestrin.mdb");
    m_databaseOpen = false;
    if (QFileInfo::exists(databasePath)) {
        // Without a database engine the connection stays closed.
        if (ResultsDatabase *database = m_services.database) {
            GeneralErrorHandler::runCommand(
                [&] { m_databaseOpen = DatabaseConnection::SetConnectionString(*database, m_prompts, directory); });
        }
    } else {
        m_prompts.error(NoDatabaseText);
    }
    m_speed[3]->setEnabled(m_databaseOpen);

    // The tables cover every task position for the whole run.
    m_session.sizeTasks(TestDesign::MaxTasks);
    m_design.resetMaskColours();
}

void TMain_Form::setAreas(const Areas &areas)
{
    if (m_areas.design)
        disconnect(m_areas.design, &TPagesDlg::closed, this, nullptr);
    m_areas = areas;
    if (m_areas.design)
        connect(m_areas.design, &TPagesDlg::closed, this, &TMain_Form::ApplySecurityMode);
}

QSize TMain_Form::screenSize() const
{
    if (m_services.screenSize)
        return m_services.screenSize();
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize();
}

bool TMain_Form::securityOff() const
{
    return !m_design.securityMode;
}

void TMain_Form::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

void TMain_Form::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // A screen of another scaling needs a picture area of another logical size.
    if (!m_watchingScreen && windowHandle()) {
        m_watchingScreen = true;
        connect(windowHandle(), &QWindow::screenChanged, this, [this] {
            m_image->fitToDevicePixelRatio();
            FormResize();
        });
    }
    m_image->fitToDevicePixelRatio();
    FormResize();
}

// Positions follow the window's outer size; halves round to the even neighbour.
void TMain_Form::FormResize()
{
    const QSize outer = frameGeometry().size();
    const int w = outer.width();
    const int h = outer.height();

    m_label->move(roundHalfEven((w - m_label->width()) * 0.5), roundHalfEven((h - m_label->height()) * 0.5));

    const int bw = m_speed[0]->width();
    const int bh = m_speed[0]->height();
    // On a low screen the picture keeps its top at the window's top.
    const int imageTop = screenSize().height() > 600 ? roundHalfEven((h - m_image->height()) * 0.5) : m_image->y();
    m_image->move(roundHalfEven((w - m_image->width() - bw) * 0.5), imageTop);

    const int pictureRight = m_image->x() + m_image->width();
    const int bx = pictureRight + roundHalfEven((w - pictureRight - bw) * 0.5);
    const int gap = roundHalfEven((h - 4.0 * bh) / 5.5);

    m_edit->setGeometry(bx, gap - m_edit->height() - 5, bw, m_edit->height());
    int top = gap;
    for (QPushButton *button : m_speed) {
        button->setGeometry(bx, top, bw, bh);
        top += bh + gap;
    }
}

void TMain_Form::centreLabel()
{
    const int halfWidth = frameGeometry().width() / 2;
    m_label->move(halfWidth - m_label->width() / 2, m_label->y());
}

void TMain_Form::TimerTimer()
{
    ++m_step;
    if (m_step > LastStartupStep) {
        m_timer->stop();
        return;
    }
    auto showWord = [this](const QString &word) {
        m_label->hide();
        m_label->setText(word);
        m_label->adjustSize();
        m_label->show();
    };
    switch (m_step) {
    case 1:
        m_label->setText(QStringLiteral("Vestimor"));
        m_label->adjustSize();
        centreLabel();
        m_label->show();
        break;
    case 2: showWord(QStringLiteral("Kelda")); break;
    case 3: showWord(QStringLiteral("Ambrotel")); break;
    case 4: showWord(QStringLiteral("present")); break;
    case 5: {
        m_label->hide();
        setTextColour(m_label, QPalette::WindowText, Qt::red);
        QFont f = m_label->font();
        f.setPointSize(24);
        m_label->setFont(f);
        m_label->setText(QStringLiteral("Kalvestrin"));
        m_label->adjustSize();
        centreLabel();
        m_label->show();
        break;
    }
    case 6:
        m_label->hide();
        // Whatever becomes of the picture, the program goes on to its buttons.
        GeneralErrorHandler::runCommand([this] { paintStartupPicture(); });
        // Let the window catch up (the label gone, every pending paint done)
        // before the buttons appear and the sequence ends.
        QCoreApplication::processEvents();
        for (QPushButton *button : m_speed)
            button->show();
        m_image->show();
        m_timer->stop();
        Q_EMIT startupFinished();
        break;
    default: break;
    }
}

// The start-up picture masked at level 4, the window's colour in the hidden
// pixels; row 0 and column 0 of the area stay as they are.
void TMain_Form::paintStartupPicture()
{
    const QImage picture = Resources::background();
    if (picture.isNull())
        throw Failure(QStringLiteral("Početna slika programa (BACKGROUND) ne može se učitati."));

    constexpr int Level = 4;
    const QRgb hidden = toQRgb(WindowColour);
    QImage &area = m_image->canvas();
    for (int y = 1; y < area.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(area.scanLine(y));
        for (int x = 1; x < area.width(); ++x) {
            const bool shown = x % Level == 0 && y % Level == 0 && picture.valid(x, y);
            line[x] = shown ? (picture.pixel(x, y) | 0xFF000000u) : hidden;
        }
    }
    m_image->update();
}

void TMain_Form::ApplySecurityMode()
{
    m_edit->clear();
    m_edit->hide();
    const bool show = !m_design.securityMode;
    for (int i : {0, 2, 3})
        m_speed[i]->setVisible(show);
}

void TMain_Form::showPasswordBox()
{
    if (m_edit->isHidden() && m_design.securityMode)
        m_edit->show();
    if (!m_edit->isHidden())
        m_edit->setFocus();
}

void TMain_Form::EditEntered(const QString &text)
{
    if (text != m_design.password)
        return;
    m_edit->hide();
    for (int i : {0, 2, 3})
        m_speed[i]->show();
}

// The main window waits until the area's window is closed.
void TMain_Form::openModal(QDialog *window)
{
    if (window)
        window->exec();
}

void TMain_Form::Speed1Click()
{
    openModal(m_areas.design);
}

void TMain_Form::Speed2Click()
{
    if (!m_areas.test)
        return;
    m_areas.test->clearSubjectFields();
    openModal(m_areas.test);
}

void TMain_Form::Speed3Click()
{
    openModal(m_areas.results);
}

void TMain_Form::Speed4Click()
{
    if (!m_areas.groupResults)
        return;
    m_areas.groupResults->Lock();
    Q_EMIT groupResultsOpening();
    openModal(m_areas.groupResults);
}
