#pragma once

// What the design's closing checks need to know of the test window: its
// outer size as it stands during a test (maximised) and the height of the
// answer bar along its bottom, which pictures must not reach under.

#include <QSize>

struct TestWindowMetrics
{
    QSize outerSize;
    int answerBarHeight = 0;
};
