// The archive file (written byte for byte, read back across decimal
// separators, refused when broken) and what the results window is given to
// show from a finished test and from a file.

#include "common/Failure.h"
#include "common/Windows1250.h"
#include "results/ArchiveFile.h"
#include "results/ArchiveSheetBuilder.h"
#include "results/ResultSheet.h"
#include "results/ResultsLayout.h"
#include "tests/results/ResultFixtures.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

// What the window shows of an archive text read with ",", and how many fields it was handed.
struct Loaded
{
    ResultSheet sheet;
    int handed = 0;
    bool failed = false;
};
Loaded load(const QString &text)
{
    Loaded l;
    ArchiveSheetBuilder builder(u',');
    try {
        ReadArchive(text, u',', [&](const ArchiveField &f) { builder.apply(f), ++l.handed; });
    } catch (const Failure &) {
        l.failed = true;
    }
    l.sheet = builder.sheet();
    return l;
}

const QString Head = QStringLiteral("IVIĆ ANA; 23; 0; A1; ; 3.5.2009; 0:04:12; DA; NE; ");

} // namespace

class TestArchive : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private Q_SLOTS:
    void writesTheWorkedExampleByteForByte_data()
    {
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray tail = "; 23; 0; A1; ; 3.5.2009; 0:04:12; DA; NE; 2; 0; 0#15625; 0#01758; ; Reserved2; "
                                "Reserved3; 0#25000; ku\xE6"
                                "a; 0#06250; stol; \r\n";
        QByteArray comma = "IVI\xC6 ANA" + tail;
        QByteArray point = comma;
        QTest::newRow("comma") << QChar(u',') << comma.replace('#', ',');
        QTest::newRow("point") << QChar(u'.') << point.replace('#', '.');
    }
    void writesTheWorkedExampleByteForByte()
    {
        QFETCH(QChar, separator);
        const QString path = m_dir.filePath(QStringLiteral("ivic.txt"));
        SaveArchiveFile(path, ComposeArchiveText(workedExample(), regional(separator)));
        QTEST(fileBytes(path), "expected");
    }

    void composesEdgeValues_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<double>("efficiency");
        QTest::addColumn<double>("durationDays");
        QTest::addColumn<QString>("expectedTail");
        QTest::addColumn<QString>("expectedDuration");
        // Halves of the fifth decimal round away from zero.
        QTest::newRow("rounding") << "a" << 0.123455 << 0.5 << "0,12346; a; "
                                  << "12:00:00";
        // A ";" would split the label into two fields and shift the rest.
        QTest::newRow("semicolon in label") << "A;B" << 2.0 << 0.0 << "2,00000; A,B; "
                                            << "0:00:00";
        // Over midnight the end time of day is before the start.
        QTest::newRow("past midnight") << "x" << 1.0 << -(23.0 * 3600 + 57 * 60) / 86400 << "1,00000; x; "
                                       << "0:03:00";
        QTest::newRow("over a day") << "x" << 1.0 << 1.0 + 61.0 / 86400 << "1,00000; x; "
                                    << "0:01:01";
    }
    void composesEdgeValues()
    {
        QFETCH(QString, label);
        QFETCH(double, efficiency);
        QFETCH(double, durationDays);
        QFETCH(QString, expectedTail);
        SessionResult r = finishedTest({0.5, efficiency}, {QStringLiteral("prvi"), label});
        r.duration = durationDays;
        r.subject.Field3 = QStringLiteral("x;y");
        const QString text = ComposeArchiveText(r, regional(u','));
        QVERIFY2(text.endsWith(expectedTail), qPrintable(text));
        QTEST(text.section(QStringLiteral("; "), 6, 6), "expectedDuration");
        QCOMPARE(text.section(QStringLiteral("; "), 13, 13), QStringLiteral("x,y"));
        QCOMPARE(text.count(QStringLiteral("; ")), 16 + 2 * 2);
    }

    void refusesInconsistentResultsAndUnwritableFiles()
    {
        SessionResult r = workedExample();
        r.stimulusCount = 3;
        QVERIFY_THROWS_EXCEPTION(Failure, ComposeArchiveText(r, regional(u',')));

        // A failed save leaves the old file as it was.
        const QString path = m_dir.filePath(QStringLiteral("old.txt"));
        SaveArchiveFile(path, QStringLiteral("staro; "));
        QVERIFY_THROWS_EXCEPTION(Failure, SaveArchiveFile(path, QStringLiteral("\u4e2d; ")));
        QCOMPARE(fileBytes(path), QByteArray("staro; \r\n"));
    }

    void readsAcrossSeparators()
    {
        SessionResult r = finishedTest({0.25, 2.0}, {QStringLiteral("ČĆĐŠŽ čćđšž"), {}});
        r.subject.Age.clear();
        for (QChar writer : {u',', u'.'}) {
            const QChar reader = writer == u',' ? u'.' : u',';
            const QString path = m_dir.filePath(QStringLiteral("cross.txt"));
            SaveArchiveFile(path, ComposeArchiveText(r, regional(writer)));
            const ArchivedTest t = ReadArchive(ArchiveFileText(fileBytes(path)), reader);
            QCOMPARE(t.fields[1], QString());
            QCOMPARE(t.efficiencies, (QList<double>{0.25, 2.0}));
            QCOMPARE(t.labels, (QStringList{QStringLiteral("ČĆĐŠŽ čćđšž"), QString()}));
            QCOMPARE(t.fields[11], QLatin1Char('1') + reader + QStringLiteral("12500"));
        }
    }

    void readsFieldsAsWritten_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("expected");
        const QString tail = QStringLiteral("1; 0; 0,5; 0,1; ; Reserved2; Reserved3; 0,5; a; ");
        QTest::newRow("leading blanks") << QStringLiteral("   IVIĆ ANA; 23; 0; A1; ; d; t; DA; NE; ") + tail << 1
                                        << "IVIĆ ANA";
        QTest::newRow("300 characters") << QStringLiteral("%1; 23; 0; A1; ; d; t; DA; NE; ").arg(QString(300, u'x')) +
                                               tail
                                        << 1 << QString(255, u'x');
        QTest::newRow("broken line") << QStringLiteral("IVIĆ A\r\nNA; 23; 0; A1;\n ; d; t; DA; NE; 1; 0; 0,\r5; ") << 1
                                     << "IVIĆ ANA";
    }
    void readsFieldsAsWritten()
    {
        QFETCH(QString, text);
        QFETCH(int, field);
        QString joined = ArchiveFileText(Windows1250::encode(text));
        QStringView rest = joined;
        QString value;
        for (int i = 0; i < field; ++i)
            value = ReadArchiveField(rest, false, u',');
        QTEST(value, "expected");
    }

    void refusesBrokenFilesAfterShowingWhatWasRead_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("handed");
        QTest::newRow("too few pairs") << Head + QStringLiteral("3; 0; 0,5; 0,1; ; R2; R3; 0,5; a; 0,5; b; ") << 20;
        QTest::newRow("negative N") << Head + QStringLiteral("-1; 0; 0,5; 0,1; ; R2; R3; ") << 9;
        QTest::newRow("N beyond a design") << Head + QStringLiteral("1001; 0; 0,5; 0,1; ; R2; R3; ") << 9;
        QTest::newRow("infinite mean") << Head + QStringLiteral("1; 0; INF; 0,1; ; R2; R3; 0,5; a; ") << 11;
    }
    void refusesBrokenFilesAfterShowingWhatWasRead()
    {
        QFETCH(QString, text);
        QFETCH(int, handed);
        const Loaded l = load(text);
        const ResultSheet &s = l.sheet;
        QVERIFY(l.failed);
        QCOMPARE(l.handed, handed);
        if (handed >= 1)
            QCOMPARE(s.labels[0], QStringLiteral("Prezime i ime: IVIĆ ANA"));
        // Nothing after the failing field is shown: the rest is the start state.
        if (handed < 14)
            QCOMPARE(s.labels[13], ResultSheet::initial().labels[13]);
        QCOMPARE(s.title, ResultSheet::initial().title);
    }

    void showsAFinishedTest()
    {
        const ResultSheet s = ResultSheet::fromResult(finishedTest({0.5, 2.0, 0.25}), regional(u','));
        QCOMPARE(s.labels[2], QStringLiteral("Spol: Ženski"));
        QCOMPARE(s.labels[11], QStringLiteral("Aritmetička sredina: 0,91667"));
        QCOMPARE(s.title, (QStringList{QStringLiteral("Perceptivna zaokruženost u funkciji rednog broja podražaja "
                                                      "za: IVIĆ ANA"),
                                       QStringLiteral(" M=0,91667 V=0,89583")}));
        QCOMPARE(s.cells[2], (QStringList{"2.  slika2", "2,00000", "200,00", "-1,00000", "-100,00"}));
        QCOMPARE(s.cells[4], (QStringList{" M=", "0,91667", "91,66667", "0,08333", "8,33333"}));
        QCOMPARE(s.cells[5], (QStringList{" V=", "0,89583", "89,58333", "0,89583", "89,58333"}));
    }

    void showsAnArchivedTest()
    {
        const QString text = QStringLiteral("IVIĆ ANA; ; 0; A1; ; 3.5.2009; 0:04:12; DA; NE; 2; 1; 0.5; 0,125; "
                                            "Reserved1; Reserved2; Reserved3; 1,0; kuća; 0.0; <B>stol; ");
        const ResultSheet s = load(text).sheet;
        QCOMPARE(s.labels[2], QStringLiteral("Spol: 0"));
        QCOMPARE(s.labels[12], QStringLiteral("Varijanca: 0,125"));
        QCOMPARE(s.labels[13], QStringLiteral("Polje3: "));
        QVERIFY(s.cautionShown);
        QCOMPARE(s.cells[2], (QStringList{"2.  <B>stol", "0,00000", "0,00", "1,00000", "100,00"}));
        QCOMPARE(s.cells[4], (QStringList{" V=", "0,12500", "12,50000", "0,12500", "12,50000"}));

        QString lower = text;
        lower.replace(QStringLiteral("Reserved1"), QStringLiteral("reserved1"))
            .replace(QStringLiteral("; 1; 0.5"), QStringLiteral("; 0; 0.5"));
        const ResultSheet l = load(lower).sheet;
        QCOMPARE(l.labels[13], QStringLiteral("Polje3: reserved1"));
        QVERIFY(!l.cautionShown);
    }

    void laysOutTheWindow()
    {
        // 1000 pixels wide, a 16-pixel caution label under a 29-pixel toolbar.
        const ResultsLayout l = ResultsLayout::compute(1000, 16, 29, 14, 6);
        QCOMPARE(l.step, 53);
        QCOMPARE(l.labelTops.first(), 53);
        QCOMPARE(l.labelTops.last(), 742);
        QCOMPARE(l.chart, QRect(100, 795, 800, 600));
        QCOMPARE(l.cautionTop, 1448);
        QCOMPARE(l.table, QRect(100, 1501, 800, 26 * 6));
        // Halves go to the even neighbour: 0.1 x 1005 = 100.5, 1.5 x 17 = 25.5.
        QCOMPARE(ResultsLayout::compute(1005, 17, 29, 14, 6).chart.topLeft(), QPoint(100, 15 * 55));
    }
};

QTEST_GUILESS_MAIN(TestArchive)
#include "TestArchive.moc"
