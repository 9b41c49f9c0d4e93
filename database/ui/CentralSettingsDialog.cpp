#include "database/ui/CentralSettingsDialog.h"

#include "common/Failure.h"
#include "common/ui/Prompts.h"
#include "database/central/CentralStore.h"
#include "database/ui/BackgroundCall.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

CentralSettingsDialog::CentralSettingsDialog(const QString &dataFolder, Prompts &prompts, QWidget *parent)
    : QDialog(parent)
    , m_dataFolder(dataFolder)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("CentralSettings"));
    setWindowTitle(QStringLiteral("Kalvestrin. Središnja baza podataka"));

    m_host = new QLineEdit(this);
    m_host->setObjectName(QStringLiteral("Host"));
    m_host->setPlaceholderText(QStringLiteral("ime ili adresa poslužitelja"));
    m_port = new QSpinBox(this);
    m_port->setObjectName(QStringLiteral("Port"));
    m_port->setRange(0, 65535);
    m_port->setSpecialValueText(QStringLiteral("zadani (5432)"));
    m_database = new QLineEdit(this);
    m_database->setObjectName(QStringLiteral("Database"));
    m_user = new QLineEdit(this);
    m_user->setObjectName(QStringLiteral("User"));
    m_sslMode = new QComboBox(this);
    m_sslMode->setObjectName(QStringLiteral("SslMode"));
    m_sslMode->addItem(QStringLiteral("zadano (prefer)"), QString());
    for (const char *mode : {"disable", "allow", "prefer", "require", "verify-ca", "verify-full"})
        m_sslMode->addItem(QLatin1String(mode), QLatin1String(mode));

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Poslužitelj:"), m_host);
    form->addRow(QStringLiteral("P&ort:"), m_port);
    form->addRow(QStringLiteral("&Baza podataka:"), m_database);
    form->addRow(QStringLiteral("&Korisnik:"), m_user);
    form->addRow(QStringLiteral("&Šifriranje (sslmode):"), m_sslMode);
    auto *note = new QLabel(PasswordNote, this);
    note->setWordWrap(true);

    auto *buttons = new QDialogButtonBox(this);
    m_check = buttons->addButton(QStringLiteral("Provjeri &vezu"), QDialogButtonBox::ActionRole);
    m_check->setObjectName(QStringLiteral("ProvjeriVezu"));
    buttons->addButton(QStringLiteral("U redu"), QDialogButtonBox::AcceptRole)->setObjectName(QStringLiteral("OK"));
    buttons->addButton(QStringLiteral("Odustani"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("Odustani"));
    connect(m_check, &QPushButton::clicked, this, &CentralSettingsDialog::checkClick);
    connect(buttons, &QDialogButtonBox::accepted, this, &CentralSettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CentralSettingsDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(buttons);
    setSettings(ServerSettings::read(m_dataFolder));
    // Wide enough for a socket folder or a long host name, and the caption whole.
    setMinimumWidth(520);
}

ServerSettings CentralSettingsDialog::settings() const
{
    ServerSettings s;
    s.host = m_host->text().trimmed();
    s.port = m_port->value();
    s.database = m_database->text().trimmed();
    s.user = m_user->text().trimmed();
    s.sslMode = m_sslMode->currentData().toString();
    return s;
}

void CentralSettingsDialog::setSettings(const ServerSettings &settings)
{
    m_host->setText(settings.host);
    m_port->setValue(settings.port);
    m_database->setText(settings.database);
    m_user->setText(settings.user);
    m_sslMode->setCurrentIndex(std::max(0, m_sslMode->findData(settings.sslMode)));
}

void CentralSettingsDialog::checkClick()
{
    if (m_checking)
        return;
    const ServerSettings s = settings();
    if (!s.isConfigured()) {
        m_prompts.warning(QStringLiteral("Upišite ime baze podataka na poslužitelju."));
        return;
    }
    m_checking = true;
    m_check->setEnabled(false);
    runInBackground<QString>(
        this, [s] { return CentralStore::checkConnection(s); },
        [this](const QString &problem) {
            m_checking = false;
            m_check->setEnabled(true);
            if (problem.isEmpty())
                m_prompts.information(ConnectionFineText);
            else
                m_prompts.error(problem);
        });
}

void CentralSettingsDialog::accept()
{
    try {
        settings().write(m_dataFolder);
    } catch (const Failure &failure) {
        m_prompts.error(failure.text());
        return;
    }
    QDialog::accept();
}
