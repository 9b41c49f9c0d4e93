#pragma once

// Prints a chart alone on the page of a print job, scaled into the chart
// rectangle of the printing unit. The chart's own drawing (titles, axes,
// series) is the chart's; it is laid out at the rectangle's shape for the
// moment of printing and then given back its size.

class PrintJob;

class QChart;

void PrintChart(QChart &chart, PrintJob &job);
