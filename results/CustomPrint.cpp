#include "results/CustomPrint.h"

#include "common/NumberText.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>

#include <cmath>

CustomPrint::CustomPrint(QPainter &painter, std::function<void()> newPage)
    : m_painter(painter)
    , m_newPage(std::move(newPage))
{
    QPaintDevice *device = painter.device();
    m_pageWidth = device->width();
    m_pageHeight = device->height();
    m_leftMargin = m_rightMargin = roundHalfEven(0.05 * m_pageWidth);
    m_topMargin = roundHalfEven(0.05 * m_pageHeight);
    SetPrintFont(QFont());
}

void CustomPrint::SetPrintFont(const QFont &font)
{
    m_font = font;
    const int dpiY = m_painter.device()->logicalDpiY();
    if (font.pointSizeF() > 0)
        m_fontHeight = int(std::lround(std::fabs(font.pointSizeF() * dpiY / 72.0)));
    else
        m_fontHeight = std::abs(font.pixelSize());
    m_fontHeight = std::max(m_fontHeight, 1);
    m_rowHeight = m_fontHeight + (m_fontHeight * 4) / 10;
    m_rowsPerPage = m_pageHeight / m_rowHeight - 2 * TopRows;
    m_currentRow = TopRows;
    m_painter.setFont(fontOf(false));
}

QFont CustomPrint::fontOf(bool bold) const
{
    QFont f = m_font;
    f.setPixelSize(m_fontHeight);
    if (bold)
        f.setBold(true);
    return f;
}

void CustomPrint::drawText(const QRect &rect, int alignment, const QString &text)
{
    const QString shown = m_painter.fontMetrics().elidedText(text, Qt::ElideRight, rect.width());
    m_painter.drawText(rect, alignment | Qt::TextSingleLine, shown);
}

void CustomPrint::PrintHeader(const QStringList &lines, const QString &title)
{
    auto band = [this] {
        return QRect(m_leftMargin, m_topMargin + m_currentRow * m_rowHeight, m_pageWidth - m_rightMargin - m_leftMargin,
                     m_rowHeight);
    };
    m_painter.setPen(Qt::black);
    m_painter.setFont(fontOf(true));
    if (!title.isEmpty()) {
        drawText(band(), Qt::AlignCenter, title);
        ++m_currentRow;
    }
    ++m_currentRow;
    m_painter.setFont(fontOf(false));
    for (const QString &line : lines) {
        drawText(band(), Qt::AlignLeft | Qt::AlignVCenter, line);
        ++m_currentRow;
    }
    ++m_currentRow;
}

QList<PrintNotice> CustomPrint::PrintTable(const QList<int> &widths, bool headerRow, bool rowLines, bool headerShaded,
                                           bool firstColumnShaded)
{
    QList<PrintNotice> notices;
    if (PrintCells.isEmpty() || (PrintCells.size() == 1 && PrintCells[0].size() <= 1)) {
        notices.append({PrintNotice::Kind::Information, QStringLiteral("Tablica neće biti isprintana jer je prazna!")});
        return notices;
    }
    for (const QStringList &row : PrintCells) {
        if (row.size() != widths.size()) {
            notices.append(
                {PrintNotice::Kind::Error, QStringLiteral("Internalna greska na drugoj dimenziji cells objekta!")});
            return notices;
        }
    }
    m_headerRow = headerRow;
    m_rowLines = rowLines;
    m_headerShaded = headerShaded;
    m_firstColumnShaded = firstColumnShaded;
    m_painter.setFont(fontOf(false));
    const int printable = m_pageWidth - m_leftMargin - m_rightMargin;
    m_widths.clear();
    m_tableWidth = 0;
    for (int share : widths) {
        m_widths << roundHalfEven(double(share) * printable / 100.0);
        m_tableWidth += m_widths.last();
    }

    int page = 0;
    m_rowsOnPage = 0;
    PrintRow(0, 0, notices);
    if (PrintCells.size() > 1)
        PrintRow(1, 1, notices);
    for (int r = 2; r < PrintCells.size(); ++r) {
        if (m_currentRow > m_rowsPerPage - 3) {
            ++page;
            PrintPageNumber(page);
            m_newPage();
            m_currentRow = TopRows;
            m_rowsOnPage = 0;
            if (headerRow)
                PrintRow(0, 0, notices);
        }
        PrintRow(m_rowsOnPage, r, notices);
    }
    if (page > 0)
        PrintPageNumber(page + 1);
    return notices;
}

void CustomPrint::PrintRow(int pageRow, int dataRow, QList<PrintNotice> &notices)
{
    const int top = m_topMargin + m_currentRow * m_rowHeight;
    const int bottom = top + m_rowHeight;
    const bool header = pageRow == 0 && m_headerShaded;
    m_painter.setFont(fontOf(header && PrintCells.size() > 1));
    QPen pen(Qt::black, LineWidth);
    pen.setCapStyle(Qt::SquareCap);
    m_painter.setPen(pen);
    if (header)
        m_painter.fillRect(QRect(m_leftMargin, top, m_tableWidth, m_rowHeight), ShadeColour);

    const QStringList &row = PrintCells[dataRow];
    int x = m_leftMargin;
    for (int c = 0; c < m_widths.size(); ++c) {
        const int left = x;
        const int right = x + m_widths[c];
        x = right;
        if (bottom > m_pageHeight || right > m_pageWidth || top < 1) {
            notices.append({PrintNotice::Kind::Error, QStringLiteral("PrintRow procedura. Argumenti (%1,%2) izlazi "
                                                                     "izvan ruba papira!")
                                                          .arg(pageRow)
                                                          .arg(dataRow)});
            continue;
        }
        if (c == 0)
            m_painter.drawLine(m_leftMargin, top, m_leftMargin, bottom);
        m_painter.drawLine(right, top, right, bottom);
        const QRect cell(left, top, right - left, m_rowHeight);
        if (c == 0 && m_firstColumnShaded)
            m_painter.fillRect(cell, ShadeColour);
        drawText(cell, Qt::AlignCenter, row[c]);
    }
    const bool ruledAbove = ((pageRow == 0 || pageRow == 1) && m_headerRow) || (pageRow >= 2 && m_rowLines);
    if (ruledAbove)
        m_painter.drawLine(m_leftMargin, top, m_leftMargin + m_tableWidth, top);
    if (m_rowLines && (m_currentRow == m_rowsPerPage - 3 || dataRow == PrintCells.size() - 1))
        m_painter.drawLine(m_leftMargin, bottom, m_leftMargin + m_tableWidth, bottom);
    ++m_rowsOnPage;
    ++m_currentRow;
}

void CustomPrint::PrintPageNumber(int page)
{
    m_painter.setPen(Qt::black);
    m_painter.setFont(fontOf(false));
    const QRect foot(0, m_pageHeight - 2 * m_rowHeight, m_pageWidth, m_rowHeight);
    drawText(foot, Qt::AlignCenter, QStringLiteral("Stranica ") + QString::number(page));
}

QRect CustomPrint::chartRect(int pageWidth, int pageHeight)
{
    int width = roundHalfEven(0.8 * pageWidth);
    int height = roundHalfEven(0.7 * width);
    const int left = roundHalfEven(0.1 * pageWidth);
    const int top = roundHalfEven(0.1 * pageHeight);
    if (top + height > pageHeight - top) {
        height = std::max(pageHeight - 2 * top, 1);
        width = roundHalfEven(height / 0.7);
    }
    return QRect(left, top, width, height);
}
