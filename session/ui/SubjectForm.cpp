#include "session/ui/SubjectForm.h"

#include "common/Colour.h"
#include "common/NumberText.h"
#include "common/ui/GeneralErrorHandler.h"
#include "common/ui/Prompts.h"
#include "session/FeedbackSounds.h"
#include "session/SessionResult.h"
#include "session/ui/Cp1250Validator.h"
#include "session/ui/EnterPressesButton.h"
#include "session/ui/TestWindowFont.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace {

const QString BadAge = QStringLiteral("Pogrešno upisana dob. Dob mora biti cjeli broj u intervalu 1..140 (godina)!");
const QString Semicolon = QStringLiteral("Nedozvoljen znak unutar podataka o ispitaniku! . Ne smijete koristiti znak "
                                         "\";\" unutar polja za upis podataka o ispitaniku!");

} // namespace

SubjectForm::SubjectForm(Prompts &prompts, FeedbackSounds &sounds, QWidget *parent)
    : QWidget(parent)
    , m_prompts(prompts)
    , m_sounds(sounds)
{
    setObjectName(QStringLiteral("Panel1"));
    createFields(sounds);
    createLabels();
    m_boxPalette = m_name->palette();
    m_focusPalette = m_boxPalette;
    m_focusPalette.setColor(QPalette::Base, toQColor(rgbColour(255, 0, 0)));
    m_focusPalette.setColor(QPalette::Button, toQColor(rgbColour(255, 0, 0)));

    // Enter in a box must not press the button: it is not a default button.
    m_instructionsButton = new QPushButton(QStringLiteral("&Uputa"), this);
    m_instructionsButton->setObjectName(QStringLiteral("Btn1"));
    m_instructionsButton->setAutoDefault(false);
    EnterPressesButton::install(m_instructionsButton);
    connectCommand(m_instructionsButton, &QPushButton::clicked, this, &SubjectForm::Btn1Click);
}

void SubjectForm::createFields(FeedbackSounds &sounds)
{
    const QFont font = testWindowFont(16);
    auto beep = [&sounds] { sounds.beep(); };
    auto edit = [&](const char *name, int maxLength, bool upper) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        e->setMaxLength(maxLength);
        e->setFont(font);
        e->setValidator(new Cp1250Validator(upper, beep, e));
        return e;
    };
    m_name = edit("Name", 40, true);
    m_surname = edit("Surname", 40, true);
    m_age = edit("Age", 3, false);
    m_gender = new QComboBox(this);
    m_gender->setObjectName(QStringLiteral("Combo1"));
    m_gender->setFont(font);
    m_gender->setEditable(false);
    m_gender->addItems({QStringLiteral("Ženski"), QStringLiteral("Muški"), QString()});
    m_gender->setCurrentIndex(-1);
    m_freeFields[0] = edit("Field1", 100, false);
    m_freeFields[1] = edit("Field2", 100, false);
    m_freeFields[2] = edit("Field3", 100, false);
    m_tabRing = {m_name, m_surname, m_age, m_gender, m_freeFields[0], m_freeFields[1], m_freeFields[2]};
}

void SubjectForm::createLabels()
{
    const char *labels[] = {"Ime:", "Prezime:", "Dob:", "Spol:", "Polje1:", "Polje2:", "Polje3:"};
    for (int i = 0; i < m_tabRing.size(); ++i) {
        auto *label = new QLabel(QString::fromUtf8(labels[i]), this);
        label->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        label->setFont(testWindowFont(16));
        label->adjustSize();
        label->setBuddy(m_tabRing[i]);
        m_labels << label;
        QWidget *control = m_tabRing[i];
        control->resize(control == m_age      ? 60
                        : control == m_gender ? 160
                        : i < 2               ? 420
                                              : 600,
                        control->sizeHint().height());
        control->installEventFilter(this);
    }
}

void SubjectForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Panel1Resize();
}

