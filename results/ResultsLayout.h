#pragma once

// Where the results window puts its parts for a window W pixels wide: the
// fact labels one step apart, the chart, the caution line and the table, all
// indented by a tenth of the width.

#include <QList>
#include <QRect>

struct ResultsLayout
{
    int step = 0;
    int left = 0;
    QList<int> labelTops; // one per fact label, in order
    QRect chart;
    int cautionTop = 0;
    QRect table;

    static ResultsLayout compute(int windowWidth, int cautionHeight, int toolBarHeight, int labelCount, int rowCount,
                                 int rowHeight = 24, int gridLineWidth = 1);
};
