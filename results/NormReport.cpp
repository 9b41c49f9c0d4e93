#include "results/NormReport.h"

#include "common/NumberText.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace {

const QStringList TableHeaders{QStringLiteral("Zadatak"), QStringLiteral("Efikasnost"),
                               QStringLiteral("Medijan skupine"), QStringLiteral("Prvi kvartil"),
                               QStringLiteral("Treći kvartil")};
constexpr double ColumnShares[5] = {0.32, 0.17, 0.17, 0.17, 0.17};
const QColor BandColour{205, 205, 205};
const QColor MedianColour{90, 90, 90};
constexpr int ChartHeightMm = 70;
constexpr int SignatureHeightMm = 24;

QFont arial(int points, bool bold)
{
    QFont f(QStringLiteral("Arial"), points);
    f.setBold(bold);
    return f;
}

} // namespace

NormReport::NormReport(ReportSubject subject, NormGroup group, QChar separator)
    : m_subject(std::move(subject))
    , m_group(std::move(group))
    , m_score(m_group.score(m_subject.mean))
    , m_separator(separator)
    , m_font(arial(10, false))
    , m_bold(arial(10, true))
    , m_title(arial(14, true))
    , m_small(arial(8, false))
{}

QString NormReport::number(long double value, int decimals) const
{
    return F(value, 15, decimals, m_separator);
}

QStringList NormReport::scoreTexts() const
{
    return {QStringLiteral("Centilni rang: ") + number(m_score.percentile, 1),
            QStringLiteral("z: ") + number(m_score.z, 2), QStringLiteral("T: ") + number(m_score.t, 1),
            QStringLiteral("Stanine: %1").arg(m_score.stanine)};
}

QStringList NormReport::groupLines() const
{
    QStringList lines{QStringLiteral("Normna skupina: %1 (n = %2; M = %3; sd = %4)")
                          .arg(m_group.name)
                          .arg(m_group.n)
                          .arg(number(m_group.mean, 5), number(m_group.sd, 5))};
    if (!m_group.definition.isEmpty())
        lines << QStringLiteral("Definicija skupine: ") + m_group.definition;
    if (m_score.interpolated)
        lines << QStringLiteral("Centilni rang izračunat je linearnom interpolacijom između točaka objavljene "
                                "tablice normi.");
    if (m_score.small)
        lines << QStringLiteral("Oprez: normna skupina ima manje od %1 testiranja (n = %2); rezultate treba "
                                "tumačiti s oprezom.")
                     .arg(NormGroup::SmallGroup)
                     .arg(m_group.n);
    return lines;
}

int NormReport::taskCount() const
{
    return int(std::max(m_subject.efficiencies.size(), m_group.tasks.size()));
}

int NormReport::drawText(QPainter &painter, Cursor &c, const QString &text, const QFont &font, int flags) const
{
    painter.setFont(font);
    const QRect box(c.area.left(), c.y, c.area.width(), c.area.bottom() - c.y);
    QRect used;
    painter.drawText(box, flags | Qt::TextWordWrap, text, &used);
    c.y += used.height();
    return used.height();
}

int NormReport::paint(QPainter &painter, const std::function<void()> &newPage) const
{
    const QPaintDevice *device = painter.device();
    Cursor c;
    c.unit = std::max(1, device->width() / 210);
    const int margin = 18 * c.unit;
    c.area = QRect(margin, 14 * c.unit, device->width() - 2 * margin, device->height() - 28 * c.unit);
    c.y = c.area.top();
    painter.setPen(Qt::black);
    paintHeader(painter, c);
    const QRect chart(c.area.left(), c.y, c.area.width(), ChartHeightMm * c.unit);
    paintChart(painter, chart);
    c.y = chart.bottom() + c.unit;
    paintLegend(painter, c);
    c.y += 3 * c.unit;

    // The table runs on under the chart and over as many pages as it needs;
    // the signature follows its last row, on the same page.
    const int signatureTop = c.area.bottom() - SignatureHeightMm * c.unit;
    const int rows = taskCount();
    const int h = rowHeight(painter);
    int page = 1;
    int next = 0;
    for (;;) {
        const int aboveSignature = std::max(0, (signatureTop - c.y) / h - 1);
        const int onPage = std::max(0, (c.area.bottom() - c.y) / h - 1);
        const int remaining = rows - next;
        // A fresh page always takes a row, however small the paper.
        const int count = std::max(remaining <= aboveSignature ? remaining : std::min(onPage, remaining - 1),
                                   c.y == c.area.top() ? 1 : 0);
        next = paintTable(painter, c, next, next + count);
        if (next >= rows)
            break;
        paintPageNumber(painter, c, page++);
        newPage();
        c.y = c.area.top();
    }
    paintSignature(painter, c);
    paintPageNumber(painter, c, page);
    return page;
}

