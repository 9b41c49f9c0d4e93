#pragma once

// The norm groups window: lists the norm groups of the results database,
// makes a new one from stored tests chosen by filters, renames, deletes,
// and exports and imports them as CSV files.

#include <QDialog>

class Clock;
class Prompts;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class ResultsDatabase;
struct FileDialogRequest;
struct NormFilter;

class NormGroupsWindow : public QDialog
{
    Q_OBJECT
public:
    NormGroupsWindow(ResultsDatabase &con, Prompts &prompts, const Clock &clock, const QString &dataFolder,
                     QWidget *parent = nullptr);

    QListWidget *list() const { return m_list; }
    QLineEdit *edit(const QString &objectName) const;
    QComboBox *genderBox() const { return m_gender; }
    QLabel *details() const { return m_details; }

    // Reads the groups again, keeping `current` selected where it is there.
    void refresh(const QString &current = {});

    void Btn1Click(); // "Izračunaj i spremi"
    void Btn2Click(); // "Preimenuj"
    void Btn3Click(); // "Obriši"
    void Btn4Click(); // "Izvoz CSV"
    void Btn5Click(); // "Uvoz CSV"

private:
    // A chooser of a norm group's CSV file in the data folder.
    FileDialogRequest csvRequest(const QString &title) const;
    void createForm();
    void createButtons();
    QString selected() const;
    void showDetails();
    // The filters as typed; false (after a warning) when one cannot be read.
    bool readFilter(NormFilter &filter);
    QString requireName();

    ResultsDatabase &m_con;
    Prompts &m_prompts;
    const Clock &m_clock;
    QString m_dataFolder;
    QListWidget *m_list = nullptr;
    QLabel *m_details = nullptr;
    QComboBox *m_gender = nullptr;
    QList<QLineEdit *> m_edits;
};
