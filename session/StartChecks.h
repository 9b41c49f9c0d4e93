#pragma once

// Whether a design can be run as a test: the checks made before the first
// picture, each failure with the box it is reported in. The test window shows
// the messages in order and starts only when there are none.

#include <QList>
#include <QString>
#include <QStringList>

class TestDesign;

struct StartMessage
{
    enum class Kind { Warning, Error };
    Kind kind;
    QString text;

    bool operator==(const StartMessage &o) const { return kind == o.kind && text == o.text; }
};

// True when the levels are whole numbers, strictly decreasing, ending with 1.
// An empty list or an entry that is not a number also adds its own message.
bool ValidateMaskLevels(const QStringList &levels, QList<StartMessage> *messages = nullptr);

// Every message to show before a test of `design` may start; empty: it may.
QList<StartMessage> StartChecks(const TestDesign &design);

// What to tell the examiner before a test on a display of this device pixel
// ratio; empty when pictures are shown one picture pixel per screen pixel at
// the size they were made for. The test may go on either way.
QString DisplayScaleWarning(double devicePixelRatio);
