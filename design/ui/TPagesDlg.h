#pragma once

// The design dialog: the one editor of the current test design, in three
// pages ("Zadaci", "Rješenja", "Parametri"). Its commands change the design at
// once; closing it normalises the answers, warns about whatever would spoil a
// test, cleans the password and ends with closed(), on which the main window
// applies the design's security mode.

#include "common/ui/CapsLock.h"
#include "design/TestWindowMetrics.h"

#include <QDialog>
#include <QPointer>

#include <functional>

class ConditionsPage;
class Prompts;
class QTabWidget;
class SolutionsPage;
class TasksPage;
class TestDesign;

class TPagesDlg : public QDialog
{
    Q_OBJECT
public:
    // `capsLock` serves the answers grid; the design choosers start in `dataFolder`.
    TPagesDlg(TestDesign &design, Prompts &prompts, CapsLock capsLock, const QString &dataFolder,
              QWidget *parent = nullptr);

    // The About box that "&Info" opens (not owned; created after this dialog).
    void setAboutBox(QDialog *aboutBox);

    // The test window's size and answer bar, asked for at each closing.
    // Unset: the primary screen's available area and no answer bar.
    void setTestWindowMetrics(std::function<TestWindowMetrics()> metrics);

    TasksPage *tasksPage() const { return m_tasks; }

    // Every control shows the design afresh.
    void refresh();

    // "&Info": the About box, modally.
    void Speed3Click();

    // Closing by any way (close button, Escape, Alt+F4) comes through here.
    void done(int result) override;

Q_SIGNALS:
    void closed();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormClose();
    TestWindowMetrics testWindowMetrics() const;

    TestDesign &m_design;
    Prompts &m_prompts;
    QPointer<QDialog> m_aboutBox;
    std::function<TestWindowMetrics()> m_metrics;
    QTabWidget *m_pages = nullptr;
    TasksPage *m_tasks = nullptr;
    SolutionsPage *m_solutions = nullptr;
    ConditionsPage *m_conditions = nullptr;
};
