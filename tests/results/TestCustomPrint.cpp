// The printing unit: page geometry on an image, and pagination, page numbers
// and cut texts read back from PDFs by poppler.

#include "results/CustomPrint.h"
#include "tests/results/PdfText.h"

#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList headerLines()
{
    QStringList lines;
    for (int i = 2; i <= 15; ++i)
        lines << QStringLiteral("Redak %1").arg(i);
    return lines;
}

QList<QStringList> table(int dataRows)
{
    QList<QStringList> cells{{QStringLiteral("Zadatak "), QStringLiteral("Efikasnost")}};
    for (int r = 1; r <= dataRows; ++r)
        cells << QStringList{QStringLiteral("r%1").arg(r), QStringLiteral("%1,00000").arg(r)};
    return cells;
}

// A header and a table into an A4 PDF at 600 dpi with a 10-point font, as the
// results window prints them.
QList<PrintNotice> printPdf(const QString &path, const QList<QStringList> &cells, QList<int> widths = {50, 50})
{
    QPdfWriter writer(path);
    writer.setResolution(600);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    QPainter painter(&writer);
    CustomPrint print(painter, [&] { writer.newPage(); });
    print.PrintCells = cells;
    print.SetPrintFont(QFont(QStringLiteral("Arial"), 10));
    print.PrintHeader(headerLines(), QStringLiteral("K A L V E S T R I N"));
    return print.PrintTable(widths, true, true, true, false);
}

} // namespace

class TestCustomPrint : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private Q_SLOTS:
    void derivesRowsFromTheFontAndThePage()
    {
        // 10 points at 72 dpi: 10-pixel font, 14-pixel rows, 58 rows less 6 reserved.
        QImage page(600, 812, QImage::Format_RGB32);
        page.setDotsPerMeterX(2835);
        page.setDotsPerMeterY(2835);
        page.fill(Qt::white);
        QPainter painter(&page);
        CustomPrint print(painter, [] {});
        print.SetPrintFont(QFont(QStringLiteral("Arial"), 10));
        QCOMPARE(print.rowHeight(), 14);
        QCOMPARE(print.rowsPerPage(), 52);

        // The title at row 3, an empty row, 14 lines, an empty row: the table starts at row 20.
        print.PrintHeader(headerLines(), QStringLiteral("K A L V E S T R I N"));
        QCOMPARE(print.currentRow(), 20);
        print.PrintCells = table(3);
        QCOMPARE(print.PrintTable({50, 50}, true, true, true, false), QList<PrintNotice>{});
        painter.end();

        // The header row alone is shaded silver; 5-pixel rules at the left edge and under the last row.
        const int top = print.topMargin() + 20 * 14, x = print.leftMargin() + 120;
        QCOMPARE(QColor(page.pixel(x, top + 7)), CustomPrint::ShadeColour);
        QCOMPARE(QColor(page.pixel(x, top - 7)), QColor(Qt::white));
        QCOMPARE(QColor(page.pixel(x, top + 21)), QColor(Qt::white));
        QCOMPARE(QColor(page.pixel(print.leftMargin() + 2, top + 7)), QColor(Qt::black));
        QCOMPARE(QColor(page.pixel(x, top + 4 * 14)), QColor(Qt::black));
    }

    void breaksPagesAndNumbersEveryPage()
    {
        // A4 at 600 dpi, 10 points: row 116 pixels, 54 rows per page. The
        // first page holds positions 20..51 (32 rows), every further page the
        // header again and 48 rows.
        const QString path = m_dir.filePath(QStringLiteral("long.pdf"));
        QList<QStringList> cells = table(100);
        cells[1][1] =
            QStringLiteral("Perceptivna zaokruženost u funkciji rednog broja podražaja za dugo ime ispitanika");
        QCOMPARE(printPdf(path, cells), QList<PrintNotice>{});
        QCOMPARE(pdfInfo(path)[0], QStringLiteral("3"));
        const QString one = pdfText(path, 1), two = pdfText(path, 2), three = pdfText(path, 3);
        // pdftotext joins the spaced letters of the title.
        QVERIFY(one.contains(QLatin1String("KALVESTRIN")) && one.contains(QLatin1String("Redak 15")));
        // A text wider than its cell is cut and ends with an ellipsis.
        QVERIFY(one.contains(QStringLiteral("…")) && !one.contains(QLatin1String("ispitanika")));
        QVERIFY(one.contains(QLatin1String("r31 ")) && !one.contains(QLatin1String("r32 ")));
        QVERIFY(two.contains(QLatin1String("r32 ")) && two.contains(QLatin1String("r79 ")));
        QVERIFY(!two.contains(QLatin1String("r80 ")) && three.contains(QLatin1String("r100 ")));
        for (const QString *page : {&one, &two, &three}) {
            QCOMPARE(page->count(QLatin1String("Efikasnost")), 1);
            QCOMPARE(page->count(QLatin1String("Stranica ")), 1);
        }
        QVERIFY(three.contains(QLatin1String("Stranica 3")));

        // A table that fits on one page carries no page number.
        const QString shortPath = m_dir.filePath(QStringLiteral("short.pdf"));
        printPdf(shortPath, table(12));
        QCOMPARE(pdfInfo(shortPath)[0], QStringLiteral("1"));
        QVERIFY(!pdfText(shortPath).contains(QLatin1String("Stranica")));
    }

    void reportsWhatItCannotPrint()
    {
        const QString path = m_dir.filePath(QStringLiteral("notice.pdf"));
        using N = QList<PrintNotice>;
        const auto error = PrintNotice::Kind::Error;
        QCOMPARE(printPdf(path, {{QStringLiteral("x")}}),
                 (N{{PrintNotice::Kind::Information, QStringLiteral("Tablica neće biti isprintana jer je prazna!")}}));
        QCOMPARE(printPdf(path, table(2), {100}),
                 (N{{error, QStringLiteral("Internalna greska na drugoj dimenziji cells objekta!")}}));
        // The second column would end beyond the page: skipped in each row, the rest printed.
        QCOMPARE(printPdf(path, table(1), {60, 60}),
                 (N{{error, QStringLiteral("PrintRow procedura. Argumenti (0,0) izlazi izvan ruba papira!")},
                    {error, QStringLiteral("PrintRow procedura. Argumenti (1,1) izlazi izvan ruba papira!")}}));
    }

    void placesTheChartOnItsPage_data()
    {
        QTest::addColumn<QSize>("page");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("A4 landscape at 600 dpi") << QSize(7017, 4958) << QRect(702, 496, 5614, 3930);
        // Wider than about 1.6 : 1 the chart would end below the foot.
        QTest::newRow("wide page") << QSize(2000, 1000) << QRect(200, 100, 1143, 800);
    }
    void placesTheChartOnItsPage()
    {
        QFETCH(QSize, page);
        QFETCH(QRect, expected);
        const QRect r = CustomPrint::chartRect(page.width(), page.height());
        QCOMPARE(r, expected);
        QVERIFY(r.bottom() < page.height() - r.top());
    }
};

QTEST_MAIN(TestCustomPrint)
#include "TestCustomPrint.moc"
