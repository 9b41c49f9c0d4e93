#pragma once

// A clock for tests: both the wall time and the monotonic count stand where
// the test puts them.

#include "common/Clock.h"

class FakeClock : public Clock
{
public:
    QDateTime wall = QDateTime(QDate(2024, 3, 1), QTime(23, 59, 0));
    qint64 ns = 0;
    QDateTime now() const override { return wall; }
    qint64 elapsedNs() const override { return ns; }
};
