#include "session/ui/TForm1.h"

#include "common/Colour.h"

#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QLineEdit>
#include <QVBoxLayout>

TForm1::TForm1(TestDesign &design, SessionState &session, Prompts &prompts, QWidget *parent)
    : QDialog(parent)
    , m_design(design)
    , m_session(session)
    , m_prompts(prompts)
{
    setWindowTitle(QStringLiteral("Kalvestrin"));
    resize(800, 578);

    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, toQColor(rgbColour(155, 155, 255)));
    panel->setPalette(pal);

    auto edit = [panel](const char *name, int maxLength) {
        auto *e = new QLineEdit(panel);
        e->setObjectName(QLatin1String(name));
        e->setMaxLength(maxLength);
        return e;
    };
    m_name = edit("Name", 40);
    m_surname = edit("Surname", 40);
    m_age = edit("Age", 3);
    m_gender = new QComboBox(panel);
    m_gender->setObjectName(QStringLiteral("Combo1"));
    m_gender->addItems({QStringLiteral("Ženski"), QStringLiteral("Muški"), QString()});
    m_gender->setCurrentIndex(-1);
    m_fields[0] = edit("Field1", 100);
    m_fields[1] = edit("Field2", 100);
    m_fields[2] = edit("Field3", 100);

    auto *form = new QFormLayout(panel);
    form->addRow(QStringLiteral("Ime:"), m_name);
    form->addRow(QStringLiteral("Prezime:"), m_surname);
    form->addRow(QStringLiteral("Dob:"), m_age);
    form->addRow(QStringLiteral("Spol:"), m_gender);
    form->addRow(QStringLiteral("Polje1:"), m_fields[0]);
    form->addRow(QStringLiteral("Polje2:"), m_fields[1]);
    form->addRow(QStringLiteral("Polje3:"), m_fields[2]);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(panel);
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
