#include "session/ui/InstructionsView.h"

#include "common/Failure.h"
#include "common/NumberText.h"
#include "common/Resources.h"
#include "common/RtfReader.h"
#include "common/ui/Prompts.h"
#include "design/TestDesign.h"
#include "session/ui/EnterPressesButton.h"
#include "session/ui/TestWindowFont.h"

#include <QFileInfo>
#include <QPushButton>
#include <QTextEdit>

namespace {

const QString InstructionHeading = QStringLiteral("                        U  P  U  T  A ");
const QString InstructionFailed = QStringLiteral("Učitavanje upute iz vanjske datoteke nije uspjelo! Staza upute: ");

} // namespace

InstructionsView::InstructionsView(const TestDesign &design, Prompts &prompts, QWidget *parent)
    : QWidget(parent)
    , m_design(design)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("Panel2"));
    m_text = new QTextEdit(this);
    m_text->setObjectName(QStringLiteral("RE"));
    m_text->setReadOnly(true);
    m_text->setFont(testWindowFont(19));
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setLineWrapMode(QTextEdit::WidgetWidth);

    // Not a default button: the Enter that presses it must not also be
    // taken by the dialog.
    m_testButton = new QPushButton(QStringLiteral("&Test"), this);
    m_testButton->setObjectName(QStringLiteral("Btn2"));
    m_testButton->setAutoDefault(false);
    EnterPressesButton::install(m_testButton);
    connect(m_testButton, &QPushButton::clicked, this, &InstructionsView::testRequested);
}

void InstructionsView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Panel2Resize();
}

void InstructionsView::Panel2Resize()
{
    const int pw = width();
    // The subject form fills the same client area, so its height is the window's.
    const int subjectFormHeight = parentWidget() ? parentWidget()->height() : height();
    m_text->setGeometry(0, 0, pw, roundHalfEven(0.8 * subjectFormHeight));
    const int textBottom = m_text->y() + m_text->height();
    // Centred below the box by the button's height before it is resized.
    const int top = (height() - textBottom) / 2 + textBottom - m_testButton->height() / 2;
    const int w = roundHalfEven(0.1 * pw);
    m_testButton->setGeometry(roundHalfEven(0.5 * (pw - w)), top, w, w / 3);
}

void InstructionsView::showInstructions()
{
    loadInstructions();
    show();
    m_testButton->setFocus();
}

void InstructionsView::loadInstructions()
{
    // The file is read once; if that fails the subject still gets the
    // built-in instructions rather than an empty screen.
    const QString path = m_design.instructionFile;
    m_text->clear();
    if (!path.isEmpty() && QFileInfo(path).isFile()) {
        try {
            RtfReader::loadFile(path, *m_text->document());
            return;
        } catch (const Failure &) {
            m_prompts.error(InstructionFailed + path);
            m_text->clear();
        }
    }
    const int text = m_design.testingMode == TestingMode::Independent ? 1 : 2;
    m_text->setPlainText(InstructionHeading + QLatin1Char('\n') + QLatin1Char('\n') + Resources::instructionText(text));
}
