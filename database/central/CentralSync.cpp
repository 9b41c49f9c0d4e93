#include "database/central/CentralSync.h"

#include "common/Failure.h"
#include "database/central/CentralSender.h"

#include <QThread>
#include <QTimer>

namespace {

// Lives on the sending thread; one round at a time.
class SyncWorker : public QObject
{
public:
    SyncWorker(const QString &databasePath, const QString &conninfo, CentralSync &owner)
        : m_databasePath(databasePath)
        , m_conninfo(conninfo)
        , m_owner(owner)
    {
        // A child moves to the sending thread with its parent; a plain member would stay behind.
        m_retry->setSingleShot(true);
        connect(m_retry, &QTimer::timeout, this, &SyncWorker::send);
    }

    void send()
    {
        m_retry->stop();
        try {
            const int count = CentralSender::sendPending(m_databasePath, m_conninfo, CentralSender::BatchSize, [] {
                return QThread::currentThread()->isInterruptionRequested();
            });
            m_delayMs = 0;
            Q_EMIT m_owner.sent(count);
        } catch (const Failure &failure) {
            m_delayMs = m_delayMs == 0 ? CentralSync::FirstRetryMs : std::min(2 * m_delayMs, CentralSync::LastRetryMs);
            m_retry->start(m_delayMs);
            Q_EMIT m_owner.failed(failure.text(), m_delayMs);
        }
    }

private:
    const QString m_databasePath;
    const QString m_conninfo;
    CentralSync &m_owner;
    QTimer *m_retry = new QTimer(this);
    int m_delayMs = 0;
};

} // namespace

CentralSync::CentralSync(const QString &databasePath, const QString &conninfo, QObject *parent)
    : QObject(parent)
    , m_thread(new QThread(this))
{
    auto *worker = new SyncWorker(databasePath, conninfo, *this);
    worker->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, worker, &QObject::deleteLater);
    m_worker = worker;
    m_thread->start();
}

CentralSync::~CentralSync()
{
    m_thread->requestInterruption();
    m_thread->quit();
    m_thread->wait();
}

void CentralSync::sendSoon()
{
    QMetaObject::invokeMethod(static_cast<SyncWorker *>(m_worker), &SyncWorker::send, Qt::QueuedConnection);
}
