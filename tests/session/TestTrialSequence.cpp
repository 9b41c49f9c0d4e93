// The test's course without a window: start checks, judging, the sequence of
// tasks and levels with the step back, and the scores.

#include "common/Failure.h"
#include "common/NumberText.h"
#include "common/Resources.h"
#include "design/TestDesign.h"
#include "session/Scoring.h"
#include "session/SessionPresenter.h"
#include "session/SessionState.h"
#include "session/StartChecks.h"
#include "session/TrialSequence.h"
#include "session/WavWidening.h"
#include "tests/support/FakeClock.h"
#include <QtEndian>

#include <QTemporaryDir>
#include <QTest>

namespace {

// Records the calls as words: "p1.2" task 1 shown at level index 2, "r"
// erased, "ok1"/"no1" feedback for task 1, the answering key ("Y", "N",
// "F5", "Return") when the session has taken it, "beep" and "end". Every
// presentation returns 1 / (level value).
class Recorder : public SessionPresenter
{
public:
    explicit Recorder(const TestDesign &d, FakeClock &c)
        : design(d)
        , clock(c)
    {}
    const TestDesign &design;
    FakeClock &clock;
    QStringList calls;

    double PresentStimulus(int task, int levelIndex) override
    {
        clock.ns += 5'000'000;
        calls << QStringLiteral("p%1.%2").arg(task).arg(levelIndex);
        return 1.0 / design.maskLevels[levelIndex].toInt();
    }
    void RepaintWindow() override { calls << QStringLiteral("r"); }
    void ShowFeedback(int task, bool correct) override
    {
        calls << QStringLiteral("%1%2").arg(correct ? "ok" : "no").arg(task);
    }
    void PresentationAnswered(const Presentation &answered) override { calls << answered.key; }
    void Beep() override { calls << QStringLiteral("beep"); }
    void FinishTest() override { calls << QStringLiteral("end"); }
};

TestDesign designOf(int tasks, TestingMode mode)
{
    TestDesign d;
    d.testingMode = mode;
    d.maskLevels = {"4", "2", "1"};
    for (int i = 0; i < tasks; ++i)
        d.stimuli << QStringLiteral("p%1.bmp").arg(i);
    return d;
}

} // namespace

