#pragma once

// The report for the clinician: one A4 page (more when the task table does
// not fit under the chart) with the test's facts, the norm group, the scores
// against it, a chart of the task efficiencies over the group's median and
// quartile band, the task table and a line for the examiner's signature.
// Paints on any QPainter (printer, PDF writer, image); further pages are
// asked of the caller.

#include "results/NormGroup.h"
#include "results/ReportSubject.h"

#include <QFont>
#include <QRect>
#include <QStringList>

#include <functional>

class QPainter;

class NormReport
{
public:
    NormReport(ReportSubject subject, NormGroup group, QChar separator);

    const NormScore &score() const { return m_score; }
    // The scores as printed: "Centilni rang: 62,5", "z: 0,87", "T: 58,7", "Stanine: 7".
    QStringList scoreTexts() const;
    // What the page says about the group: its name and n, its definition,
    // and the cautions that apply.
    QStringList groupLines() const;

    // Paints every page; returns how many there were.
    int paint(QPainter &painter, const std::function<void()> &newPage) const;

private:
    struct Cursor
    {
        QRect area; // the page inside its margins
        int y = 0;
        int unit = 1; // device pixels per millimetre
    };

    int taskCount() const;
    int drawText(QPainter &painter, Cursor &c, const QString &text, const QFont &font, int flags = Qt::AlignLeft) const;
    void paintHeader(QPainter &painter, Cursor &c) const;
    void paintFacts(QPainter &painter, Cursor &c) const;
    void paintChart(QPainter &painter, const QRect &rect) const;
    void paintChartAxes(QPainter &painter, const QRect &plot, int count, double top) const;
    void paintLegend(QPainter &painter, Cursor &c) const;
    // The table's header and its rows from `first` up to `end`; the next row to print.
    int paintTable(QPainter &painter, Cursor &c, int first, int end) const;
    int rowHeight(QPainter &painter) const;
    void paintSignature(QPainter &painter, const Cursor &c) const;
    void paintPageNumber(QPainter &painter, const Cursor &c, int page) const;
    QString number(long double value, int decimals) const;

    ReportSubject m_subject;
    NormGroup m_group;
    NormScore m_score;
    QChar m_separator;
    QFont m_font, m_bold, m_title, m_small;
};
