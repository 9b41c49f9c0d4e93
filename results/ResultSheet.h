#pragma once

// What the individual results window shows of one test, as texts and numbers:
// the fact label captions, the caution line, the chart's title, axes and
// points, and the table's cells. Built from a finished test or, field by
// field, from an archive file; the window only puts it on screen and the
// print commands read it back from there.

#include "common/Regional.h"
#include "session/SessionResult.h"

#include <QList>
#include <QPointF>
#include <QString>
#include <QStringList>

struct ResultSheet
{
    static constexpr int FactLabelCount = 14; // Label2 .. Label15
    static constexpr int ColumnCount = 5;
    static const QString CautionText;

    QString labels[FactLabelCount];
    bool cautionShown = false;
    QStringList title; // lines of the chart title
    int categoryMax = 30;
    QString valuePicture = QStringLiteral("#,##");
    QList<QPointF> points;
    QList<QStringList> cells; // rows of ColumnCount texts, row 0 the headers
    // The display a test just finished ran on; empty for an archive, which does not keep it.
    QString displayLine;
    // The test's M as a number, for scoring against norms; set with its scores.
    long double mean = 0;
    bool scored = false;

    // The value axis runs from 0 to the largest point, or to 100 when no point lies above 0.
    double valueMax() const;

    // The window as it stands before any result is shown.
    static ResultSheet initial();
    static ResultSheet fromResult(const SessionResult &result, const Regional &regional);

    // An empty table of `rows` rows under the headers.
    void resetCells(int rows);
    // Row `task` (1-based) columns 1 to 4 from its efficiency, or column 0 from its label.
    void setEfficiency(int task, long double efficiency, QChar separator);
    void setLabel(int task, const QString &label);
    // The mean and variance rows under `taskCount` task rows.
    void setScores(int taskCount, long double mean, long double variance, QChar separator);
};
