#pragma once

// The session journal on disk: `Kalvestrin.journal` in the data folder, an
// SQLite file of its own (WAL, synchronous FULL) that the program creates.
// One writer thread owns the connection and carries out every operation in
// the order handed over, so writing an answer never holds up the picture
// that follows it; sync() is where the caller waits, and only when a write
// is still under way.

#include "session/SessionJournal.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

struct sqlite3;

class JournalFile : public SessionJournal
{
public:
    static constexpr const char *FileName = "Kalvestrin.journal";
    static QString pathIn(const QString &dataFolder);

    // Opens or creates the file and drops tests that never got an answer.
    // Throws Failure with SQLite's text.
    explicit JournalFile(const QString &path);
    ~JournalFile() override;
    JournalFile(const JournalFile &) = delete;
    JournalFile &operator=(const JournalFile &) = delete;

    void begin(const JournalTest &test) override;
    void answer(const QUuid &uuid, int ordinal, const Presentation &answer) override;
    void finish(const QUuid &uuid, const QDateTime &finishedUtc, qint64 durationNs) override;
    void remove(const QUuid &uuid) override;
    void sync() override;
    QList<JournalTest> tests() override;

private:
    using Work = std::function<void(sqlite3 *)>;
    void post(Work work);
    void run();

    sqlite3 *m_db = nullptr;
    std::mutex m_mutex;
    std::condition_variable m_wake, m_idle;
    std::deque<Work> m_queue;
    bool m_busy = false;
    bool m_stop = false;
    QString m_error; // the first failed write, until sync() reports it
    std::thread m_thread;
};
