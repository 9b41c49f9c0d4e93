// Killing the program at random moments of a test: kalvestrin-tool session
// runs a 20-task test with a data folder and is killed (SIGKILL) after a
// random line of its output. Each time the journal must open and hold every
// answer the program had acted on, continuing with the rest of the keys must
// give the uninterrupted test's M and V, and the test is stored once.
// KALVESTRIN_KILL_COUNT sets the number of kills (30 by default),
// KALVESTRIN_KILL_SEED the random seed.

#include "common/Bitmap.h"
#include "design/DesignFile.h"
#include "design/TestDesign.h"
#include "tests/support/TestPictures.h"
#include "tests/support/ToolRun.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Tool = QStringLiteral(KALVESTRIN_TOOL);

QStringList lines(const QString &text)
{
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList sessionArgs(const QString &design, const QString &data)
{
    return {QStringLiteral("session"),    design, QStringLiteral("--data"), data, QStringLiteral("--no-sound"),
            QStringLiteral("--no-visual")};
}

// A data folder with an empty results database.
QString dataFolder(const QTemporaryDir &root, int n)
{
    const QString dir = root.filePath(QStringLiteral("run%1").arg(n));
    QDir().mkpath(dir);
    const ToolRun r = runTool(Tool, {QStringLiteral("create-database"), dir + QStringLiteral("/Kalvestrin.mdb")});
    if (r.exitCode != 0)
        qFatal("create-database: %s", qPrintable(r.err));
    return dir;
}

// count, M and V of table Data.
QString stored(const QString &dir)
{
    return lines(runTool(Tool, {QStringLiteral("query"), dir + QStringLiteral("/Kalvestrin.mdb"),
                                QStringLiteral("SELECT count(*), max(M), max(V) FROM Data")})
                     .out)
        .value(1);
}

} // namespace

class TestKillHarness : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_design;
    QByteArray m_start; // the subject, the instructions and the start
    QStringList m_keys; // one per picture of the uninterrupted test
    int m_outputLines = 0;
    QString m_expected; // count, M and V after the uninterrupted test

