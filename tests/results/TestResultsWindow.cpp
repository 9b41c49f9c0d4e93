// The individual results window driven as the examiner drives it: a test
// shown, saved, archives loaded (also broken ones), the chart's axes, the
// layout, printing into PDF files and help.

#include "common/Windows1250.h"
#include "common/ui/ContextHelp.h"
#include "results/ui/DefaultPrintTarget.h"
#include "results/ui/TRezultati.h"
#include "tests/results/PdfText.h"
#include "tests/results/ResultFixtures.h"
#include "tests/support/RecordingHelp.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TestServices.h"

#include <QAction>
#include <QCategoryAxis>
#include <QChart>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineSeries>
#include <QPrinterInfo>
#include <QScreen>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString LoadError = QStringLiteral("Učitavanje arhiviranog testiranja nije uspjelo.");

// The window with a decimal comma unless the test says otherwise.
struct Window
{
    TestServices services;
    ScriptedPrompts &prompts = services.prompts;
    RecordingHelp &help = services.help;
    FakeClock &clock = services.clock;
    // The window reads the regional settings at each command.
    TRezultati w{prompts, clock, services.regional, services.dataFolder};

    explicit Window(const QString &pdfFolder = {}, QChar separator = u',')
    {
        services.regional = regional(separator);
        clock.wall = QDateTime(QDate(2026, 12, 6), QTime(18, 4, 5));
        services.serve(&w);
        if (!pdfFolder.isEmpty())
            w.setPrintTarget(std::make_unique<PdfPrintTarget>(clock, pdfFolder));
    }

    QLabel *label(int n) const { return w.findChild<QLabel *>(QStringLiteral("Label%1").arg(n)); }
    QAction *tool(int n) const { return w.findChild<QAction *>(QStringLiteral("Tool%1").arg(n)); }
    QTableWidget *grid() const { return w.findChild<QTableWidget *>(QStringLiteral("Grid1")); }
    QString cell(int r, int c) const
    {
        const QTableWidgetItem *item = grid()->item(r, c);
        return item ? item->text() : QString();
    }

    void load(const QString &path, const QString &error = {})
    {
        prompts.expectOpenFile(path);
        if (!error.isEmpty())
            prompts.expectError(error);
        tool(1)->trigger();
    }
};

} // namespace

class TestResultsWindow : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    QString archive(const QString &name, const QString &text)
    {
        writeBytes(m_dir.filePath(name), Windows1250::encode(text));
        return m_dir.filePath(name);
    }

