#pragma once

// Why a finished test could not be stored in the results database. The text
// is what the user is shown: the program's message, then one sentence that
// names the file and the reason. Everything but a row the database refuses
// can succeed later, once the file is back, free, writable or unlocked.

#include "common/Failure.h"

class StoreFailure : public Failure
{
public:
    enum class Reason {
        Missing,      // no file at the path (moved or deleted)
        NotConnected, // the file is there, the connection is not open
        Locked,       // another program held its write lock past the busy timeout
        ReadOnly,     // the file or its folder may not be written
        Full,         // no room left for the file
        Refused,      // the row itself is refused; storing it again cannot help
        Other,        // any other failure of reading or writing the file
    };

    inline static const QString SaveFailedText =
        QStringLiteral("Nije uspjelo snimanje rezultata testiranja u bazu podataka! Provjerite status "
                       "Kalvestrim.mdb datoteke koja mora biti u radnom direktoriju programa!");

    // `detail` is the engine's own text, added where the reason alone does not say enough.
    StoreFailure(Reason reason, const QString &path, const QString &detail = {});

    // From SQLite's extended result code and the system's errno of the failure.
    static StoreFailure fromSqlite(const QString &path, int extendedCode, int systemErrno, const QString &detail);

    Reason reason() const { return m_reason; }
    const QString &path() const { return m_path; }
    // The one sentence that names the file and the reason.
    const QString &reasonText() const { return m_reasonText; }
    bool canSucceedLater() const { return m_reason != Reason::Refused; }

    static QString describe(Reason reason, const QString &path, const QString &detail);

private:
    Reason m_reason;
    QString m_path;
    QString m_reasonText;
};
