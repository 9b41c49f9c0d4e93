#include "design/ui/ConditionsPage.h"

#include "common/ui/CharacterValidator.h"
#include "common/ui/ContextHelp.h"
#include "common/ui/GeneralErrorHandler.h"
#include "common/ui/Prompts.h"
#include "common/ui/UpperCaseEdit.h"
#include "design/TestDesign.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

QCheckBox *checkBox(const QString &name, const QString &caption, QWidget *parent)
{
    auto *c = new QCheckBox(caption, parent);
    c->setObjectName(name);
    return c;
}

QGroupBox *group(const QString &name, const QString &caption, QWidget *parent)
{
    auto *g = new QGroupBox(caption, parent);
    g->setObjectName(name);
    return g;
}

} // namespace

ConditionsPage::ConditionsPage(TestDesign &design, Prompts &prompts, QWidget *parent)
    : QWidget(parent)
    , m_design(design)
    , m_prompts(prompts)
{
    auto *left = new QVBoxLayout;
    left->addWidget(createProtection());
    m_allowBackGroup = group(QStringLiteral("Radio3"), QStringLiteral("Vraćanje:"), this);
    m_allowBack = choice(m_allowBackGroup, {QStringLiteral("Da (F5 tipka)"), QStringLiteral("Ne")});
    ContextHelp::setHelpContext(m_allowBackGroup, 13);
    left->addWidget(m_allowBackGroup);
    left->addWidget(createFeedback());
    m_ignoreBackground = checkBox(QStringLiteral("Check1"), QStringLiteral("Ignoriraj pozadinu"), this);
    ContextHelp::setHelpContext(m_ignoreBackground, 14);
    left->addWidget(m_ignoreBackground);
    left->addStretch();

    auto *columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(createRightColumn());
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addLayout(createButtons());

    connectToDesign();
    refresh();
}

// "Zaštitne razine": the security mode and its password.
QGroupBox *ConditionsPage::createProtection()
{
    auto *protection = group(QStringLiteral("GroupBox1"), QStringLiteral("Zaštitne razine:"), this);
    m_securityMode = checkBox(QStringLiteral("Check2"), QStringLiteral("Sigurnosni mod"), protection);
    ContextHelp::setHelpContext(m_securityMode, 8);
    auto *passwordLabel = new QLabel(QStringLiteral("Šifra:"), protection);
    passwordLabel->setObjectName(QStringLiteral("Label2"));
    ContextHelp::setHelpContext(passwordLabel, 9);
    m_password = new UpperCaseEdit(protection);
    m_password->setObjectName(QStringLiteral("Edit3"));
    m_password->setMaxLength(PasswordLength);
    m_password->setValidator(new CharacterValidator(&ConditionsPage::acceptsPasswordCharacter, m_password));
    ContextHelp::setHelpContext(m_password, 9);
    passwordLabel->setBuddy(m_password);
    auto *protectionLayout = new QGridLayout(protection);
    protectionLayout->addWidget(m_securityMode, 0, 0, 1, 2);
    protectionLayout->addWidget(passwordLabel, 1, 0);
    protectionLayout->addWidget(m_password, 1, 1);
    return protection;
}

QGroupBox *ConditionsPage::createFeedback()
{
    auto *feedback = group(QStringLiteral("GroupBox3"), QStringLiteral("Povratna informacija:"), this);
    m_auditory = checkBox(QStringLiteral("Check5"), QStringLiteral("Slušna"), feedback);
    m_visual = checkBox(QStringLiteral("Check4"), QStringLiteral("Vidna"), feedback);
    for (QWidget *w :
         {static_cast<QWidget *>(feedback), static_cast<QWidget *>(m_auditory), static_cast<QWidget *>(m_visual)})
        ContextHelp::setHelpContext(w, 10);
    auto *feedbackLayout = new QVBoxLayout(feedback);
    feedbackLayout->addWidget(m_auditory);
    feedbackLayout->addWidget(m_visual);
    return feedback;
}

// The picture placement, the testing mode and the test window's colour.
QVBoxLayout *ConditionsPage::createRightColumn()
{
    auto *placement = group(QStringLiteral("Radio1"), QStringLiteral("Dimenzije podražaja:"), this);
    m_placement = choice(placement, {QStringLiteral("Lijevo-gore"), QStringLiteral("Centriranje")});
    ContextHelp::setHelpContext(placement, 11);

    auto *testingMode = group(QStringLiteral("Radio2"), QStringLiteral("Oblik testiranja"), this);
    m_testingMode = choice(testingMode, {QStringLiteral("Samostalan"), QStringLiteral("Nesamostalan")});
    ContextHelp::setHelpContext(testingMode, 20);

    auto *colourLabel = new QLabel(QStringLiteral("Boja test forme"), this);
    colourLabel->setObjectName(QStringLiteral("Label1"));
    auto *colour = new QPushButton(QStringLiteral("P&romjeni"), this);
    colour->setObjectName(QStringLiteral("Btn1"));
    ContextHelp::setHelpContext(colourLabel, 18);
    ContextHelp::setHelpContext(colour, 18);
    connectCommand(colour, &QPushButton::clicked, this, &ConditionsPage::Btn1Click);
    auto *colourRow = new QHBoxLayout;
    colourRow->addWidget(colourLabel);
    colourRow->addWidget(colour);
    colourRow->addStretch();

    auto *right = new QVBoxLayout;
    right->addWidget(placement);
    right->addWidget(testingMode);
    right->addLayout(colourRow);
    right->addStretch();
    return right;
}

