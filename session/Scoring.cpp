#include "session/Scoring.h"

#include "common/Failure.h"
#include "design/TestDesign.h"
#include "session/SessionState.h"

void ComputeScores(SessionState &state)
{
    const std::size_t n = state.efficiency.size();
    if (n < 2 || state.recognised.size() != n)
        throw Failure(QStringLiteral("Rezultat testa s manje od dva zadatka ne može se izračunati."));

    state.unrecognisedCount = 0;
    long double s1 = 0, s2 = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (!state.recognised[i]) {
            state.efficiency[i] = 2.0;
            ++state.unrecognisedCount;
        }
        const long double e = state.efficiency[i];
        s1 += e;
        s2 += e * e;
    }
    const long double count = n;
    state.mean = s1 / count;
    state.variance = (s2 - s1 * s1 / count) / (count - 1);
}

SessionResult ComposeSessionResult(const TestDesign &design, const SessionState &state, const Subject &subject,
                                   QDate testDate)
{
    SessionResult r;
    r.subject = subject;
    r.testDate = testDate;
    r.duration = state.duration;
    r.independentMode = design.testingMode == TestingMode::Independent;
    r.modeText = r.independentMode ? QStringLiteral("Samostalan") : QStringLiteral("Nesamostalan");
    r.ignoreBackground = design.ignoreBackground;
    r.stimulusCount = int(state.efficiency.size());
    r.unrecognisedCount = state.unrecognisedCount;
    r.mean = state.mean;
    r.variance = state.variance;
    for (int i = 0; i < r.stimulusCount; ++i) {
        TaskResult t;
        if (std::size_t(i) < design.solutions.size())
            t.label = design.solutions[std::size_t(i)][0];
        t.recognised = state.recognised[std::size_t(i)];
        t.efficiency = state.efficiency[std::size_t(i)];
        r.tasks.append(t);
    }
    r.presentations = state.presentations;
    r.session = state.info;
    return r;
}
