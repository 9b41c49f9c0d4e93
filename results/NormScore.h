#pragma once

// Where one test's M stands against a norm group.

#include <QtGlobal>

struct NormScore
{
    long double percentile = 0; // 0..100; larger is better
    long double z = 0;          // (group mean - M) / s
    long double t = 0;          // 50 + 10 z
    int stanine = 0;            // 1..9
    qint64 n = 0;               // the group's tests
    bool small = false;         // the group is small: read with caution
    bool interpolated = false;  // the percentile comes from a table's points
};
