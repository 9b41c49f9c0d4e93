#pragma once

// The program's sense of time, injected so tests can set it: the local date
// and time for what is shown and stored, and a monotonic count for durations,
// which never runs backwards across midnight or a clock change.

#include <QDateTime>
#include <QElapsedTimer>

class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    // Nanoseconds since an arbitrary fixed start.
    virtual qint64 elapsedNs() const = 0;
};

class SystemClock : public Clock
{
public:
    SystemClock() { m_timer.start(); }
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    qint64 elapsedNs() const override { return m_timer.nsecsElapsed(); }

private:
    QElapsedTimer m_timer;
};
