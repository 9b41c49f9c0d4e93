#include "app/TAboutBox.h"

#include "common/Version.h"

#include <QDate>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TAboutBox::TAboutBox(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Kalvestrin"));

    auto label = [this](const char *name, const QString &text) {
        auto *l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    QLabel *product = label("ProductName", QStringLiteral("Kalvestrin"));
    QFont big = product->font();
    big.setPointSize(16);
    big.setBold(true);
    product->setFont(big);
    QLabel *version = label("Version", QStringLiteral("Version: 3.0"));
    QLabel *comments = label("Comments", QStringLiteral("Test prepoznavanja slika pod maskiranjem."));
    // The compiler's date ("Dec  6 2026") written as dates are written here.
    const QDate built = QDate::fromString(QString::fromLatin1(__DATE__).simplified(), QStringLiteral("MMM d yyyy"));
    QLabel *build =
        label("Build", QStringLiteral("Izdanje %1, prevedeno %2.")
                           .arg(QStringLiteral(KALVESTRIN_VERSION), built.toString(QStringLiteral("d.M.yyyy"))));

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 14);
    layout->setSpacing(6);
    layout->addWidget(product);
    layout->addWidget(version);
    layout->addSpacing(8);
    layout->addWidget(comments);
    layout->addWidget(build);
    layout->addSpacing(10);
    layout->addLayout(buttons);
    // A small fixed box: no resizing.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