void NormReport::paintHeader(QPainter &painter, Cursor &c) const
{
    drawText(painter, c, QStringLiteral("K A L V E S T R I N"), m_title, Qt::AlignHCenter);
    drawText(painter, c, QStringLiteral("Izvještaj o testiranju prema normama"), m_bold, Qt::AlignHCenter);
    c.y += 4 * c.unit;
    paintFacts(painter, c);
    c.y += 3 * c.unit;
    const QStringList lines = groupLines();
    for (qsizetype i = 0; i < lines.size(); ++i)
        drawText(painter, c, lines[i], i == 0 || lines[i].startsWith(QLatin1String("Oprez")) ? m_bold : m_font);
    c.y += 3 * c.unit;
    drawText(painter, c, scoreTexts().join(QStringLiteral("     ")), arial(12, true));
    c.y += 3 * c.unit;
}

// The facts in two columns, as the results window lists them.
void NormReport::paintFacts(QPainter &painter, Cursor &c) const
{
    painter.setFont(m_font);
    const int half = int((m_subject.facts.size() + 1) / 2);
    const int line = QFontMetrics(m_font, painter.device()).lineSpacing();
    const int width = c.area.width() / 2;
    for (int i = 0; i < m_subject.facts.size(); ++i) {
        const int column = i < half ? 0 : 1;
        const int row = i < half ? i : i - half;
        painter.drawText(QRect(c.area.left() + column * width, c.y + row * line, width - c.unit, line),
                         Qt::AlignLeft | Qt::AlignVCenter, m_subject.facts[i]);
    }
    c.y += half * line;
}

void NormReport::paintChart(QPainter &painter, const QRect &rect) const
{
    const int count = taskCount();
    if (count == 0)
        return;
    double top = 1;
    for (double e : m_subject.efficiencies)
        top = std::max(top, e);
    for (const TaskNorm &t : m_group.tasks)
        top = std::max(top, t.q3);
    top = std::ceil(top * 4) / 4;
    const int unit = std::max(1, rect.height() / ChartHeightMm);
    const QRect plot = rect.adjusted(16 * unit, 2 * unit, -2 * unit, -12 * unit);
    auto at = [&](int task, double value) {
        const double x = count == 1 ? plot.center().x() : plot.left() + double(task) / (count - 1) * plot.width();
        return QPointF(x, plot.bottom() - value / top * plot.height());
    };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPolygonF band;
    for (int i = 0; i < m_group.tasks.size(); ++i)
        band << at(i, m_group.tasks[i].q3);
    for (qsizetype i = m_group.tasks.size() - 1; i >= 0; --i)
        band << at(int(i), m_group.tasks[i].q1);
    painter.setPen(Qt::NoPen);
    painter.setBrush(BandColour);
    painter.drawPolygon(band);
    painter.setBrush(Qt::NoBrush);
    QPolygonF median, subject;
    for (int i = 0; i < m_group.tasks.size(); ++i)
        median << at(i, m_group.tasks[i].median);
    for (int i = 0; i < m_subject.efficiencies.size(); ++i)
        subject << at(i, m_subject.efficiencies[i]);
    painter.setPen(QPen(MedianColour, 0.5 * unit, Qt::DashLine));
    painter.drawPolyline(median);
    painter.setPen(QPen(Qt::black, 0.6 * unit));
    painter.drawPolyline(subject);
    painter.restore();
    paintChartAxes(painter, plot, count, top);
}

void NormReport::paintChartAxes(QPainter &painter, const QRect &plot, int count, double top) const
{
    const int unit = std::max(1, plot.height() / (ChartHeightMm - 14));
    painter.setPen(QPen(Qt::black, 0));
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    painter.setFont(m_small);
    for (int k = 0; k <= 4; ++k) {
        const double value = top * k / 4;
        const int y = int(plot.bottom() - value / top * plot.height());
        painter.drawLine(plot.left() - unit, y, plot.left(), y);
        painter.drawText(QRect(plot.left() - 12 * unit, y - 3 * unit, 10 * unit, 6 * unit),
                         Qt::AlignRight | Qt::AlignVCenter, number(value, 2));
    }
    const int step = std::max(1, (count + 19) / 20);
    for (int task = 1; task <= count; task += step) {
        const double x = count == 1 ? plot.center().x() : plot.left() + double(task - 1) / (count - 1) * plot.width();
        painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + unit));
        painter.drawText(QRectF(x - 5 * unit, plot.bottom() + unit, 10 * unit, 5 * unit), Qt::AlignCenter,
                         QString::number(task));
    }
    painter.drawText(QRect(plot.left(), plot.bottom() + 6 * unit, plot.width(), 5 * unit), Qt::AlignCenter,
                     QStringLiteral("Redni broj zadatka"));
    painter.save();
    painter.translate(plot.left() - 15 * unit, plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRect(-plot.height() / 2, 0, plot.height(), 4 * unit), Qt::AlignCenter,
                     QStringLiteral("Efikasnost"));
    painter.restore();
}

