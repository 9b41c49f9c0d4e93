// The session journal: a test cut off after any answer and continued from
// what the journal file holds ends exactly as the uninterrupted test, and a
// finished test stays in the journal until it is stored.

#include "common/Clock.h"
#include "database/JournalFile.h"
#include "design/TestDesign.h"
#include "session/JournalRecorder.h"
#include "session/JournalSettlingSink.h"
#include "session/ResumePlan.h"
#include "session/Scoring.h"
#include "session/SessionPresenter.h"
#include "session/SessionState.h"
#include "session/TrialSequence.h"
#include "tests/support/FakeClock.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

// A frame's efficiency depends on the task and the level, so a picture
// shown at the wrong place shows in the scores.
class Screen : public SessionPresenter
{
public:
    Screen(const TestDesign &d, FakeClock &c)
        : design(d)
        , clock(c)
    {}
    double PresentStimulus(int task, int levelIndex) override
    {
        clock.ns += 5'000'000;
        return (task + 1) / (7.0 * design.maskLevels[levelIndex].toInt() + task);
    }
    void RepaintWindow() override {}
    void ShowFeedback(int, bool) override {}
    void Beep() override {}
    void FinishTest() override { finished = true; }

    const TestDesign &design;
    FakeClock &clock;
    bool finished = false;
};

TestDesign designOf(TestingMode mode)
{
    TestDesign d;
    d.testingMode = mode;
    d.maskLevels = {"5", "3", "1"};
    for (int i = 0; i < 4; ++i) {
        d.stimuli << QStringLiteral("p%1.bmp").arg(i);
        d.solutions[std::size_t(i)][0] = QStringLiteral("R%1").arg(i);
    }
    return d;
}

// One test run, journalled into `dir`; each key a second after the last.
struct Run
{
    Run(const TestDesign &d, const QString &dir)
        : design(d)
        , journal(JournalFile::pathIn(dir))
        , screen(design, clock)
        , recorder(journal, design, [](const QString &text) { QFAIL(qPrintable(text)); })
        , sequence(design, state, screen, clock)
    {
        sequence.setRecorder(&recorder);
    }
    void start(const Subject &subject = {})
    {
        state.info.uuid = QUuid::createUuid();
        recorder.setTest(state.info.uuid, subject);
        sequence.Start();
    }
    void press(const QString &key)
    {
        clock.ns += 1'000'000'000;
        if (key == QLatin1String("F5"))
            sequence.ReturnStep(clock.ns);
        else if (design.testingMode == TestingMode::Assisted)
            sequence.Judge(key == QLatin1String("Y"), clock.ns);
        else
            sequence.CheckAnswer(key, clock.ns);
    }

    TestDesign design;
    FakeClock clock;
    JournalFile journal;
    SessionState state;
    Screen screen;
    JournalRecorder recorder;
    TrialSequence sequence;
};

} // namespace

class TestSessionJournal : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void continuedEqualsUninterrupted_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("keys");
        QTest::newRow("assisted, steps back")
            << int(TestingMode::Assisted)
            << QStringList{"N", "Y", "F5", "N", "N", "N", "F5", "F5", "Y", "N", "Y", "N", "N", "N"};
        QTest::newRow("independent") << int(TestingMode::Independent)
                                     << QStringList{"X", "R 0", "KUĆA", "Neodgovoreno", "NEODGOVORENO", "R2",
                                                    "A", "B",   "C"};
    }
    void continuedEqualsUninterrupted()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, keys);
        const TestDesign design = designOf(TestingMode(mode));

        QTemporaryDir whole;
        Run reference(design, whole.path());
        reference.start();
        for (const QString &key : keys)
            reference.press(key);
        QVERIFY(reference.screen.finished);

        for (int cut = 0; cut <= keys.size(); ++cut) {
            QTemporaryDir dir;
            {
                Run before(design, dir.path());
                before.start();
                for (const QString &key : keys.mid(0, cut))
                    before.press(key);
            } // cut off: nothing more reaches the file

            Run after(designOf(TestingMode::Assisted), dir.path()); // the journal's design wins
            const QList<JournalTest> held = after.journal.tests();
            if (cut == 0) {
                QVERIFY(held.isEmpty()); // nothing answered, nothing to continue
                continue;
            }
            QCOMPARE(held.size(), 1);
            QCOMPARE(held[0].answers.size(), cut);
            const ResumePlan plan = ResumePlan::of(held[0]);
            after.design = held[0].design;
            after.recorder.setTest(held[0].info.uuid, held[0].subject);
            after.clock.ns += 3600'000'000'000LL; // an hour until the program runs again
            after.sequence.Continue(plan.state, held[0].leadNs);
            for (const QString &key : keys.mid(cut))
                after.press(key);

            QVERIFY2(after.screen.finished, qPrintable(QStringLiteral("cut %1").arg(cut)));
            QCOMPARE(after.state.efficiency, reference.state.efficiency);
            QCOMPARE(after.state.recognised, reference.state.recognised);
            QCOMPARE(after.state.unrecognisedCount, reference.state.unrecognisedCount);
            QVERIFY(after.state.mean == reference.state.mean);
            QVERIFY(after.state.variance == reference.state.variance);
            QCOMPARE(after.state.duration, reference.state.duration); // the hour does not count
            QCOMPARE(after.state.presentations.size(), reference.state.presentations.size());
            for (int i = 0; i < after.state.presentations.size(); ++i) {
                const Presentation &a = after.state.presentations[i], &r = reference.state.presentations[i];
                QCOMPARE(QList<qint64>({a.task, a.levelIndex, a.onsetNs, a.responseNs}),
                         QList<qint64>({r.task, r.levelIndex, r.onsetNs, r.responseNs}));
                QCOMPARE(a.judgement, r.judgement);
            }
        }
    }

    void finishedStaysUntilStored()
    {
        QTemporaryDir dir;
        const TestDesign design = designOf(TestingMode::Assisted);
        Subject subject;
        subject.Surname = QStringLiteral("ČIČAK");
        subject.Age = QStringLiteral("33");
        SessionResult handedOn;
        {
            Run run(design, dir.path());
            run.start(subject);
            for (const char *key : {"Y", "N", "Y", "N", "N", "N", "Y"})
                run.press(QLatin1String(key));
            handedOn = ComposeSessionResult(design, run.state, subject, run.state.endTime.date());
            JournalSettlingSink failing(&run.journal, [](const SessionResult &) { return false; });
            failing.accept(handedOn);
        }
        JournalFile journal(JournalFile::pathIn(dir.path()));
        const QList<JournalTest> held = journal.tests();
        QCOMPARE(held.size(), 1);
        QCOMPARE(held[0].state, JournalTest::State::FinishedNotStored);

        QList<SessionResult> stored;
        auto store = [&](const SessionResult &r) {
            stored << r;
            return true;
        };
        QCOMPARE(SettleFinishedTests(journal, store), 1);
        QVERIFY(journal.tests().isEmpty());
        const SessionResult &r = stored.at(0);
        QCOMPARE(r.session.uuid, handedOn.session.uuid);
        QCOMPARE(r.subject.Surname, subject.Surname);
        QVERIFY(r.mean == handedOn.mean && r.variance == handedOn.variance);
        QCOMPARE(r.duration, handedOn.duration);
        QCOMPARE(r.testDate, handedOn.testDate);
        QCOMPARE(r.presentations.size(), handedOn.presentations.size());
        QCOMPARE(SettleFinishedTests(journal, store), 0); // never twice
    }
};

QTEST_GUILESS_MAIN(TestSessionJournal)
#include "TestSessionJournal.moc"
