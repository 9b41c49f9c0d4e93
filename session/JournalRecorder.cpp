#include "session/JournalRecorder.h"

#include "common/Failure.h"
#include "session/SessionJournal.h"
#include "session/SessionState.h"

JournalRecorder::JournalRecorder(SessionJournal &journal, const TestDesign &design, FailureReport report)
    : m_journal(journal)
    , m_design(design)
    , m_report(std::move(report))
{}

void JournalRecorder::setTest(const QUuid &uuid, const Subject &subject)
{
    m_uuid = uuid;
    m_subject = subject;
    m_failed = false;
}

void JournalRecorder::guarded(const std::function<void()> &write)
{
    if (m_failed)
        return;
    try {
        write();
    } catch (const Failure &f) {
        m_failed = true;
        if (m_report)
            m_report(f.text());
    }
}

void JournalRecorder::begun(const SessionState &state, qint64 leadNs)
{
    JournalTest test;
    test.info = state.info;
    test.info.uuid = m_uuid;
    test.subject = m_subject;
    test.design = m_design;
    test.startTime = state.startTime;
    test.leadNs = leadNs;
    guarded([&] { m_journal.begin(test); });
}

void JournalRecorder::answered(int ordinal, const Presentation &answer)
{
    guarded([&] { m_journal.answer(m_uuid, ordinal, answer); });
}

void JournalRecorder::awaitDurable()
{
    guarded([&] { m_journal.sync(); });
}

void JournalRecorder::finished(const SessionState &state)
{
    guarded([&] { m_journal.finish(m_uuid, state.info.finishedUtc, state.endNs - state.startNs); });
}