private Q_SLOTS:
    void startsEmptyAndShowsAFinishedTest()
    {
        Window win;
        // Placed and sized to the screen by itself, not only asked to be maximised.
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(win.w.geometry(), available);
        QVERIFY(!win.tool(2)->isEnabled());
        QVERIFY(win.label(1)->isHidden());

        QList<double> e(12, 0.25);
        e[4] = 2.0;
        SessionResult r = finishedTest(e);
        r.subject.Surname = QStringLiteral("<B>");
        r.session.screenSize = QSize(1920, 1080);
        r.session.refreshRate = 59.94;
        r.session.compositor = SessionInfo::Compositor::No;
        win.w.accept(r);
        QCOMPARE(win.w.findChild<QLabel *>(QStringLiteral("DisplayLine"))->text(),
                 QStringLiteral("Zaslon: 1920 x 1080, 59,94 Hz, omjer piksela 1, kompozitor: ne"));
        QVERIFY(win.tool(2)->isEnabled());
        QVERIFY(!win.label(1)->isHidden());
        // Chart titles are rich text: names are escaped, lines broken by <br>.
        QVERIFY(win.w.chart()->title().contains(QLatin1String("za: &lt;B&gt; ANA<br> M=0,39583")));
        QCOMPARE(win.w.categoryAxis()->max(), 12.0);
        QCOMPARE(win.w.valueAxis()->max(), 200.0);
        QCOMPARE(win.w.series()->at(4), QPointF(5, 200));
        QCOMPARE(win.grid()->rowCount(), 15);
        QCOMPARE(win.cell(14, 0), QStringLiteral(" V="));
        QCOMPARE(win.grid()->height(), 26 * 15);
        win.tool(5)->trigger();
        QCOMPARE(win.help.topics, QStringList{QStringLiteral("54")});

        // A second showing replaces the points of the first.
        win.w.accept(finishedTest({0.5, 0.25, 0.125}));
        QCOMPARE(win.w.series()->count(), 3);
        QVERIFY(win.label(1)->isHidden());
    }

    void savesTheLastTestEvenAfterALoad()
    {
        Window win;
        SessionResult r = finishedTest({0.5, 0.25});
        r.subject.Surname = QStringLiteral("IVIĆ/KOS");
        win.w.accept(r);
        win.load(archive(QStringLiteral("other.txt"),
                         QStringLiteral("DRUGI; 1; 1; ; ; d; t; NE; NE; 0; 0; 0; 0; ; R; R; ")));

        const QString path = m_dir.filePath(QStringLiteral("ivic.txt"));
        win.prompts.expectSaveFile(path);
        win.tool(2)->trigger();
        QCOMPARE(fileBytes(path), Windows1250::encode(win.w.archiveText() + QStringLiteral("\r\n")));
        const FileDialogRequest &request = win.prompts.records().last().request;
        // The file is named after the archived test's subject, never a path.
        QCOMPARE(request.fileName, QStringLiteral("IVIĆ-KOS ANA"));

        // A save that fails says so and leaves the old file whole.
        win.prompts.expectSaveFile(m_dir.filePath(QStringLiteral("missing/x.txt")));
        win.prompts.expectError(QStringLiteral("Došlo je do pogreške pri snimanju rezultata"));
        win.tool(2)->trigger();
    }

    void loadsAnArchiveOverAShownTest()
    {
        const QChar separator = u'.';
        Window win({}, separator);
        SessionResult shown = finishedTest(QList<double>(12, 2.0));
        shown.session.screenSize = QSize(800, 600);
        win.w.accept(shown);
        win.load(
            archive(QStringLiteral("three.txt"), QStringLiteral("IVIĆ ANA; 23; 0; A1; ; 3.5.2009; 0:04:12; DA; NE; "
                                                                "3; 0; 0,5; 0.125; Reserved1; Reserved2; "
                                                                "Reserved3;\r\n 0,25000; kuća; 0.5; ;0,75;stol; ")));
        const QString half = QLatin1Char('0') + separator + QLatin1Char('5');
        QCOMPARE(win.label(4)->text(), QStringLiteral("Spol: 0"));
        QCOMPARE(win.label(13)->text(), QStringLiteral("Aritmetička sredina: ") + half);
        QVERIFY(win.label(1)->isHidden());
        QVERIFY(win.w.findChild<QLabel *>(QStringLiteral("DisplayLine"))->isHidden()); // an archive has none
        QCOMPARE(win.w.categoryAxis()->max(), 3.0);
        QCOMPARE(win.w.series()->at(1), QPointF(2, 50));
        QCOMPARE(win.cell(3, 2), QStringLiteral("75") + separator + QStringLiteral("00"));
        QCOMPARE(win.cell(4, 1), half + QStringLiteral("0000"));
        QCOMPARE(win.w.chart()->title(), QStringLiteral("Efikasnost prepoznavanja u funkciji rednog broja podražaja "
                                                        "za: IVIĆ ANA M=") +
                                             half + QStringLiteral(" V=0") + separator + QStringLiteral("125"));
    }

    void aFailedLoadShowsOnlyWhatTheFileHeld()
    {
        Window win;
        win.w.accept(finishedTest(QList<double>(12, 2.0)));
        win.load(archive(QStringLiteral("short.txt"),
                         QStringLiteral("KRATKI; 1; 1; ; ; d; t; NE; NE; 3; 0; 0,5; 0; x; R; R; 0,5; a; ")),
                 LoadError);
        QCOMPARE(win.label(2)->text(), QStringLiteral("Prezime i ime: KRATKI"));
        QCOMPARE(win.label(15)->text(), QStringLiteral("Polje3: x"));
        QCOMPARE(win.w.series()->count(), 1);
        QCOMPARE(win.cell(1, 0), QStringLiteral("1.  a"));
        QCOMPARE(win.cell(4, 0), QString());
        QVERIFY(win.label(1)->isHidden());

        // A missing file, or a cancelled chooser, changes nothing.
        win.load(m_dir.filePath(QStringLiteral("nonexistent.txt")), LoadError);
        win.load(QString());
        QCOMPARE(win.label(2)->text(), QStringLiteral("Prezime i ime: KRATKI"));
    }

    void warnsOfAnOddSeparator()
    {
        Window win({}, u'\'');
        win.w.accept(finishedTest({0.5, 0.25}));
        win.prompts.expectWarning(QStringLiteral("Da biste mogli snimiti testiranje morat ćete podesiti decimalni "
                                                 "separator na Vašem računalu na točku (\".\") ili zarez (\",\"). "
                                                 "Trenutno je decimalni separator na Vašem računalu podešen na: '"));
        win.tool(2)->trigger();
        win.prompts.expectWarning(QStringLiteral("Da biste ispravno učitali arhivirano testiranje"));
        win.prompts.expectOpenFile(QString());
        win.tool(1)->trigger();
    }

    void labelsTheAxesWithoutOverlap()
    {
        Window win;
        win.w.resize(1000, 800);
        win.w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win.w));
        // Before any result: whole numbers; 0 has no label.
        QStringList values = win.w.valueAxis()->categoriesLabels();
        QVERIFY(values.contains(QString()) && values.contains(QStringLiteral("100")));

        win.w.accept(finishedTest({0.0025, 0.005}));
        values = win.w.valueAxis()->categoriesLabels();
        QVERIFY2(values.contains(QStringLiteral(",5")), qPrintable(values.join(u'|')));
        QCOMPARE(win.w.categoryAxis()->categoriesLabels(), (QStringList{QString(), "1", "2"}));

        // Many tasks on a narrow chart: fewer labels, never closer than their width.
        win.w.accept(finishedTest(QList<double>(1000, 0.5)));
        const QStringList categories = win.w.categoryAxis()->categoriesLabels();
        QVERIFY(categories.size() < 60 && categories.size() > 3);
        const double step =
            win.w.categoryAxis()->endValue(categories[2]) - win.w.categoryAxis()->endValue(categories[1]);
        QVERIFY(QList<double>({10, 20, 50, 100, 200, 500}).contains(step));
    }

    void printsIntoPdfFilesWithoutAPrinter()
    {
        QTemporaryDir folder;
        Window win(folder.path());
        win.w.accept(finishedTest({0.5, 2.0, 0.25}));
        const QString table = folder.filePath(QStringLiteral("Ispis tablice 2026-12-06 18-04-05.pdf"));
        win.prompts.expectInformation(
            QStringLiteral("Na računalu nije instaliran pisač. Ispis je spremljen u datoteku: ") + table);
        win.tool(3)->trigger();
        const QString text = pdfText(table);
        QVERIFY(text.contains(QStringLiteral("Narušene su metrijske")));
        QVERIFY(pdfInfo(table)[1].startsWith(QLatin1String("595")));

        // The chart on a landscape page; a table printed afterwards is portrait again.
        win.prompts.expectInformation(QStringLiteral("Ispis grafa 2026-12-06 18-04-05.pdf"));
        win.tool(4)->trigger();
        const QString chart = folder.filePath(QStringLiteral("Ispis grafa 2026-12-06 18-04-05.pdf"));
        QVERIFY(pdfInfo(chart)[1].startsWith(QLatin1String("842 x 595")));
        win.prompts.expectInformation(QStringLiteral("Ispis tablice 2026-12-06 18-04-05 (2).pdf"));
        win.tool(3)->trigger();

        // Without an installed printer the default target prints into the folder.
        if (QPrinterInfo::defaultPrinter().isNull()) {
            QTemporaryDir other;
            win.w.setPrintTarget(std::make_unique<DefaultPrintTarget>(win.clock, other.path()));
            win.prompts.expectInformation(other.filePath(QStringLiteral("Ispis grafa 2026-12-06 18-04-05.pdf")));
            win.tool(4)->trigger();
            QCOMPARE(QDir(other.path()).entryList(QDir::Files).size(), 1);
        }

        // A folder that cannot take the file: the failure is shown, nothing is claimed.
        Window nowhere(folder.filePath(QStringLiteral("missing")));
        nowhere.prompts.expectError(QStringLiteral("Ispis nije moguće spremiti"));
        nowhere.tool(4)->trigger();
    }
};

KALVESTRIN_TEST_MAIN(TestResultsWindow)
#include "TestResultsWindow.moc"
