#pragma once

// The station's setting for the central database: host, port, database,
// user and sslmode, written to the data folder's Kalvestrin.ini. It has no
// password field: the password comes from the user's password file.
// "Provjeri vezu" tries the connection without stopping the window.

#include "database/central/ServerSettings.h"

#include <QDialog>

class Prompts;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

class CentralSettingsDialog : public QDialog
{
    Q_OBJECT
public:
    inline static const QString PasswordNote =
        QStringLiteral("Lozinka se ovdje ne upisuje: program je uzima iz datoteke lozinki (.pgpass) korisnika "
                       "ovog računala.");
    inline static const QString ConnectionFineText = QStringLiteral("Veza sa središnjom bazom podataka je ispravna.");

    CentralSettingsDialog(const QString &dataFolder, Prompts &prompts, QWidget *parent = nullptr);

    ServerSettings settings() const;
    void setSettings(const ServerSettings &settings);

    // "Provjeri vezu": says, when the server has answered, what went wrong or that all is well.
    void checkClick();
    bool isChecking() const { return m_checking; }

    // "U redu": writes the setting; a file that cannot be written keeps the dialog open.
    void accept() override;

private:
    QString m_dataFolder;
    Prompts &m_prompts;
    QLineEdit *m_host = nullptr;
    QSpinBox *m_port = nullptr;
    QLineEdit *m_database = nullptr;
    QLineEdit *m_user = nullptr;
    QComboBox *m_sslMode = nullptr;
    QPushButton *m_check = nullptr;
    bool m_checking = false;
};
