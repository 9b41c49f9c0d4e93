#pragma once

// The test window's second screen (Panel2): the instruction text in the box
// RE, from the design's instruction file or the built-in text of its mode,
// and the "&Test" button that starts the test.

#include <QWidget>

class Prompts;
class QPushButton;
class QTextEdit;
class TestDesign;

class InstructionsView : public QWidget
{
    Q_OBJECT
public:
    InstructionsView(const TestDesign &design, Prompts &prompts, QWidget *parent);

    // Fills the box for the design as it stands, shows this screen and
    // gives "&Test" the focus.
    void showInstructions();

Q_SIGNALS:
    void testRequested();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void loadInstructions();
    void Panel2Resize();

    const TestDesign &m_design;
    Prompts &m_prompts;
    QTextEdit *m_text = nullptr;
    QPushButton *m_testButton = nullptr;
};
