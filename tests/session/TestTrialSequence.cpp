// The test's course without a window: start checks, judging, the sequence of
// tasks and levels with the step back, and the scores.

#include "common/Clock.h"
#include "common/Failure.h"
#include "common/NumberText.h"
#include "common/Resources.h"
#include "design/TestDesign.h"
#include "session/AnswerJudging.h"
#include "session/Scoring.h"
#include "session/SessionPresenter.h"
#include "session/SessionState.h"
#include "session/StartChecks.h"
#include "session/TrialSequence.h"
#include "session/WavWidening.h"
#include <QtEndian>

#include <QTemporaryDir>
#include <QTest>

namespace {

class FakeClock : public Clock
{
public:
    QDateTime wall = QDateTime(QDate(2024, 3, 1), QTime(23, 59, 0));
    qint64 ns = 1'000'000;
    QDateTime now() const override { return wall; }
    qint64 elapsedNs() const override { return ns; }
};

// Records the calls as text; every presentation returns 1 / (level value).
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
    int failAt = -1; // throw on this presentation (0-based)
    int presented = 0;

    double PresentStimulus(int task, int levelIndex) override
    {
        if (presented++ == failAt)
            throw Failure(QStringLiteral("no picture"));
        clock.ns += 5'000'000;
        calls << QStringLiteral("present %1 %2").arg(task).arg(levelIndex);
        return 1.0 / design.maskLevels[levelIndex].toInt();
    }
    void RepaintWindow() override {}
    void ShowFeedback(int task, bool correct) override
    {
        calls << QStringLiteral("feedback %1 %2").arg(task).arg(correct ? "ok" : "wrong");
    }
    void Beep() override { calls << QStringLiteral("beep"); }
    void FinishTest() override { calls << QStringLiteral("finish"); }
};