private Q_SLOTS:
    void initTestCase()
    {
        TestDesign d;
        QRandomGenerator pixels(7);
        for (int t = 0; t < 20; ++t) {
            QImage picture = filledPicture(48, 48, White);
            for (int i = 0; i < 300; ++i)
                setPixel(picture, pixels.bounded(48), pixels.bounded(48), Colour(pixels.generate() & 0xFFFFFF));
            d.stimuli << m_dir.filePath(QStringLiteral("p%1.bmp").arg(t));
            saveBmp24(picture, d.stimuli.last());
        }
        m_design = m_dir.filePath(QStringLiteral("twenty.txt"));
        SaveDesignFile(d, m_design);

        // Y, N and F5 mixed; the test takes as many as it needs.
        QRandomGenerator keys(11);
        QByteArray script = "type KILL\nclick Btn1\nclick Btn2\n";
        m_start = script;
        for (int i = 0; i < 400; ++i) {
            const int k = keys.bounded(10);
            script += i > 0 && k == 0 ? "key F5\n" : k < 6 ? "key N\n" : "key Y\n";
        }
        const QString dir = dataFolder(m_dir, 0);
        const ToolRun r = runTool(Tool, sessionArgs(m_design, dir), script);
        QCOMPARE(r.exitCode, 0);
        for (const QString &line : lines(r.out)) {
            if (line.startsWith(QLatin1String("level\t")))
                m_keys << QStringLiteral("key ") + line.section(QLatin1Char('\t'), 5, 5);
        }
        QVERIFY(m_keys.size() >= 20);
        m_outputLines = int(lines(r.out).size());
        m_expected = stored(dir);
        QVERIFY(m_expected.startsWith(QLatin1String("1\t")));
        QVERIFY(lines(runTool(Tool, {QStringLiteral("journal"), dir}).out).isEmpty());
    }

    void killedAtRandomMoments()
    {
        const int count = qEnvironmentVariableIsSet("KALVESTRIN_KILL_COUNT")
                              ? qEnvironmentVariableIntValue("KALVESTRIN_KILL_COUNT")
                              : 30;
        const quint32 seed = qEnvironmentVariableIsSet("KALVESTRIN_KILL_SEED")
                                 ? qgetenv("KALVESTRIN_KILL_SEED").toUInt()
                                 : QRandomGenerator::global()->generate();
        qInfo("%d kills, seed %u", count, seed);
        QRandomGenerator random(seed);
        int continued = 0, settled = 0, done = 0, unanswered = 0;
        for (int n = 1; n <= count; ++n) {
            const QString dir = dataFolder(m_dir, n);
            const int presented = killAfter(dir, 1 + random.bounded(m_outputLines));
            const QStringList held = lines(runTool(Tool, {QStringLiteral("journal"), dir}).out);
            QVERIFY(held.size() <= 1);
            const QString state = held.isEmpty() ? QString() : held[0].section(QLatin1Char('\t'), 1, 1);
            const int answers = held.isEmpty() ? 0 : held[0].section(QLatin1Char('\t'), 3, 3).toInt();
            if (state == QLatin1String("running")) {
                // Every answer the program had acted on when we saw its output
                // is there (it may have gone further before the kill landed).
                QVERIFY2(
                    answers >= presented - 2,
                    qPrintable(QStringLiteral("kill %1: %2 answers, %3 pictures").arg(n).arg(answers).arg(presented)));
                QCOMPARE(held[0].section(QLatin1Char('\t'), 2, 2), QStringLiteral(" KILL"));
                const QByteArray rest = m_keys.mid(answers).join(QLatin1Char('\n')).toUtf8() + '\n';
                const ToolRun r = runTool(Tool, resumeArgs(dir), rest);
                QVERIFY2(r.exitCode == 0 && r.out.startsWith(QLatin1String("resumed\t")), qPrintable(r.out + r.err));
                QVERIFY(r.out.contains(QLatin1String("\nclosed\n")));
                ++continued;
            } else if (state == QLatin1String("finished-not-stored")) {
                const ToolRun r = runTool(Tool, resumeArgs(dir));
                QVERIFY2(r.out.startsWith(QLatin1String("stored\t1\n")), qPrintable(r.out + r.err));
                ++settled;
            } else if (stored(dir).startsWith(QLatin1String("1\t"))) {
                ++done;
            } else {
                // Killed before the first answer was acted on: nothing to continue.
                QVERIFY2(presented <= 2, qPrintable(QStringLiteral("kill %1: %2 pictures").arg(n).arg(presented)));
                ++unanswered;
                continue;
            }
            QVERIFY(lines(runTool(Tool, {QStringLiteral("journal"), dir}).out).isEmpty());
            QCOMPARE(stored(dir), m_expected);
        }
        qInfo("continued %d, stored later %d, finished before the kill %d, killed before an answer %d", continued,
              settled, done, unanswered);
    }

private:
    QStringList resumeArgs(const QString &dir) const
    {
        return {QStringLiteral("session"),  QStringLiteral("--data"),     dir,
                QStringLiteral("--resume"), QStringLiteral("--no-sound"), QStringLiteral("--no-visual")};
    }

    // Runs the whole test and kills it once `line` lines of output are in;
    // how many pictures it had shown by then.
    int killAfter(const QString &dir, int line)
    {
        QProcess p;
        p.start(Tool, sessionArgs(m_design, dir));
        p.write(m_start + m_keys.join(QLatin1Char('\n')).toUtf8() + '\n');
        p.closeWriteChannel();
        int seen = 0, presented = 0;
        while (seen < line && p.state() != QProcess::NotRunning) {
            if (!p.canReadLine() && !p.waitForReadyRead(30000))
                break;
            while (seen < line && p.canReadLine()) {
                ++seen;
                if (p.readLine().startsWith("present\t"))
                    ++presented;
            }
        }
        p.kill();
        p.waitForFinished(30000);
        return presented;
    }
};

QTEST_GUILESS_MAIN(TestKillHarness)
#include "TestKillHarness.moc"
