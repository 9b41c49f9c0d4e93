#pragma once

// The station's background sending to the central database: a thread of
// its own sends the pending tests whenever asked (at start, after each
// stored test) and, while the server cannot be reached, tries again after
// a pause that doubles up to five minutes, so the tests go as soon as the
// server answers again. The main window never waits for it and is never
// asked anything: a failure is only reported through failed().

#include <QObject>
#include <QString>

class QThread;

class CentralSync : public QObject
{
    Q_OBJECT

public:
    static constexpr int FirstRetryMs = 2000;
    static constexpr int LastRetryMs = 5 * 60 * 1000;

    CentralSync(const QString &databasePath, const QString &conninfo, QObject *parent = nullptr);
    // Lets a batch under way finish (or its connection fail) and stops the thread.
    ~CentralSync() override;

    // Sends what is pending, soon, on the sending thread. Safe from any thread.
    void sendSoon();

Q_SIGNALS:
    // After a round that sent `count` tests (0 when nothing was pending).
    void sent(int count);
    // A round failed; the next is tried after `retryMs`.
    void failed(const QString &reason, int retryMs);

private:
    QThread *m_thread = nullptr;
    QObject *m_worker = nullptr;
};
