#include "session/ResumePlan.h"

#include "common/Clock.h"
#include "common/Failure.h"
#include "session/Scoring.h"
#include "session/SessionPresenter.h"
#include "session/TrialSequence.h"

namespace {

const QString DoesNotFit = QStringLiteral("Odgovori zapisani u dnevniku testiranja ne odgovaraju nacrtu testa.");

// Stands in for the screen: every presentation the sequence asks for must be
// the next recorded one and gets its recorded efficiency.
class Replay : public SessionPresenter
{
public:
    explicit Replay(const QList<Presentation> &answers)
        : m_answers(answers)
    {}

    double PresentStimulus(int task, int levelIndex) override
    {
        if (m_next == m_answers.size()) {
            ++m_next; // the picture the continued test shows first
            return 0;
        }
        if (m_next > m_answers.size())
            throw Failure(DoesNotFit);
        const Presentation &p = m_answers[m_next++];
        if (p.task != task || p.levelIndex != levelIndex)
            throw Failure(DoesNotFit);
        return p.efficiency;
    }
    void RepaintWindow() override {}
    void ShowFeedback(int, bool) override {}
    void Beep() override {}
    void FinishTest() override { finished = true; }

    bool finished = false;

private:
    const QList<Presentation> &m_answers;
    qsizetype m_next = 0;
};

class StillClock : public Clock
{
public:
    QDateTime now() const override { return {}; }
    qint64 elapsedNs() const override { return 0; }
};

void replayAnswer(TrialSequence &sequence, const Presentation &p)
{
    if (p.key == QLatin1String("Y") || p.key == QLatin1String("N"))
        sequence.Judge(p.key == QLatin1String("Y"), 0);
    else if (p.key == QLatin1String("F5"))
        sequence.ReturnStep(0);
    else if (p.key == QLatin1String("Return"))
        sequence.CheckAnswer(p.typedAnswer, 0);
}

} // namespace

ResumePlan ResumePlan::of(const JournalTest &test)
{
    ResumePlan plan;
    Replay replay(test.answers);
    StillClock clock;
    TrialSequence sequence(test.design, plan.state, replay, clock);
    sequence.Start();
    for (const Presentation &p : test.answers) {
        const int serial = sequence.presentationSerial();
        if (replay.finished || !sequence.awaitingAnswer())
            throw Failure(DoesNotFit);
        replayAnswer(sequence, p);
        if (!replay.finished && sequence.presentationSerial() == serial)
            throw Failure(DoesNotFit); // the answer was not taken
    }
    plan.finished = replay.finished;
    plan.state.presentations = test.answers;
    plan.state.startTime = test.startTime;
    plan.state.info = test.info;
    return plan;
}

SessionResult RebuildResult(const JournalTest &test)
{
    ResumePlan plan = ResumePlan::of(test);
    if (!plan.finished || test.state != JournalTest::State::FinishedNotStored)
        throw Failure(QStringLiteral("Testiranje u dnevniku testiranja nije završeno."));
    SessionState &state = plan.state;
    state.endTime = test.endTime;
    state.duration = double(test.durationNs) / 86400e9;
    state.info.finishedUtc = test.endTime.toUTC();
    ComputeScores(state);
    return ComposeSessionResult(test.design, state, test.subject, test.endTime.date());
}
