#include "tools/kalvestrin-tool/SessionDataFolder.h"

#include "common/Failure.h"
#include "common/Regional.h"
#include "database/JournalFile.h"
#include "database/Query.h"
#include "database/ResultsDatabase.h"
#include "database/ui/DatabaseConnection.h"
#include "database/ui/DatabaseResultSink.h"
#include "session/JournalSettlingSink.h"
#include "tools/kalvestrin-tool/ToolCommand.h"

#include <QDir>
#include <QFileInfo>

SessionDataFolder::SessionDataFolder(const QString &dir, bool journal, Prompts &prompts)
    : m_con(std::make_unique<ResultsDatabase>())
{
    if (!QFileInfo(dir).isDir())
        throw Failure(QStringLiteral("no data folder %1").arg(dir));
    const QString folder = QDir(dir).absolutePath();
    if (QFileInfo::exists(QDir(folder).filePath(QStringLiteral("Kalvestrin.mdb"))))
        DatabaseConnection::SetConnectionString(*m_con, prompts, folder);
    m_query = std::make_unique<Query>(*m_con);
    // Stored as the program on this machine would store it.
    m_store = std::make_unique<DatabaseResultSink>(*m_con, *m_query, prompts, Regional::fromSystem().decimalSeparator);
    m_store->setKeepsUnstoredTests(journal);
    if (journal)
        m_journal = std::make_unique<JournalFile>(JournalFile::pathIn(folder));
    auto store = [this](const SessionResult &result) { return m_store->SaveToDatabase(result); };
    m_sink = std::make_unique<JournalSettlingSink>(m_journal.get(), store);
    if (m_journal && m_con->isOpen()) {
        const int stored = SettleFinishedTests(*m_journal, store);
        if (stored > 0)
            out(QStringLiteral("stored\t%1").arg(stored));
    }
}

SessionDataFolder::~SessionDataFolder() = default;

SessionJournal *SessionDataFolder::journal() const
{
    return m_journal.get();
}

ResultSink &SessionDataFolder::sink() const
{
    return *m_sink;
}

JournalTest SessionDataFolder::interrupted() const
{
    if (m_journal) {
        for (const JournalTest &test : m_journal->tests()) {
            if (test.state == JournalTest::State::Running)
                return test;
        }
    }
    throw Failure(QStringLiteral("the journal holds no interrupted test"));
}
