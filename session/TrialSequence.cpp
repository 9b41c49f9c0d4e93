#include "session/TrialSequence.h"

#include "common/Clock.h"
#include "design/TestDesign.h"
#include "session/AnswerJudging.h"
#include "session/Scoring.h"
#include "session/SessionPresenter.h"
#include "session/SessionRecorder.h"
#include "session/SessionState.h"

#include <algorithm>

namespace {

QString judgementText(bool recognised)
{
    return recognised ? QStringLiteral("recognised") : QStringLiteral("unrecognised");
}

} // namespace

TrialSequence::TrialSequence(const TestDesign &design, SessionState &state, SessionPresenter &presenter,
                             const Clock &clock)
    : m_design(design)
    , m_state(state)
    , m_presenter(presenter)
    , m_clock(clock)
{}

void TrialSequence::Start()
{
    const int n = m_design.taskCount();
    m_state.sizeTasks(n);
    std::fill(m_state.efficiency.begin(), m_state.efficiency.end(), -1.0);
    std::fill(m_state.recognised.begin(), m_state.recognised.end(), false);
    m_state.startTime = m_clock.now();
    m_state.startNs = m_clock.elapsedNs();
    m_state.info.startedUtc = m_state.startTime.toUTC();
    m_state.info.finishedUtc = {};
    m_state.endTime = {};
    m_state.endNs = 0;
    m_state.duration = 0;
    m_state.unrecognisedCount = 0;
    m_state.mean = m_state.variance = 0;
    m_state.presentations.clear();
    m_state.taskIndex = 0;
    m_state.levelIndex = 0;
    m_firstOnsetNs = -1;
    present(0, 0);
    if (m_recorder)
        m_recorder->begun(m_state, m_firstOnsetNs - m_state.startNs);
}

void TrialSequence::Continue(const SessionState &rebuilt, qint64 leadNs)
{
    m_state.sizeTasks(m_design.taskCount());
    m_state.efficiency = rebuilt.efficiency;
    m_state.recognised = rebuilt.recognised;
    m_state.taskIndex = rebuilt.taskIndex;
    m_state.levelIndex = rebuilt.levelIndex;
    m_state.presentations = rebuilt.presentations;
    m_state.startTime = rebuilt.startTime;
    m_state.info = rebuilt.info;
    m_state.endTime = {};
    m_state.endNs = 0;
    m_state.duration = 0;
    m_state.unrecognisedCount = 0;
    m_state.mean = m_state.variance = 0;
    // The clock runs on as if the last answer had been given just now.
    const qint64 lastResponse = rebuilt.presentations.isEmpty() ? 0 : rebuilt.presentations.last().responseNs;
    m_firstOnsetNs = m_clock.elapsedNs() - lastResponse;
    m_state.startNs = m_firstOnsetNs - leadNs;
    if (m_state.taskIndex <= m_design.taskCount() - 1)
        present(m_state.taskIndex, m_state.levelIndex);
    else
        finish();
}

void TrialSequence::present(int task, int levelIndex)
{
    m_awaiting = false;
    const double efficiency = m_presenter.PresentStimulus(task, levelIndex);
    const qint64 now = m_clock.elapsedNs();
    if (m_firstOnsetNs < 0)
        m_firstOnsetNs = now;
    m_state.efficiency[std::size_t(task)] = efficiency;

    Presentation p;
    p.efficiency = efficiency;
    p.task = task;
    p.levelIndex = levelIndex;
    p.level = m_design.maskLevels.value(levelIndex).trimmed().toInt();
    p.onsetNs = now - m_firstOnsetNs;
    m_state.presentations.append(p);
    ++m_serial;
    m_awaiting = true;
}

void TrialSequence::respond(qint64 pressNs, const QString &key, const QString &typedAnswer, const QString &judgement)
{
    if (m_state.presentations.isEmpty())
        return;
    Presentation &p = m_state.presentations.last();
    p.responseNs = pressNs - m_firstOnsetNs;
    p.key = key;
    p.typedAnswer = typedAnswer;
    p.judgement = judgement;
    // Handed over before the next picture is drawn, so the write runs while it is.
    if (m_recorder)
        m_recorder->answered(int(m_state.presentations.size()) - 1, p);
}

void TrialSequence::awaitDurable()
{
    if (m_recorder)
        m_recorder->awaitDurable();
}

void TrialSequence::answered()
{
    if (!m_state.presentations.isEmpty())
        m_presenter.PresentationAnswered(m_state.presentations.last());
}

void TrialSequence::CheckAnswer(const QString &boxText, qint64 pressNs)
{
    if (!m_awaiting || m_design.testingMode != TestingMode::Independent)
        return;
    awaitDurable();
    m_awaiting = false;
    const int task = m_state.taskIndex;
    const bool correct = IsCorrectAnswer(AnswerOf(boxText), m_design.answersOf(task));
    if (correct)
        m_state.recognised[std::size_t(task)] = true;
    respond(pressNs, QStringLiteral("Return"), boxText, judgementText(correct));
    ++m_state.levelIndex;
    const bool recognised = m_state.recognised[std::size_t(task)];
    answered();
    m_presenter.ShowFeedback(task, recognised);
    if (!recognised && m_state.levelIndex <= m_design.maskLevels.size() - 1)
        present(task, m_state.levelIndex);
    else
        NextTask();
}

void TrialSequence::Judge(bool correct, qint64 pressNs)
{
    if (!m_awaiting || m_design.testingMode != TestingMode::Assisted)
        return;
    awaitDurable();
    m_awaiting = false;
    respond(pressNs, correct ? QStringLiteral("Y") : QStringLiteral("N"), {}, judgementText(correct));
    const int task = m_state.taskIndex;
    ++m_state.levelIndex;
    m_state.recognised[std::size_t(task)] = correct;
    answered();
    m_presenter.ShowFeedback(task, correct);
    if (correct || m_state.levelIndex > m_design.maskLevels.size() - 1)
        NextTask();
    else
        present(task, m_state.levelIndex);
}

void TrialSequence::ReturnStep(qint64 pressNs)
{
    if (!m_awaiting || m_design.testingMode != TestingMode::Assisted || m_design.allowBack != AllowBack::Yes)
        return;
    if (m_state.taskIndex <= 0 && m_state.levelIndex < 1) {
        m_presenter.Beep();
        return;
    }
    awaitDurable();
    m_awaiting = false;
    respond(pressNs, QStringLiteral("F5"), {}, QStringLiteral("back"));
    if (m_state.levelIndex > 0) {
        --m_state.levelIndex;
    } else {
        --m_state.taskIndex;
        m_state.levelIndex = int(m_design.maskLevels.size()) - 1;
    }
    answered();
    m_presenter.RepaintWindow();
    present(m_state.taskIndex, m_state.levelIndex);
}

void TrialSequence::NextTask()
{
    ++m_state.taskIndex;
    m_state.levelIndex = 0;
    m_presenter.RepaintWindow();
    if (m_state.taskIndex <= m_design.taskCount() - 1)
        present(m_state.taskIndex, 0);
    else
        finish();
}

void TrialSequence::finish()
{
    m_awaiting = false;
    m_state.endTime = m_clock.now();
    m_state.endNs = m_clock.elapsedNs();
    m_state.duration = double(m_state.endNs - m_state.startNs) / 86400e9;
    m_state.info.finishedUtc = m_state.endTime.toUTC();
    ComputeScores(m_state);
    if (m_recorder)
        m_recorder->finished(m_state);
    m_presenter.FinishTest();
}
