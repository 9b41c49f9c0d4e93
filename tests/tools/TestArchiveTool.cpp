// kalvestrin-tool archive, run as a user runs it: archive files composed from
// results given as JSON, shown, and printed into PDFs.

#include "tests/results/PdfText.h"
#include "tests/results/ResultFixtures.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

ToolRun tool(const QStringList &args)
{
    return runTool(QStringLiteral(KALVESTRIN_TOOL), QStringList{QStringLiteral("archive")} + args);
}

const QByteArray Example = R"({
  "subject": {"Name": "ANA", "Surname": "IVIĆ", "Age": "23", "Gender": 0, "GenderText": "Ženski",
              "Field1": "A1", "Field2": "", "Field3": ""},
  "testDate": "2009-05-03", "durationSeconds": 252, "independentMode": true, "modeText": "Samostalan",
  "ignoreBackground": false, "stimulusCount": 2, "unrecognisedCount": 0,
  "mean": "0.15625", "variance": "0.017578125",
  "tasks": [{"label": "kuća", "recognised": true, "efficiency": 0.25},
            {"label": "stol", "recognised": true, "efficiency": 0.0625}]
})";

} // namespace

class TestArchiveTool : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private Q_SLOTS:
    void composesShowsAndPrints()
    {
        const QString separator = QStringLiteral(",");
        const QString json = m_dir.filePath(QStringLiteral("result.json"));
        writeBytes(json, Example);
        const QString archive = m_dir.filePath(QStringLiteral("ivic.txt"));
        QCOMPARE(tool({QStringLiteral("compose"), json, archive, QStringLiteral("--separator"), separator}).exitCode,
                 0);
        QByteArray expected = "IVI\xC6 ANA; 23; 0; A1; ; 3.5.2009; 0:04:12; DA; NE; 2; 0; 0#15625; 0#01758; ; "
                              "Reserved2; Reserved3; 0#25000; ku\xE6"
                              "a; 0#06250; stol; \r\n";
        QCOMPARE(fileBytes(archive), expected.replace('#', separator.toLatin1()));

        // Shown with the other separator: the same numbers.
        const QString other = QStringLiteral(".");
        const ToolRun shown = tool({QStringLiteral("show"), archive, QStringLiteral("--separator"), other});
        QCOMPARE(shown.exitCode, 0);
        for (const QString &line :
             {QStringLiteral("Label13\tAritmetička sredina: 0%115625"), QStringLiteral("Label1\thidden"),
              QStringLiteral("yaxis\t0\t25\t#.##"), QStringLiteral("cell\t4\t2\t1%175800")})
            QVERIFY2(shown.out.split(u'\n').contains(QString(line).replace(QStringLiteral("%1"), other)),
                     qPrintable(line));

        const QString chart = m_dir.filePath(QStringLiteral("graf.pdf"));
        QCOMPARE(tool({QStringLiteral("print"), archive, QStringLiteral("--chart"), chart}).exitCode, 0);
        QVERIFY(pdfInfo(chart)[1].startsWith(QLatin1String("842 x 595")));
    }

    void reportsBrokenFilesAndGoesOn()
    {
        const QString broken = m_dir.filePath(QStringLiteral("broken.txt"));
        writeBytes(broken, "KRATKI; 1; 1; ; ; d; t; NE; NE; 3; 0; 0,5; 0; x; R; R; 0,5; a; ");
        const QString good = m_dir.filePath(QStringLiteral("good.txt"));
        writeBytes(good, "DOBAR; 1; 1; ; ; d; t; NE; NE; 1; 1; 2,0; 0; x; R; R; 2,0; a; ");
        const ToolRun r =
            tool({QStringLiteral("show"), broken, good, QStringLiteral("--separator"), QStringLiteral(",")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.out.contains(QStringLiteral("prompt\terror\tUčitavanje arhiviranog testiranja nije uspjelo.")));
        QVERIFY(r.out.section(QLatin1String("file\t") + good, 1).contains(QStringLiteral("Label1\tshown")));
    }
};

QTEST_GUILESS_MAIN(TestArchiveTool)
#include "TestArchiveTool.moc"
