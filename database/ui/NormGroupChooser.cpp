#include "database/ui/NormGroupChooser.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

NormGroupChooser::NormGroupChooser(const QStringList &names, const QString &last, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Kalvestrin. Izvještaj prema normama"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Normna skupina:"), this));
    m_list = new QComboBox(this);
    m_list->setObjectName(QStringLiteral("Lista_normi"));
    m_list->addItems(names);
    m_list->setCurrentIndex(std::max(0, int(names.indexOf(last))));
    layout->addWidget(m_list);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Ispiši"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Odustani"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QString NormGroupChooser::chosen() const
{
    return m_list->currentText();
}