void NormReport::paintLegend(QPainter &painter, Cursor &c) const
{
    const int u = c.unit;
    const int y = c.y + 2 * u;
    int x = c.area.left() + 16 * u;
    painter.setFont(m_small);
    auto label = [&](const QString &text) {
        const QRect used = painter.boundingRect(QRect(x, y - 3 * u, c.area.width(), 6 * u), Qt::AlignVCenter, text);
        painter.drawText(used, Qt::AlignVCenter, text);
        x = used.right() + 6 * u;
    };
    painter.setPen(QPen(Qt::black, 0.6 * u));
    painter.drawLine(x, y, x + 8 * u, y);
    x += 10 * u;
    painter.setPen(Qt::black);
    label(QStringLiteral("ispitanik"));
    painter.setPen(QPen(MedianColour, 0.5 * u, Qt::DashLine));
    painter.drawLine(x, y, x + 8 * u, y);
    x += 10 * u;
    painter.setPen(Qt::black);
    label(QStringLiteral("medijan skupine"));
    painter.fillRect(QRect(x, y - 2 * u, 8 * u, 4 * u), BandColour);
    x += 10 * u;
    label(QStringLiteral("od prvog do trećeg kvartila skupine"));
    c.y += 5 * u;
}

int NormReport::rowHeight(QPainter &painter) const
{
    return QFontMetrics(m_font, painter.device()).height() * 13 / 10;
}

int NormReport::paintTable(QPainter &painter, Cursor &c, int first, int end) const
{
    const int h = rowHeight(painter);
    const int rows = taskCount();
    if (first >= std::min(rows, end))
        return first;
    QList<int> lefts{c.area.left()};
    for (double share : ColumnShares)
        lefts << lefts.last() + int(share * c.area.width());
    auto row = [&](const QStringList &cells, bool shaded) {
        if (shaded)
            painter.fillRect(QRect(lefts.first(), c.y, lefts.last() - lefts.first(), h), BandColour);
        for (int k = 0; k < 5; ++k)
            painter.drawText(QRect(lefts[k] + c.unit, c.y, lefts[k + 1] - lefts[k] - 2 * c.unit, h),
                             (k == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, cells[k]);
        c.y += h;
        painter.drawLine(lefts.first(), c.y, lefts.last(), c.y);
    };
    painter.setPen(QPen(Qt::black, 0));
    painter.setFont(m_bold);
    row(TableHeaders, true);
    painter.setFont(m_font);
    int task = first;
    for (; task < std::min(rows, end); ++task) {
        const QString label = m_subject.taskLabels.value(task);
        QStringList cells{label.isEmpty() ? QStringLiteral("%1.").arg(task + 1)
                                          : QStringLiteral("%1. %2").arg(task + 1).arg(label)};
        cells << (task < m_subject.efficiencies.size() ? number(m_subject.efficiencies[task], 5) : QString());
        if (task < m_group.tasks.size()) {
            const TaskNorm &t = m_group.tasks[task];
            cells << number(t.median, 5) << number(t.q1, 5) << number(t.q3, 5);
        } else {
            cells << QString() << QString() << QString();
        }
        row(cells, false);
    }
    return task;
}

void NormReport::paintSignature(QPainter &painter, const Cursor &c) const
{
    const int u = c.unit;
    const int y = c.area.bottom() - 8 * u;
    painter.setPen(QPen(Qt::black, 0));
    painter.setFont(m_font);
    const int half = c.area.width() / 2;
    painter.drawLine(c.area.left() + 30 * u, y, c.area.left() + half - 6 * u, y);
    painter.drawLine(c.area.left() + half + 16 * u, y, c.area.right(), y);
    painter.drawText(QRect(c.area.left(), y - 6 * u, 30 * u, 6 * u), Qt::AlignLeft | Qt::AlignBottom,
                     QStringLiteral("Potpis ispitivača:"));
    painter.drawText(QRect(c.area.left() + half, y - 6 * u, 16 * u, 6 * u), Qt::AlignLeft | Qt::AlignBottom,
                     QStringLiteral("Datum:"));
}

void NormReport::paintPageNumber(QPainter &painter, const Cursor &c, int page) const
{
    painter.setFont(m_small);
    painter.setPen(Qt::black);
    painter.drawText(QRect(c.area.left(), c.area.bottom() + 2 * c.unit, c.area.width(), 6 * c.unit),
                     Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("Stranica %1").arg(page));
}
