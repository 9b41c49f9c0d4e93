#include "database/StoredTest.h"

#include "common/Failure.h"
#include "common/NumberText.h"
#include "database/ResultsDatabase.h"
#include "session/SessionResult.h"

QString StoredTest::itemsText(const SessionResult &result, QChar separator)
{
    QString items;
    items.reserve(result.tasks.size() * 8);
    for (const TaskResult &task : result.tasks)
        items += F(task.efficiency, 10, 5, separator) + QLatin1Char(';');
    return items;
}

QVariantList StoredTest::values(const SessionResult &result, QChar separator)
{
    const Subject &subject = result.subject;
    QVariant age;
    if (!subject.Age.isEmpty()) {
        bool ok = false;
        const qlonglong value = subject.Age.trimmed().toLongLong(&ok);
        if (!ok)
            throw Failure(QStringLiteral("\"%1\" is not a whole number").arg(subject.Age));
        age = value;
    }
    QVariant gender;
    if (subject.GenderText == QStringLiteral("Ženski"))
        gender = false;
    else if (subject.GenderText == QStringLiteral("Muški"))
        gender = true;
    return {subject.Name,
            subject.Surname,
            age,
            gender,
            qlonglong(result.stimulusCount),
            double(result.mean),
            double(result.variance),
            itemsText(result, separator),
            subject.Field1,
            subject.Field2,
            subject.Field3};
}

qint64 StoredTest::insertRow(ResultsDatabase &con, const QVariantList &row)
{
    con.execute(QStringLiteral("INSERT INTO main.Data (Name, Surname, Age, Gender, N, M, V, Items, Field1, Field2, "
                               "Field3) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)"),
                row);
    return con.lastInsertId();
}
