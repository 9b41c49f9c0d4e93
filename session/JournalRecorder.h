#pragma once

// What the session journal is told as a test runs: the test with its subject
// and a copy of its design when the first picture is up, every answer as it
// is judged, and the end. A journal that cannot be written costs the test
// nothing: the failure is reported once and the test goes on unjournalled.

#include "session/SessionRecorder.h"

#include <QUuid>

#include <functional>

class SessionJournal;
class TestDesign;

class JournalRecorder : public SessionRecorder
{
public:
    using FailureReport = std::function<void(const QString &text)>;

    JournalRecorder(SessionJournal &journal, const TestDesign &design, FailureReport report);

    // The test about to start or continue, and who takes it.
    void setTest(const QUuid &uuid, const Subject &subject);

    void begun(const SessionState &state, qint64 leadNs) override;
    void answered(int ordinal, const Presentation &answer) override;
    void awaitDurable() override;
    void finished(const SessionState &state) override;

private:
    void guarded(const std::function<void()> &write);

    SessionJournal &m_journal;
    const TestDesign &m_design;
    FailureReport m_report;
    QUuid m_uuid;
    Subject m_subject;
    bool m_failed = false;
};
