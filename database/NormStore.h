#pragma once

// Norm groups in the results database: their own tables beside Data (which
// they never change), made the first time a group is stored, so a database
// of an earlier version opens as it is and reading never writes.
//   NormGroups (ID, Name unique, Definition, CreatedUTC, N, Mean, SD)
//   NormValues (GroupID, M)                 every test's M, when known
//   NormPoints (GroupID, M, Percentile)     a published table's points
//   NormTasks (GroupID, Task, Q1, Median, Q3)

#include "results/NormGroup.h"

#include <QDateTime>
#include <QStringList>

class ResultsDatabase;
struct NormFilter;

class NormStore
{
public:
    explicit NormStore(ResultsDatabase &con);

    // The statistics of the stored tests the filter selects, named `name`.
    // Throws Failure (fewer than two tests, no spread of M).
    NormGroup compute(const QString &name, const NormFilter &filter);

    // Stores a group under its name, in one transaction. A name already
    // there is refused.
    void add(const NormGroup &group, const QDateTime &createdUtc);
    QStringList names();
    // Throws Failure for a name not stored.
    NormGroup load(const QString &name);
    void rename(const QString &name, const QString &newName);
    void remove(const QString &name);

private:
    bool hasTables();
    qint64 idOf(const QString &name);
    void requireFreeName(const QString &name);

    ResultsDatabase &m_con;
};