void SubjectForm::Panel1Resize()
{
    const int pw = width();
    const int ph = height();
    const int gap = roundHalfEven(0.06 * ph);
    const int labelLeft = roundHalfEven(0.05 * pw);
    const int fieldLeft = roundHalfEven(0.2 * window()->frameGeometry().width());
    int top = gap;
    for (int i = 0; i < m_tabRing.size(); ++i) {
        QWidget *control = m_tabRing[i];
        QLabel *label = m_labels[i];
        control->move(fieldLeft, top);
        const int spare = control->height() - label->height();
        label->move(labelLeft, control == m_gender ? top + roundHalfEven(0.66 * spare) : top + spare / 2);
        top += control->height() + gap;
    }
    const int w = roundHalfEven(0.1 * pw);
    m_instructionsButton->setGeometry(roundHalfEven(0.5 * (pw - w)), top, w, w / 3);
}

bool SubjectForm::eventFilter(QObject *watched, QEvent *event)
{
    auto *control = qobject_cast<QWidget *>(watched);
    if (!m_tabRing.contains(control))
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

void SubjectForm::NameEnter(QWidget *control, Qt::FocusReason reason)
{
    if (reason == Qt::PopupFocusReason)
        return; // back from the gender list
    if (control != m_gender) {
        control->setPalette(m_focusPalette);
    } else if (m_gender->currentText().isEmpty()) {
        control->setPalette(m_focusPalette);
        m_gender->showPopup();
        // The entry Enter would take is the one the list shows highlighted.
        const int row = std::max(m_gender->currentIndex(), 0);
        m_gender->view()->setCurrentIndex(m_gender->model()->index(row, m_gender->modelColumn()));
    }
}

void SubjectForm::NameExit(QWidget *control, Qt::FocusReason reason)
{
    if (reason == Qt::PopupFocusReason)
        return;
    control->setPalette(m_boxPalette);
}

void SubjectForm::NameKeyUp(QWidget *control, int key)
{
    const int i = int(m_tabRing.indexOf(control));
    const int n = int(m_tabRing.size());
    const bool edit = control != m_gender;
    QWidget *to = nullptr;
    if (key == Qt::Key_Return || key == Qt::Key_Enter || (edit && key == Qt::Key_Down))
        to = m_tabRing[(i + 1) % n];
    else if (edit && key == Qt::Key_Up)
        to = m_tabRing[(i + n - 1) % n];
    else if (key == Qt::Key_Home)
        to = m_name;
    else if (key == Qt::Key_End)
        to = m_freeFields[2];
    if (to)
        to->setFocus(Qt::TabFocusReason);
}

bool SubjectForm::AgeKeyPress(QKeyEvent *event)
{
    const QString text = event->text();
    if (event->key() == Qt::Key_Backspace || text.isEmpty() || text[0].isNull() ||
        text[0].category() == QChar::Other_Control)
        return false;
    const QChar c = text[0];
    // A 0 that would become the first character, typed at the start or over
    // a selection that begins there, would let an age begin with 0.
    const bool first = m_age->hasSelectedText() ? m_age->selectionStart() == 0 : m_age->cursorPosition() == 0;
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9') && !(c == QLatin1Char('0') && first))
        return false;
    m_sounds.beep();
    return true;
}

void SubjectForm::clear()
{
    m_name->clear();
    m_surname->clear();
    m_age->clear();
    m_gender->setCurrentIndex(-1);
    for (QLineEdit *field : m_freeFields)
        field->clear();
}

void SubjectForm::focusFirstField()
{
    m_name->setFocus();
}

Subject SubjectForm::subject() const
{
    Subject s;
    s.Name = m_name->text();
    s.Surname = m_surname->text();
    s.Age = m_age->text();
    s.Gender = m_gender->currentIndex();
    s.GenderText = m_gender->currentText();
    s.Field1 = m_freeFields[0]->text();
    s.Field2 = m_freeFields[1]->text();
    s.Field3 = m_freeFields[2]->text();
    return s;
}

void SubjectForm::setSubject(const Subject &s)
{
    m_name->setText(s.Name);
    m_surname->setText(s.Surname);
    m_age->setText(s.Age);
    m_gender->setCurrentIndex(s.Gender);
    m_freeFields[0]->setText(s.Field1);
    m_freeFields[1]->setText(s.Field2);
    m_freeFields[2]->setText(s.Field3);
}

void SubjectForm::Btn1Click()
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
    for (const QLineEdit *box : {m_name, m_surname, m_age, m_freeFields[0], m_freeFields[1], m_freeFields[2]}) {
        if (box->text().contains(QLatin1Char(';'))) {
            m_prompts.error(Semicolon);
            return;
        }
    }
    Q_EMIT instructionsRequested();
}
