#include "results/ResultsLayout.h"

#include "common/NumberText.h"

ResultsLayout ResultsLayout::compute(int w, int cautionHeight, int toolBarHeight, int labelCount, int rowCount,
                                     int rowHeight, int gridLineWidth)
{
    ResultsLayout l;
    l.step = roundHalfEven(1.5 * cautionHeight) + toolBarHeight;
    l.left = roundHalfEven(0.1 * w);
    int top = 0;
    for (int i = 0; i < labelCount; ++i) {
        top += l.step;
        l.labelTops << top;
    }
    top += l.step;
    l.chart = QRect(l.left, top, roundHalfEven(0.8 * w), roundHalfEven(0.6 * w));
    top += l.chart.height() + l.step;
    l.cautionTop = top;
    top += l.step;
    l.table = QRect(l.left, top, roundHalfEven(0.8 * w), (rowHeight + 2 * gridLineWidth) * rowCount);
    return l;
}
