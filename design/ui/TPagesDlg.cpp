#include "design/ui/TPagesDlg.h"

#include "common/ui/GeneralErrorHandler.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

TPagesDlg::TPagesDlg(TestDesign &design, Prompts &prompts, QWidget *parent)
    : QDialog(parent)
    , m_design(design)
    , m_prompts(prompts)
{
    setWindowTitle(QStringLiteral("Kalvestrin. Definiranje"));
    resize(640, 480);

    auto *info = new QPushButton(QStringLiteral("&Info"), this);
    info->setObjectName(QStringLiteral("Speed3"));
    connectCommand(info, &QPushButton::clicked, this, &TPagesDlg::Speed3Click);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(info);
    auto *layout = new QVBoxLayout(this);
    layout->addStretch();
    layout->addLayout(buttons);
}

void TPagesDlg::setAboutBox(QDialog *aboutBox)
{
    m_aboutBox = aboutBox;
}

void TPagesDlg::Speed3Click()
{
    if (m_aboutBox)
        m_aboutBox->exec();
}

void TPagesDlg::done(int result)
{
    QDialog::done(result);
    // Last step of closing: the main window locks or unlocks itself from the design.
    Q_EMIT closed();
}
