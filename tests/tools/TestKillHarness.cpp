// Killing the program at random moments of a test: kalvestrin-tool session
// runs a 20-task test with a data folder and is killed (SIGKILL) after a
// random line of its output. Each time the journal must open and hold every
// answer the program had acted on, continuing with the rest of the keys must
// give the uninterrupted test's M and V, and the test is stored once.
// KALVESTRIN_KILL_COUNT sets the number of kills (30 by default),
// KALVESTRIN_KILL_SEED the random seed; many kills need a longer
// QTEST_FUNCTION_TIMEOUT than QtTest's five minutes.

#include "common/Bitmap.h"
#include "design/DesignFile.h"
#include "design/TestDesign.h"
#include "tests/support/TestPictures.h"
#include "tests/support/ToolRun.h"

#include <QDir>
#include <QMap>
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
        QMap<QString, int> outcomes;
        QStringList faults;
        for (int n = 1; n <= count; ++n) {
            QString outcome;
            const QString fault = killOnce(dataFolder(m_dir, n), 1 + random.bounded(m_outputLines), outcome);
            ++outcomes[outcome];
            if (!fault.isEmpty())
                faults << QStringLiteral("kill %1: %2").arg(n).arg(fault);
        }
        for (auto it = outcomes.cbegin(); it != outcomes.cend(); ++it)
            qInfo("%s: %d", qPrintable(it.key()), it.value());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }

private:
    // Kills a run after `line` lines of output and checks what it left; the
    // first fault found, or an empty text.
    QString killOnce(const QString &dir, int line, QString &outcome)
    {
        const int presented = killAfter(dir, line);
        const QStringList held = lines(runTool(Tool, {QStringLiteral("journal"), dir}).out);
        if (held.size() > 1)
            return QStringLiteral("%1 tests in the journal").arg(held.size());
        outcome = held.isEmpty() ? QString() : held[0].section(QLatin1Char('\t'), 1, 1);
        const int answers = held.isEmpty() ? 0 : held[0].section(QLatin1Char('\t'), 3, 3).toInt();
        if (outcome == QLatin1String("running")) {
            // Every answer the program had acted on when we saw its output is
            // there (it may have gone further before the kill landed).
            if (answers < presented - 2)
                return QStringLiteral("%1 answers after %2 pictures").arg(answers).arg(presented);
            const QByteArray rest = m_keys.mid(answers).join(QLatin1Char('\n')).toUtf8() + '\n';
            const ToolRun r = runTool(Tool, resumeArgs(dir), rest);
            if (r.exitCode != 0 || !r.out.startsWith(QLatin1String("resumed\t")) ||
                !r.out.contains(QLatin1String("\nclosed\n")))
                return QStringLiteral("continuing failed: ") + r.out.left(200) + r.err;
        } else if (outcome == QLatin1String("finished-not-stored")) {
            const ToolRun r = runTool(Tool, resumeArgs(dir));
            if (!r.out.startsWith(QLatin1String("stored\t1\n")))
                return QStringLiteral("not stored later: ") + r.out + r.err;
        } else if (stored(dir).startsWith(QLatin1String("1\t"))) {
            outcome = QStringLiteral("finished before the kill");
        } else {
            outcome = QStringLiteral("killed before an answer");
            // Nothing to continue only when no answer had been acted on.
            return presented <= 2 ? QString() : QStringLiteral("nothing kept after %1 pictures").arg(presented);
        }
        if (!lines(runTool(Tool, {QStringLiteral("journal"), dir}).out).isEmpty())
            return QStringLiteral("the journal still holds the test");
        const QString result = stored(dir);
        return result == m_expected ? QString() : QStringLiteral("stored %1, expected %2").arg(result, m_expected);
    }

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
