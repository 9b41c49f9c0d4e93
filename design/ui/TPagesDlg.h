#pragma once

// The design dialog: the one editor of the current test design. Every
// closing ends with closed(), on which the main window applies the design's
// security mode.

#include <QDialog>
#include <QPointer>

class Prompts;
class QPushButton;
class TestDesign;

class TPagesDlg : public QDialog
{
    Q_OBJECT
public:
    TPagesDlg(TestDesign &design, Prompts &prompts, QWidget *parent = nullptr);

    // The About box that "&Info" opens (not owned; created after this dialog).
    void setAboutBox(QDialog *aboutBox);

    // "&Info": the About box, modally.
    void Speed3Click();

    // Closing by any way (close button, Escape, done()) comes through here.
    void done(int result) override;

Q_SIGNALS:
    void closed();

private:
    TestDesign &m_design;
    Prompts &m_prompts;
    QPointer<QDialog> m_aboutBox;
};