class TestTrialSequence : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void maskLevels_data()
    {
        QTest::addColumn<QStringList>("levels");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("ownMessages");
        QTest::newRow("default") << TestDesign::defaultMaskLevels() << true << 0;
        QTest::newRow("one") << QStringList{"1"} << true << 0;
        QTest::newRow("empty") << QStringList{} << false << 1;
        QTest::newRow("not a number") << QStringList{"x"} << false << 1;
        QTest::newRow("repeated") << QStringList{"12", "12", "1"} << false << 0;
        QTest::newRow("not ending in 1") << QStringList{"12", "10"} << false << 0;
        QTest::newRow("zero") << QStringList{"0"} << false << 0;
        QTest::newRow("longer than 16 bits") << QStringList{"40000", "1"} << true << 0;
    }
    void maskLevels()
    {
        QFETCH(QStringList, levels);
        QFETCH(int, ownMessages);
        QList<StartMessage> messages;
        QTEST(ValidateMaskLevels(levels, &messages), "valid");
        QCOMPARE(messages.size(), ownMessages);
    }

    void startChecksInOrder()
    {
        QTemporaryDir dir;
        auto picture = [&](const QString &name) {
            QFile f(dir.filePath(name));
            f.open(QIODevice::WriteOnly);
            return f.fileName();
        };
        TestDesign d = designOf(0, TestingMode::Assisted);
        QList<StartMessage> m;
        for (int n : {1, 1001}) {
            d.stimuli.clear();
            for (int i = 0; i < n; ++i)
                d.stimuli << QStringLiteral("missing");
            m = StartChecks(d);
            QCOMPARE(m.size(), 1);
            QCOMPARE(m[0].kind, StartMessage::Kind::Error);
            QVERIFY(m[0].text.startsWith("Broj zadataka"));
        }

        // Only the first missing file is named, with its full path.
        d.stimuli = {picture("a.bmp"), dir.filePath("b.bmp"), dir.filePath("c.bmp")};
        m = StartChecks(d);
        QCOMPARE(m.size(), 1);
        QVERIFY(m[0].text.endsWith("Provjerite datoteku: " + dir.filePath("b.bmp")));

        d.stimuli = {picture("a.bmp"), picture("b.bmp")};
        d.maskLevels = {"x"};
        m = StartChecks(d);
        QCOMPARE(m.size(), 2); // its own message, then the order rule
        QVERIFY(m[0].text.startsWith("Maskirne razine nisu ispravno zadane!"));
        QVERIFY(m[1].text.startsWith("Lista maskirnih razina mora biti"));
        d.maskLevels = {"1"};
        QVERIFY(StartChecks(d).isEmpty());
    }

    // The course of a test from its keys: levels after a wrong answer, the
    // next task after a right one or after the last level, the step back and
    // its limits, and keys that do nothing in the mode or after the end.
    void sequence_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("allowBack");
        QTest::addColumn<QString>("keys"); // Y, N, F5, or "=" and the typed answer ("_" a blank)
        QTest::addColumn<QString>("calls");
        QTest::addColumn<QString>("recognised");
        const auto row = [](const char *name, TestingMode mode, bool back, const char *keys, const char *calls,
                            const char *recognised) {
            QTest::newRow(name) << int(mode) << back << QString::fromUtf8(keys) << QString::fromUtf8(calls)
                                << QString::fromUtf8(recognised);
        };
        const TestingMode A = TestingMode::Assisted, I = TestingMode::Independent;
        row("F5 at the first picture beeps", A, true, "F5 F5", "p0.0 beep beep", "00");
        row("wrong down to level 1, then the next task", A, true, "N N N", "p0.0 N no0 p0.1 N no0 p0.2 N no0 r p1.0",
            "00");
        row("F5 steps back a level, then to the last level of the task before", A, true, "N F5 Y F5",
            "p0.0 N no0 p0.1 F5 r p0.0 Y ok0 r p1.0 F5 r p0.2", "10");
        row("F5 not allowed", A, false, "N F5", "p0.0 N no0 p0.1", "00");
        row("the end, and nothing after it", A, true, "Y N N N Y F5",
            "p0.0 Y ok0 r p1.0 N no1 p1.1 N no1 p1.2 N no1 r end", "10");
        row("independent: blanks never count", I, true, "=KU_ĆA =X", "p0.0 Return ok0 r p1.0 Return no1 p1.1", "10");
        row("independent: examiner's keys do nothing", I, true, "Y N F5 =T1", "p0.0 Return ok0 r p1.0", "10");
        row("assisted: typed answers do nothing", A, true, "=KUĆA", "p0.0", "00");
    }
    void sequence()
    {
        QFETCH(int, mode);
        QFETCH(bool, allowBack);
        QFETCH(QString, keys);
        TestDesign d = designOf(2, TestingMode(mode));
        d.allowBack = allowBack ? AllowBack::Yes : AllowBack::No;
        d.solutions[0][0] = QStringLiteral("T1");
        d.solutions[0][1] = QStringLiteral("KUĆA");
        SessionState s;
        FakeClock clock;
        Recorder r(d, clock);
        TrialSequence seq(d, s, r, clock);
        seq.Start();
        for (const QString &key : keys.split(QLatin1Char(' '))) {
            if (key.startsWith(QLatin1Char('=')))
                seq.CheckAnswer(key.mid(1).replace(QLatin1Char('_'), QLatin1Char(' ')), clock.ns);
            else if (key == QLatin1String("F5"))
                seq.ReturnStep(clock.ns);
            else
                seq.Judge(key == QLatin1String("Y"), clock.ns);
        }
        QTEST(r.calls.join(QLatin1Char(' ')), "calls");
        QString recognised;
        for (bool flag : s.recognised)
            recognised += flag ? QLatin1Char('1') : QLatin1Char('0');
        QTEST(recognised, "recognised");
        // The picture on screen stored its value in its task's slot.
        const Presentation &last = s.presentations.last();
        if (!r.calls.contains(QStringLiteral("end")))
            QCOMPARE(s.efficiency[std::size_t(last.task)], 1.0 / d.maskLevels[last.levelIndex].toInt());
    }

    void durationOverMidnight()
    {
        TestDesign d = designOf(2, TestingMode::Assisted);
        SessionState s;
        FakeClock clock;
        Recorder r(d, clock);
        TrialSequence seq(d, s, r, clock);
        seq.Start();
        clock.wall = clock.wall.addSecs(120); // past midnight
        clock.ns += 120'000'000'000LL;
        seq.Judge(true, 0);
        seq.Judge(true, 0);
        QVERIFY(s.endTime.date() > s.startTime.date());
        QVERIFY(qAbs(s.duration * 86400 - 120.010) < 1e-6);
    }

    void scores_data()
    {
        QTest::addColumn<std::vector<double>>("efficiency");
        QTest::addColumn<std::vector<bool>>("recognised");
        QTest::addColumn<QString>("mean");
        QTest::addColumn<QString>("variance");
        QTest::addColumn<int>("unrecognised");
        QTest::newRow("both recognised") << std::vector<double>{0.25, 0.0625} << std::vector<bool>{true, true}
                                         << QStringLiteral("0,15625") << QStringLiteral("0,01758") << 0;
        QTest::newRow("one unrecognised") << std::vector<double>{1.0, 1.0} << std::vector<bool>{true, false}
                                          << QStringLiteral("1,50000") << QStringLiteral("0,50000") << 1;
    }
    void scores()
    {
        QFETCH(std::vector<double>, efficiency);
        QFETCH(std::vector<bool>, recognised);
        SessionState s;
        s.efficiency = efficiency;
        s.recognised = recognised;
        ComputeScores(s);
        QTEST(F(s.mean, 10, 5, QLatin1Char(',')), "mean");
        QTEST(F(s.variance, 10, 5, QLatin1Char(',')), "variance");
        QTEST(s.unrecognisedCount, "unrecognised");
    }

    void scoresNeedTwoTasks()
    {
        SessionState s;
        s.efficiency = {0.5};
        s.recognised = {true};
        s.variance = 7;
        QVERIFY_THROWS_EXCEPTION(Failure, ComputeScores(s));
    }

    void feedbackSoundWidened()
    {
        const QByteArray wav = Resources::sound(QStringLiteral("ID_NE"));
        QVERIFY(!wav.isEmpty());
        const QByteArray wide = WidenWavTo16Bit(wav);
        auto u16 = [&](int at) { return qFromLittleEndian<quint16>(wide.constData() + at); };
        auto u32 = [&](int at) { return qFromLittleEndian<quint32>(wide.constData() + at); };
        QCOMPARE(u32(24), quint32(8000)); // rate kept
        QCOMPARE(u16(34), quint16(16));
        QCOMPARE(u32(40), quint32(12000)); // 6000 samples of 2 bytes
        QCOMPARE(wide.size(), 44 + 12000);

        // Silence stays silence; the extremes map to the extremes.
        QByteArray tiny = wav.left(44);
        qToLittleEndian<quint32>(3, tiny.data() + 40);
        qToLittleEndian<quint32>(36 + 3, tiny.data() + 4);
        tiny.append("\x80\xff\x00", 3);
        const QByteArray t = WidenWavTo16Bit(tiny);
        QCOMPARE(qFromLittleEndian<qint16>(t.constData() + 44), qint16(0));
        QCOMPARE(qFromLittleEndian<qint16>(t.constData() + 46), qint16(127 * 256));
        QCOMPARE(qFromLittleEndian<qint16>(t.constData() + 48), qint16(-32768));
        QVERIFY(WidenWavTo16Bit(wide).isEmpty()); // not 8-bit
        QVERIFY(WidenWavTo16Bit("RIFF").isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestTrialSequence)
#include "TestTrialSequence.moc"