TestDesign designOf(int tasks, TestingMode mode, QStringList levels = {"4", "2", "1"})
{
    TestDesign d;
    d.testingMode = mode;
    d.maskLevels = levels;
    for (int i = 0; i < tasks; ++i) {
        d.stimuli << QStringLiteral("p%1.bmp").arg(i);
        d.solutions[std::size_t(i)][0] = QStringLiteral("T%1").arg(i);
    }
    d.solutions[0][1] = QStringLiteral("KUĆA");
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
        QTest::newRow("blanks around") << QStringList{" 8", "1 "} << true << 0;
        QTest::newRow("empty") << QStringList{} << false << 1;
        QTest::newRow("not a number") << QStringList{"x"} << false << 1;
        QTest::newRow("repeated") << QStringList{"12", "12", "1"} << false << 0;
        QTest::newRow("not ending in 1") << QStringList{"12", "10"} << false << 0;
        QTest::newRow("zero") << QStringList{"0"} << false << 0;
        QTest::newRow("below 1 at the end") << QStringList{"3", "1", "0"} << false << 0;
        QTest::newRow("longer than 16 bits") << QStringList{"40000", "1"} << true << 0;
    }
    void maskLevels()
    {
        QFETCH(QStringList, levels);
        QFETCH(bool, valid);
        QFETCH(int, ownMessages);
        QList<StartMessage> messages;
        QCOMPARE(ValidateMaskLevels(levels, &messages), valid);
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
        QList<StartMessage> m = StartChecks(d);
        QCOMPARE(m.size(), 1);
        QCOMPARE(m[0].kind, StartMessage::Kind::Warning);
        QVERIFY(m[0].text.startsWith("Niste definirali zadatke"));

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

    void judging_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("judged");
        QTest::addColumn<bool>("correct");
        QTest::newRow("exact") << "KUĆA"
                               << "KUĆA" << true;
        QTest::newRow("blanks everywhere") << " KU ĆA  "
                                           << "KUĆA" << true;
        QTest::newRow("lower case") << "kuća"
                                    << "KUĆA" << true;
        QTest::newRow("blank") << "   "
                               << "NEODGOVORENO" << false;
        QTest::newRow("empty") << ""
                               << "NEODGOVORENO" << false;
        QTest::newRow("other") << "KUCA"
                               << "KUCA" << false;
    }
    void judging()
    {
        QFETCH(QString, typed);
        QFETCH(QString, judged);
        QFETCH(bool, correct);
        QCOMPARE(AnswerOf(typed), judged);
        QCOMPARE(IsCorrectAnswer(AnswerOf(typed), {"T0", "KUĆA"}), correct);
    }

    void independentSequence()
    {
        TestDesign d = designOf(2, TestingMode::Independent);
        SessionState s;
        FakeClock clock;
        Recorder r(d, clock);
        TrialSequence seq(d, s, r, clock);
        seq.Start();
        seq.CheckAnswer("  ", clock.ns + 10);    // wrong at level 4
        seq.CheckAnswer("ku ća", clock.ns + 20); // right at level 2
        seq.CheckAnswer("X", clock.ns);
        seq.CheckAnswer("X", clock.ns);
        seq.CheckAnswer("X", clock.ns); // wrong at level 1: unrecognised
        QCOMPARE(r.calls, (QStringList{"present 0 0", "feedback 0 wrong", "present 0 1", "feedback 0 ok", "present 1 0",
                                       "feedback 1 wrong", "present 1 1", "feedback 1 wrong", "present 1 2",
                                       "feedback 1 wrong", "finish"}));
        QVERIFY(!seq.awaitingAnswer());
        // After the end every further answer is ignored: no phantom second test.
        seq.CheckAnswer("X", clock.ns);
        QCOMPARE(r.calls.count("finish"), 1);
        QCOMPARE(s.efficiency, (std::vector<double>{0.5, 2.0}));
        QCOMPARE(s.unrecognisedCount, 1);
        QCOMPARE(double(s.mean), 1.25);

        QCOMPARE(s.presentations.size(), 5);
        QCOMPARE(s.presentations[0].onsetNs, 0);
        QCOMPARE(s.presentations[0].responseNs, 10);
        QCOMPARE(s.presentations[0].key, QStringLiteral("Return"));
        QCOMPARE(s.presentations[1].onsetNs, 5'000'000);
        QCOMPARE(s.presentations[1].level, 2);
        // Judged by the independent rules only.
        seq.Judge(true, 0);
        QCOMPARE(r.calls.size(), 11);
    }

    void assistedSequenceWithStepBack()
    {
        TestDesign d = designOf(4, TestingMode::Assisted);
        SessionState s;
        FakeClock clock;
        Recorder r(d, clock);
        TrialSequence seq(d, s, r, clock);
        seq.Start();
        seq.ReturnStep(0); // first picture: only a beep
        QCOMPARE(r.calls.last(), QStringLiteral("beep"));
        QVERIFY(seq.awaitingAnswer());
        seq.CheckAnswer("T0", 0); // typed answers do not count here
        seq.Judge(true, 0);       // task 0
        seq.Judge(true, 0);       // task 1
        seq.Judge(false, 0);      // task 2 level 0 -> level 1
        seq.ReturnStep(0);        // back to level 0
        QCOMPARE(r.calls.last(), QStringLiteral("present 2 0"));
        seq.Judge(true, 0); // task 2 at level 0
        seq.ReturnStep(0);  // task 3 level 0 -> task 2 at its last level
        QCOMPARE(r.calls.last(), QStringLiteral("present 2 2"));
        QVERIFY(s.recognised[2]); // the step back changes no flag
        seq.Judge(false, 0);      // after the last level an N moves on
        QCOMPARE(r.calls.last(), QStringLiteral("present 3 0"));
        QVERIFY(!s.recognised[2]);
        seq.Judge(false, 0);
        seq.Judge(false, 0);
        seq.Judge(true, 0);
        QCOMPARE(r.calls.last(), QStringLiteral("finish"));
        QCOMPARE(s.efficiency, (std::vector<double>{0.25, 0.25, 2.0, 1.0}));
        QCOMPARE(s.presentations[3].key, QStringLiteral("F5"));
    }

    void noStepBackWhenNotAllowed()
    {
        TestDesign d = designOf(2, TestingMode::Assisted);
        d.allowBack = AllowBack::No;
        SessionState s;
        FakeClock clock;
        Recorder r(d, clock);
        TrialSequence seq(d, s, r, clock);
        seq.Start();
        seq.Judge(false, 0);
        seq.ReturnStep(0);
        QCOMPARE(r.calls.last(), QStringLiteral("present 0 1"));
    }

    void failedPresentationLeavesNoSession()
    {
        TestDesign d = designOf(2, TestingMode::Assisted);
        SessionState s;
        FakeClock clock;
        Recorder r(d, clock);
        r.failAt = 1;
        TrialSequence seq(d, s, r, clock);
        seq.Start();
        QVERIFY_THROWS_EXCEPTION(Failure, seq.Judge(false, 0));
        QVERIFY(!seq.awaitingAnswer());
        seq.Judge(true, 0);
        QVERIFY(!r.calls.contains("finish"));
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
        QVERIFY(s.duration > 0);
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
                                         << "0,15625"
                                         << "0,01758" << 0;
        QTest::newRow("one unrecognised")
            << std::vector<double>{1.0, 1.0} << std::vector<bool>{true, false} << "1,50000"
            << "0,50000" << 1;
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
        if (efficiency[0] == 0.25) {
            QCOMPARE(s.mean, 0.15625L);
            QCOMPARE(s.variance, 0.017578125L);
        }
    }

    void scoresNeedTwoTasks()
    {
        SessionState s;
        s.efficiency = {0.5};
        s.recognised = {true};
        s.variance = 7;
        QVERIFY_THROWS_EXCEPTION(Failure, ComputeScores(s));
    }

    void resultRecord()
    {
        TestDesign d = designOf(2, TestingMode::Independent);
        d.solutions[1][0].clear();
        d.ignoreBackground = true;
        SessionState s;
        s.efficiency = {0.25, 2.0};
        s.recognised = {true, false};
        s.unrecognisedCount = 1;
        Subject who;
        who.Name = "ANA";
        const SessionResult r = ComposeSessionResult(d, s, who, QDate(2024, 1, 2));
        QCOMPARE(r.modeText, QStringLiteral("Samostalan"));
        QVERIFY(r.independentMode && r.ignoreBackground);
        QCOMPARE(r.stimulusCount, 2);
        QCOMPARE(r.tasks[0].label, QStringLiteral("T0"));
        QCOMPARE(r.tasks[1].label, QString()); // slot 1 empty: no label
        QVERIFY(!r.tasks[1].recognised);
        QCOMPARE(r.subject.Name, QStringLiteral("ANA"));
    }

    // Audio back ends that refuse 8-bit sound get the same sound in 16 bits.
    void feedbackSoundWidened()
    {
        const QByteArray wav = Resources::sound(QStringLiteral("ID_NE"));
        QVERIFY(!wav.isEmpty());
        const QByteArray wide = WidenWavTo16Bit(wav);
        auto u16 = [&](int at) { return qFromLittleEndian<quint16>(wide.constData() + at); };
        auto u32 = [&](int at) { return qFromLittleEndian<quint32>(wide.constData() + at); };
        QCOMPARE(u16(22), quint16(1));    // mono
        QCOMPARE(u32(24), quint32(8000)); // rate kept
        QCOMPARE(u16(34), quint16(16));
        QCOMPARE(u32(40), quint32(12000)); // 6000 samples of 2 bytes
        QCOMPARE(wide.size(), 44 + 12000);
        QCOMPARE(u32(4), quint32(wide.size() - 8));

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
