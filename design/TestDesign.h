#pragma once

// The one test design of a run: the ordered stimulus pictures (one task
// each), the colour hiding the masked-out pixels of each task position, the
// masking levels every task goes through, the accepted answers of each task,
// and the conditions of the test. Starts from these defaults at every start;
// nothing of it is kept between runs except what the examiner saves as a
// design file.

#include "common/Colour.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

// The test conditions with named values. Their stored meaning is the number
// each value stands for (0 or 1), as the choice groups list them.
enum class AllowBack { Yes = 0, No = 1 };                 // "Da (F5 tipka)", "Ne"
enum class Placement { TopLeft = 0, Centred = 1 };        // "Lijevo-gore", "Centriranje"
enum class TestingMode { Independent = 0, Assisted = 1 }; // "Samostalan", "Nesamostalan"

class TestDesign
{
public:
    static constexpr int MaxTasks = 1000;
    static constexpr int AnswerSlots = 10;

    using AnswerRow = std::array<QString, AnswerSlots>;

    TestDesign();

    // Task description (what a design file holds).
    QStringList stimuli;
    // One colour per task position, MaxTasks entries for the whole run: it
    // belongs to the position, not the picture, and never shrinks.
    std::vector<Colour> maskColours;
    QStringList maskLevels;
    // Rows 0..MaxTasks-1 are tasks 1..MaxTasks; slot 0 is also the task's label.
    std::vector<AnswerRow> solutions;

    // Test conditions (never stored in a file).
    Colour testWindowColour = White;
    bool securityMode = false;
    QString password;
    AllowBack allowBack = AllowBack::Yes;
    bool visualFeedback = true;
    bool auditoryFeedback = true;
    bool ignoreBackground = false;
    Placement placement = Placement::TopLeft;
    TestingMode testingMode = TestingMode::Assisted;
    QString instructionFile;

    // The design file last loaded, and the SHA-256 (hex) of its
    // bytes then: where a test's design came from.
    QString fileName;
    QByteArray fileSha256;

    int taskCount() const { return int(stimuli.size()); }

    // MaxTasks mask colours, all white: the table as the program starts with it.
    void resetMaskColours();

    // The non-empty accepted answers of task `task` (0-based), in slot order.
    QStringList answersOf(int task) const;

    static QStringList defaultMaskLevels();
};
