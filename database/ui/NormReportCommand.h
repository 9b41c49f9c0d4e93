#pragma once

// Prints the clinician's report of one test against a norm group the
// examiner chooses (the choice is remembered for the next report): on the
// default printer or, without one, into a PDF file in the data folder, which
// is then named in an information box. The results window hands it the test
// it shows; the group results window the stored test of its current row.

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class Prompts;
class PrintTarget;
class QWidget;
class Regional;
class ResultsDatabase;
struct ReportSubject;

class NormReportCommand
{
public:
    // Answers with the chosen group's name, empty when the examiner cancels.
    using Chooser = std::function<QString(QWidget *parent, const QStringList &names, const QString &last)>;

    NormReportCommand(ResultsDatabase &con, Prompts &prompts, const Regional &regional,
                      std::unique_ptr<PrintTarget> target);
    ~NormReportCommand();

    void setChooser(Chooser chooser) { m_chooser = std::move(chooser); }
    void setPrintTarget(std::unique_ptr<PrintTarget> target);
    const QString &lastChoice() const { return m_last; }
    // Keeps the last choice in the settings file `iniPath` too, so that the
    // next start of the program offers it again.
    void rememberIn(const QString &iniPath);

    void print(QWidget *parent, const ReportSubject &subject);
    void printStored(QWidget *parent, qint64 id);

private:
    ResultsDatabase &m_con;
    Prompts &m_prompts;
    const Regional &m_regional;
    std::unique_ptr<PrintTarget> m_target;
    Chooser m_chooser;
    QString m_last;
    QString m_iniPath;
};