// "&Uputa" on the left; "&Info" and "&Pomoć" on the right.
QHBoxLayout *ConditionsPage::createButtons()
{
    auto *instruction = new QPushButton(QStringLiteral("&Uputa"), this);
    instruction->setObjectName(QStringLiteral("Speed4"));
    auto *info = new QPushButton(QStringLiteral("&Info"), this);
    info->setObjectName(QStringLiteral("Speed3"));
    auto *help = new QPushButton(QStringLiteral("&Pomoć"), this);
    help->setObjectName(QStringLiteral("Btn2"));
    connectCommand(instruction, &QPushButton::clicked, this, &ConditionsPage::Speed4Click);
    connectCommand(help, &QPushButton::clicked, this, &ConditionsPage::Btn2Click);
    connect(info, &QPushButton::clicked, this, &ConditionsPage::aboutRequested);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(instruction);
    buttons->addStretch();
    buttons->addWidget(info);
    buttons->addWidget(help);
    return buttons;
}

// Every control writes its choice into the design at once.
void ConditionsPage::connectToDesign()
{
    connect(m_securityMode, &QCheckBox::toggled, this, [this](bool on) { m_design.securityMode = on; });
    // After the box has turned the typed text to capitals: textChanged can
    // still carry the text as typed.
    connect(m_password, &QLineEdit::textEdited, this, [this] { m_design.password = m_password->text(); });
    connect(m_allowBack, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on)
            m_design.allowBack = AllowBack(id);
    });
    connect(m_auditory, &QCheckBox::toggled, this, [this](bool on) { m_design.auditoryFeedback = on; });
    connect(m_visual, &QCheckBox::toggled, this, [this](bool on) { m_design.visualFeedback = on; });
    connect(m_ignoreBackground, &QCheckBox::toggled, this, [this](bool on) { m_design.ignoreBackground = on; });
    connect(m_placement, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on)
            m_design.placement = Placement(id);
    });
    connect(m_testingMode, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (!on)
            return;
        m_design.testingMode = TestingMode(id);
        GeneralErrorHandler::runCommand([this] { Radio2Click(); });
    });
}

QButtonGroup *ConditionsPage::choice(QGroupBox *box, const QStringList &captions)
{
    auto *buttons = new QButtonGroup(box);
    auto *layout = new QVBoxLayout(box);
    for (int id = 0; id < captions.size(); ++id) {
        auto *radio = new QRadioButton(captions[id], box);
        buttons->addButton(radio, id);
        layout->addWidget(radio);
    }
    return buttons;
}

bool ConditionsPage::acceptsPasswordCharacter(QChar c)
{
    return CharacterValidator::isCodePageCharacter(c) && (c == QLatin1Char(' ') || !c.isSpace());
}

void ConditionsPage::refresh()
{
    // Showing the design writes nothing back.
    const QSignalBlocker blockers[] = {QSignalBlocker(m_securityMode), QSignalBlocker(m_password),
                                       QSignalBlocker(m_allowBack),    QSignalBlocker(m_auditory),
                                       QSignalBlocker(m_visual),       QSignalBlocker(m_ignoreBackground),
                                       QSignalBlocker(m_placement),    QSignalBlocker(m_testingMode)};
    m_securityMode->setChecked(m_design.securityMode);
    m_password->setText(m_design.password);
    m_allowBack->button(int(m_design.allowBack))->setChecked(true);
    m_auditory->setChecked(m_design.auditoryFeedback);
    m_visual->setChecked(m_design.visualFeedback);
    m_ignoreBackground->setChecked(m_design.ignoreBackground);
    m_placement->button(int(m_design.placement))->setChecked(true);
    m_testingMode->button(int(m_design.testingMode))->setChecked(true);
    Radio2Click();
}

QWidget *ConditionsPage::firstControl() const
{
    return m_securityMode;
}

void ConditionsPage::Radio2Click()
{
    // Going back is a choice of the assisted mode only; the value stays either way.
    m_allowBackGroup->setEnabled(m_design.testingMode == TestingMode::Assisted);
}

void ConditionsPage::Btn1Click()
{
    if (const auto colour = m_prompts.chooseColour(m_design.testWindowColour))
        m_design.testWindowColour = *colour;
}

void ConditionsPage::Speed4Click()
{
    FileDialogRequest request;
    request.role = QStringLiteral("instruction");
    request.title = QStringLiteral("Staza upute:");
    request.filters =
        FileDialogRequest::parseFilter(QStringLiteral("Rich Text File (*.rtf)|*.rtf|Text File (*.txt)|*.txt"));
    request.defaultExtension = QStringLiteral("rtf");
    const QString path = m_prompts.openFile(request);
    if (!path.isEmpty())
        m_design.instructionFile = path;
}

void ConditionsPage::Btn2Click()
{
    ShowHelpTopic(this, QStringLiteral("1"));
}
