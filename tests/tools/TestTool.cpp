// The headless tool, run as a user runs it.

#include "common/Bitmap.h"
#include "common/SafeFile.h"
#include "common/Windows1250.h"
#include "design/DesignFile.h"
#include "design/TestDesign.h"
#include "session/MaskStimulus.h"
#include "tests/support/TestPictures.h"
#include "tests/support/ToolRun.h"

#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

ToolRun tool(const QStringList &args, const QByteArray &input = {})
{
    return runTool(QStringLiteral(KALVESTRIN_TOOL), args, input);
}

} // namespace

class TestTool : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private Q_SLOTS:
    void maskPrintsTheWorkedCaseAndWritesTheFrame()
    {
        QImage pic = filledPicture(4, 4, White);
        setPixel(pic, 2, 2, rgbColour(255, 0, 0));
        const QString picture = m_dir.filePath(QStringLiteral("four.bmp"));
        saveBmp24(pic, picture);
        const QString frame = m_dir.filePath(QStringLiteral("frame.bmp"));

        ToolRun r = tool({QStringLiteral("mask"), picture, QStringLiteral("2"), QStringLiteral("--mask-colour"),
                          QStringLiteral("00FF00"), QStringLiteral("--out"), frame});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QStringLiteral("shownCount\t4\nnonBackgroundCount\t8\nefficiency\t0.25\n"));
        const QImage drawn = loadPicture(frame);
        QCOMPARE(drawn.size(), QSize(4, 4));
        QCOMPARE(fromQRgb(drawn.pixel(1, 1)), rgbColour(255, 0, 0));
        QCOMPARE(fromQRgb(drawn.pixel(0, 0)), rgbColour(0, 255, 0));
        QCOMPARE(fromQRgb(drawn.pixel(3, 3)), Black);

        r = tool({QStringLiteral("mask"), picture, QStringLiteral("2"), QStringLiteral("--ignore-background")});
        QCOMPARE(r.out, QStringLiteral("shownCount\t4\nnonBackgroundCount\t8\nefficiency\t0.5\n"));
    }

    void levelsTabulatesEveryTask()
    {
        const QString a = m_dir.filePath(QStringLiteral("a.bmp"));
        const QString b = m_dir.filePath(QStringLiteral("b.bmp"));
        saveBmp24(filledPicture(100, 100, rgbColour(9, 9, 9)), a);
        saveBmp24(filledPicture(30, 20, White), b);
        TestDesign d;
        d.stimuli = {a, b};
        const QString design = m_dir.filePath(QStringLiteral("d.txt"));
        SaveDesignFile(d, design);

        const ToolRun r = tool({QStringLiteral("levels"), design});
        QCOMPARE(r.exitCode, 0);
        const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QStringLiteral("task\tpath\twidth\theight\tL12\tL10\tL8\tL6\tL4\tL2\tL1"));
        QCOMPARE(lines[1],
                 QStringLiteral(
                     "1\t%1\t100\t100\t0.0064000000000000003\t0.01\t0.0144\t0.025600000000000001\t0.0625\t0.25\t1")
                     .arg(a));
        // 30 x 20 at level 12: two positions shown of 600.
        QVERIFY(lines[2].startsWith(QStringLiteral("2\t%1\t30\t20\t0.0033333333333333335\t").arg(b)));
    }

    void failuresGoToStderrWithExitCodeOne()
    {
        ToolRun r = tool({QStringLiteral("levels"), m_dir.filePath(QStringLiteral("none.txt"))});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.err.contains(QStringLiteral("none.txt")));
        QVERIFY(r.out.isEmpty());

        TestDesign d;
        d.stimuli = {m_dir.filePath(QStringLiteral("missing.bmp")), m_dir.filePath(QStringLiteral("x.bmp"))};
        SaveDesignFile(d, m_dir.filePath(QStringLiteral("bad.txt")));
        r = tool({QStringLiteral("levels"), m_dir.filePath(QStringLiteral("bad.txt"))});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.err.contains(QStringLiteral("missing.bmp")));

        r = tool({QStringLiteral("mask"), m_dir.filePath(QStringLiteral("missing.bmp")), QStringLiteral("2")});
        QCOMPARE(r.exitCode, 1);

        // More stimuli than a design can hold: refused before any table is read past its end.
        const QString small = m_dir.filePath(QStringLiteral("small.bmp"));
        saveBmp24(filledPicture(2, 2), small);
        const QString many = m_dir.filePath(QStringLiteral("many.txt"));
        writeFileAtomically(many, QByteArray(small.toUtf8() + "\r\n").repeated(TestDesign::MaxTasks + 1) +
                                      "^\r\n^\r\n1\r\n^\r\n");
        r = tool({QStringLiteral("levels"), many});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.err.contains(QStringLiteral("1000")));
        QVERIFY(r.out.isEmpty());
        r = tool({QStringLiteral("frobnicate")});
        QCOMPARE(r.exitCode, 2);
    }

    void demoWritesAKitThatLoads()
    {
        const QString kit = m_dir.filePath(QStringLiteral("kit"));
        ToolRun r = tool({QStringLiteral("demo"), kit});
        QCOMPARE(r.exitCode, 0);
        TestDesign d;
        LoadDesignFile(d, QDir(kit).filePath(QStringLiteral("primjer.txt")));
        QVERIFY(d.taskCount() >= 12);
        QCOMPARE(d.maskLevels, TestDesign::defaultMaskLevels());
        QSet<QString> names;
        for (int t = 0; t < d.taskCount(); ++t) {
            const QString name = QFileInfo(d.stimuli[t]).fileName();
            QVERIFY2(name.endsWith(QLatin1String(".bmp")) && name == name.toLower(), qPrintable(name));
            names.insert(name);
            // Black on white with a white pixel (1, 1), so the background rule counts the drawing.
            const QImage pic = loadPicture(d.stimuli[t]);
            QVERIFY(pic.width() <= 500 && pic.height() <= 400);
            QCOMPARE(pic.pixel(1, 1), qRgb(255, 255, 255));
            for (int y = 0; y < pic.height(); ++y)
                for (int x = 0; x < pic.width(); ++x)
                    QVERIFY2((pic.pixel(x, y) & 0xFFFFFF) % 0xFFFFFF == 0, qPrintable(name));
            const QStringList answers = d.answersOf(t);
            QVERIFY(!answers.isEmpty() && answers.size() <= 3);
            for (const QString &answer : answers)
                QCOMPARE(Windows1250::toUpper(answer).remove(QLatin1Char(' ')), answer);
            QCOMPARE(d.maskColours[std::size_t(t)], White);
        }
        QCOMPARE(names.size(), d.taskCount());
        // Run again: nothing the user has is overwritten.
        r = tool({QStringLiteral("demo"), kit});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.startsWith(QStringLiteral("0 files")));
    }

    void sessionRunsATestFromCommands()
    {
        TestDesign d;
        d.maskLevels = {QStringLiteral("2"), QStringLiteral("1")};
        for (int t = 0; t < 2; ++t) {
            const QString path = m_dir.filePath(QStringLiteral("s%1.bmp").arg(t));
            saveBmp24(filledPicture(4, 4), path);
            d.stimuli << path;
        }
        d.solutions[0][0] = QStringLiteral("kuća");
        d.solutions[1][0] = QStringLiteral("riba");
        const QString design = m_dir.filePath(QStringLiteral("session.txt"));
        SaveDesignFile(d, design);

        const ToolRun r =
            tool({QStringLiteral("session"), design, QStringLiteral("--independent"), QStringLiteral("--no-sound")},
                 "type x\nclick Btn1\nclick Btn2\ntype ku ća\nkey Return\nkey Return\nkey Return\n");
        QCOMPARE(r.exitCode, 0);
        const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY2(lines.value(0).startsWith(QStringLiteral("instruction\t                        U  P  U  T  A \\n\\n")),
                 qPrintable(r.out));
        QVERIFY(lines.contains(QStringLiteral("present\t1\t2\t0.25")));
        QVERIFY(lines.contains(QStringLiteral("present\t2\t1\t1")));
        const QStringList result = lines.filter(QStringLiteral("result\t")).value(0).split(QLatin1Char('\t'));
        QCOMPARE(result.mid(0, 7), (QStringList{"result", "2", "1", "1.12500", "1.53125", "1.125", "1.53125"}));
        QVERIFY(lines.contains(QStringLiteral("task\t1\t1\t0.25\tKUĆA")));
        QVERIFY(lines.contains(QStringLiteral("task\t2\t0\t2\tRIBA")));
        QCOMPARE(lines.filter(QStringLiteral("level\t")).size(), 3);
        QCOMPARE(lines.value(lines.size() - 2),
                 QStringLiteral("information\tTestiranje je završeno! Hvala Vam na sudjelovanju!"));
        QCOMPARE(lines.last(), QStringLiteral("closed"));
    }
};

QTEST_GUILESS_MAIN(TestTool)
#include "TestTool.moc"
