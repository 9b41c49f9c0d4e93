#pragma once

// One completed test as the end of a test hands it on: who was tested, when
// and how, every task's score, the test's scores, and the timing of every
// presentation. The results window, the archive text and the results
// database each receive it through a ResultSink; none of them reads the test
// window's controls.

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QSize>
#include <QString>
#include <QUuid>

// The person tested, as typed into the subject form.
struct Subject
{
    QString Name, Surname, Age;
    int Gender = -1; // index of the gender choice: 0 "Ženski", 1 "Muški", -1 none
    QString GenderText;
    QString Field1, Field2, Field3;
};

struct TaskResult
{
    QString label; // the task's first accepted answer
    bool recognised = false;
    double efficiency = 0; // 2.0 when never recognised
};

// One picture on screen: when it appeared and when it was answered.
struct Presentation
{
    int task = 0;           // 0-based
    int levelIndex = 0;     // 0-based index into the design's levels
    int level = 0;          // the level's value
    qint64 onsetNs = 0;     // after the frame was flushed to the screen
    qint64 responseNs = -1; // press of the answering key; -1 while none
    QString key;            // the answering key ("Return", "Y", "N", "F5")
    double efficiency = 0;  // the fraction of the picture's pixels in this frame
    QString typedAnswer;    // what the subject typed (independent mode only)
    QString judgement;      // "recognised", "unrecognised" or "back" (F5)
};

// Where and how a test ran, kept beside its scores so every stored test can be
// traced to its station, design file and display.
struct SessionInfo
{
    QUuid uuid; // names the test in the journal, the results database and beyond
    QString station;
    QString designPath;
    QByteArray designSha256; // of the design file's bytes, hex
    QDateTime startedUtc, finishedUtc;
    QSize screenSize;
    double devicePixelRatio = 1;
    double refreshRate = 0; // Hz; 0: unknown
    // Whether a compositing manager ran: it may delay or resample frames.
    enum class Compositor { Unknown, No, Yes };
    Compositor compositor = Compositor::Unknown;
};

struct SessionResult
{
    Subject subject;
    QDate testDate;
    double duration = 0; // in days
    bool independentMode = false;
    QString modeText;
    bool ignoreBackground = false;
    int stimulusCount = 0;
    int unrecognisedCount = 0;
    long double mean = 0;
    long double variance = 0;
    QList<TaskResult> tasks;
    QList<Presentation> presentations;
    SessionInfo session;
};

// A consumer of finished tests.
class ResultSink
{
public:
    virtual ~ResultSink() = default;
    virtual void accept(const SessionResult &result) = 0;
};
