#pragma once

// The printing unit: prints a matrix of texts as a ruled table in rows of one
// height, under a bold title and a block of header lines, with page breaks
// that repeat the header row and numbered pages. Paints on any QPainter
// (printer, PDF writer, image); a further page is asked of the caller. The
// boxes it would show come back as notices for the caller to show.

#include <QColor>
#include <QFont>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>

class QPainter;

struct PrintNotice
{
    enum class Kind { Information, Error };
    Kind kind;
    QString text;

    bool operator==(const PrintNotice &) const = default;
};

class CustomPrint
{
public:
    static constexpr int TopRows = 3;
    static constexpr int LineWidth = 5;
    static inline const QColor ShadeColour{192, 192, 192};

    // Margins and page size come from the painter's device as it stands for
    // this job, so a change of printer or paper is followed.
    CustomPrint(QPainter &painter, std::function<void()> newPage);

    QList<QStringList> PrintCells;

    // Where a chart goes on its landscape page: 0.8 of the width, 0.7 as
    // high as wide, a tenth of the page in from the left and the top. On a
    // page too wide for that shape it would run over the foot, so it is
    // shrunk, keeping the shape, to end as far above the foot as it starts
    // below the top.
    static QRect chartRect(int pageWidth, int pageHeight);

    void SetPrintFont(const QFont &font);
    void PrintHeader(const QStringList &lines, const QString &title);
    QList<PrintNotice> PrintTable(const QList<int> &widths, bool headerRow, bool rowLines, bool headerShaded,
                                  bool firstColumnShaded);
    void PrintPageNumber(int page);

    int pageWidth() const { return m_pageWidth; }
    int pageHeight() const { return m_pageHeight; }
    int leftMargin() const { return m_leftMargin; }
    int topMargin() const { return m_topMargin; }
    int fontHeight() const { return m_fontHeight; }
    int rowHeight() const { return m_rowHeight; }
    int rowsPerPage() const { return m_rowsPerPage; }
    int currentRow() const { return m_currentRow; }

private:
    void PrintRow(int pageRow, int dataRow, QList<PrintNotice> &notices);
    QFont fontOf(bool bold) const;
    void drawText(const QRect &rect, int alignment, const QString &text);

    QPainter &m_painter;
    std::function<void()> m_newPage;
    QFont m_font;
    int m_pageWidth = 0, m_pageHeight = 0;
    int m_leftMargin = 0, m_rightMargin = 0, m_topMargin = 0;
    int m_fontHeight = 0, m_rowHeight = 1, m_rowsPerPage = 0;
    int m_currentRow = TopRows;
    int m_rowsOnPage = 0;
    bool m_headerShaded = false, m_headerRow = false, m_rowLines = false, m_firstColumnShaded = false;
    QList<int> m_widths;
    int m_tableWidth = 0;
};
