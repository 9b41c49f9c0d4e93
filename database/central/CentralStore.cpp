#include "database/central/CentralStore.h"

#include "common/Failure.h"
#include "database/ResultsSchema.h"
#include "database/central/CentralFailure.h"
#include "database/central/ServerSettings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// One round trip per test: the Sessions row decides. A UUID the server has
// already stops the Data and Presentations rows as well, so sending twice
// (or from two processes at once) stores once.
const QString StoreTestSql = QStringLiteral(
    "WITH s AS (INSERT INTO Sessions (UUID, DataID, Station, DesignPath, DesignSHA256, StartedUTC, FinishedUTC, "
    "ProgramVersion, ScreenWidth, ScreenHeight, DevicePixelRatio, Mode, RefreshRate, Compositor) "
    "VALUES ($1::uuid, nextval('data_id_seq'), $2, $3, $4, $5::timestamptz, $6::timestamptz, $7, $8, $9, $10, $11, "
    "$12, $13) ON CONFLICT (UUID) DO NOTHING RETURNING UUID, DataID), "
    "d AS (INSERT INTO Data (ID, Name, Surname, Age, Gender, N, M, V, Items, Field1, Field2, Field3) "
    "SELECT DataID, $14, $15, $16, $17::bigint <> 0, $18, $19, $20, $21, $22, $23, $24 FROM s WHERE $25::boolean), "
    "p AS (INSERT INTO Presentations (SessionUUID, Nr, Task, LevelIndex, Level, Efficiency, OnsetMs, ResponseMs, Key, "
    "TypedAnswer, Judgement) SELECT s.UUID, x.nr, x.task, x.levelindex, x.level, x.efficiency, x.onsetms, "
    "x.responsems, x.key, x.typedanswer, x.judgement FROM s CROSS JOIN jsonb_to_recordset($26::jsonb) AS x(nr int, "
    "task int, levelindex int, level int, efficiency float8, onsetms float8, responsems float8, key text, "
    "typedanswer text, judgement text)) "
    "SELECT count(*) FROM s");

const char *const PresentationKeys[] = {"nr",       "task",       "levelindex", "level",       "efficiency",
                                        "onsetms",  "responsems", "key",        "typedanswer", "judgement"};

// The presentations as one JSON array: doubles written in the shortest text
// that reads back to the same double.
QByteArray presentationsJson(const std::vector<QVariantList> &rows)
{
    QJsonArray array;
    for (const QVariantList &row : rows) {
        QJsonObject object;
        for (int c = 0; c < row.size() && c < int(std::size(PresentationKeys)); ++c)
            object.insert(QLatin1String(PresentationKeys[c]), QJsonValue::fromVariant(row[c]));
        array.append(object);
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

QVariantList storeValues(const OutgoingTest &test)
{
    QVariantList values{test.uuid};
    values += test.session;
    while (values.size() < 13)
        values << QVariant();
    QVariantList data = test.data;
    while (data.size() < 11)
        data << QVariant();
    values += data;
    values << !test.data.isEmpty() << QString::fromUtf8(presentationsJson(test.presentations));
    return values;
}

} // namespace

int CentralStore::storeTests(PgConnection &con, const std::vector<OutgoingTest> &tests)
{
    int stored = 0;
    for (const OutgoingTest &test : tests)
        stored += int(con.exec(StoreTestSql, storeValues(test)).value(0, 0).toLongLong());
    return stored;
}

QString CentralStore::checkConnection(const ServerSettings &settings)
{
    try {
        PgConnection con(settings.conninfo());
        const PgResult data = con.exec(QStringLiteral("SELECT to_regclass('data') IS NOT NULL AND "
                                                      "to_regclass('sessions') IS NOT NULL"));
        if (data.text(0, 0) != QLatin1String("t"))
            return QStringLiteral("Baza podataka %1 na poslužitelju %2 nije pripremljena za rezultate (naredba "
                                  "kalvestrin-tool server-init).")
                .arg(settings.database, con.server());
        con.exec(QStringLiteral("SELECT 1 FROM Data LIMIT 1"));
        return {};
    } catch (const Failure &failure) {
        return failure.text();
    }
}

std::vector<QVariantList> CentralStore::dataPage(PgConnection &con, qint64 afterId, int limit)
{
    const PgResult result =
        con.exec(QStringLiteral("SELECT ID, Name, Surname, Age, Gender::int, N, M, V, Items, Field1, Field2, Field3 "
                                "FROM Data WHERE ID > $1 ORDER BY ID LIMIT $2"),
                 {afterId, qlonglong(limit)});
    std::vector<QVariantList> rows;
    rows.reserve(std::size_t(result.rowCount()));
    for (int r = 0; r < result.rowCount(); ++r)
        rows.push_back(result.values(r));
    return rows;
}

qint64 CentralStore::dataCount(PgConnection &con)
{
    return con.exec(QStringLiteral("SELECT count(*) FROM Data")).value(0, 0).toLongLong();
}

void CentralStore::editValue(PgConnection &con, qint64 id, const QString &column, const QVariant &value,
                             const QString &station)
{
    QVariant text;
    if (value.isValid() && !value.isNull())
        text = value.typeId() == QMetaType::Double ? QString::number(value.toDouble(), 'g', 17) : value.toString();
    con.exec(QStringLiteral("SELECT kalvestrin_edit($1, $2, $3, $4)"), {id, column, text, station});
}

QString CentralStore::stationSpelling(const QString &name)
{
    static const QStringList known = ResultsSchema::columnNames() +
                                     QStringList{QStringLiteral("UUID"),
                                                 QStringLiteral("DataID"),
                                                 QStringLiteral("Station"),
                                                 QStringLiteral("DesignPath"),
                                                 QStringLiteral("DesignSHA256"),
                                                 QStringLiteral("StartedUTC"),
                                                 QStringLiteral("FinishedUTC"),
                                                 QStringLiteral("ProgramVersion"),
                                                 QStringLiteral("ScreenWidth"),
                                                 QStringLiteral("ScreenHeight"),
                                                 QStringLiteral("DevicePixelRatio"),
                                                 QStringLiteral("Mode"),
                                                 QStringLiteral("RefreshRate"),
                                                 QStringLiteral("Compositor"),
                                                 QStringLiteral("SessionUUID"),
                                                 QStringLiteral("Nr"),
                                                 QStringLiteral("Task"),
                                                 QStringLiteral("LevelIndex"),
                                                 QStringLiteral("Level"),
                                                 QStringLiteral("Efficiency"),
                                                 QStringLiteral("OnsetMs"),
                                                 QStringLiteral("ResponseMs"),
                                                 QStringLiteral("Key"),
                                                 QStringLiteral("TypedAnswer"),
                                                 QStringLiteral("Judgement")};
    for (const QString &k : known) {
        if (k.compare(name, Qt::CaseInsensitive) == 0)
            return k;
    }
    return name;
}
