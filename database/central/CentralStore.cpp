#include "database/central/CentralStore.h"

#include "common/Failure.h"
#include "database/ResultsSchema.h"
#include "database/central/CentralFailure.h"
#include "database/central/ServerSettings.h"

#include <cmath>

namespace {

// One round trip per batch: the tests go as one JSON array and the Sessions
// row decides for each. A UUID the server has already stops its Data and
// Presentations rows as well, so sending twice (or from two processes at
// once) stores once. JSON carries doubles to 17 significant digits, which
// the server reads back to the same double.
const QString StoreTestsSql = QStringLiteral(
    "WITH t AS (SELECT * FROM jsonb_to_recordset($1::jsonb) AS x(uuid uuid, station text, designpath text, "
    "designsha256 text, startedutc timestamptz, finishedutc timestamptz, programversion text, screenwidth int, "
    "screenheight int, devicepixelratio float8, mode text, refreshrate float8, compositor smallint, hasdata boolean, "
    "name text, surname text, age bigint, gender bigint, n bigint, m float8, v float8, items text, field1 text, "
    "field2 text, field3 text, presentations jsonb)), "
    "s AS (INSERT INTO Sessions (UUID, DataID, Station, DesignPath, DesignSHA256, StartedUTC, FinishedUTC, "
    "ProgramVersion, ScreenWidth, ScreenHeight, DevicePixelRatio, Mode, RefreshRate, Compositor) "
    "SELECT uuid, nextval('data_id_seq'), station, designpath, designsha256, startedutc, finishedutc, "
    "programversion, screenwidth, screenheight, devicepixelratio, mode, refreshrate, compositor FROM t "
    "ON CONFLICT (UUID) DO NOTHING RETURNING UUID, DataID), "
    "d AS (INSERT INTO Data (ID, Name, Surname, Age, Gender, N, M, V, Items, Field1, Field2, Field3) "
    "SELECT s.DataID, t.name, t.surname, t.age, t.gender <> 0, t.n, t.m, t.v, t.items, t.field1, t.field2, "
    "t.field3 FROM s JOIN t ON t.uuid = s.UUID WHERE t.hasdata), "
    "p AS (INSERT INTO Presentations (SessionUUID, Nr, Task, LevelIndex, Level, Efficiency, OnsetMs, ResponseMs, "
    "Key, TypedAnswer, Judgement) SELECT s.UUID, x.nr, x.task, x.levelindex, x.level, x.efficiency, x.onsetms, "
    "x.responsems, x.key, x.typedanswer, x.judgement FROM s JOIN t ON t.uuid = s.UUID CROSS JOIN "
    "jsonb_to_recordset(t.presentations) AS x(nr int, task int, levelindex int, level int, efficiency float8, "
    "onsetms float8, responsems float8, key text, typedanswer text, judgement text)) "
    "SELECT count(*) FROM s");

const char *const SessionKeys[] = {"station",          "designpath",     "designsha256", "startedutc",
                                   "finishedutc",      "programversion", "screenwidth",  "screenheight",
                                   "devicepixelratio", "mode",           "refreshrate",  "compositor"};
const char *const DataKeys[] = {"name", "surname", "age",    "gender", "n",     "m",
                                "v",    "items",   "field1", "field2", "field3"};
const char *const PresentationKeys[] = {"nr",      "task",       "levelindex", "level",       "efficiency",
                                        "onsetms", "responsems", "key",        "typedanswer", "judgement"};

// JSON written by hand: QJsonDocument took as long as the server's work.
void appendValue(QByteArray &json, const QVariant &value)
{
    if (!value.isValid() || value.isNull()) {
        json += "null";
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Bool: json += value.toBool() ? "true" : "false"; return;
    case QMetaType::Int:
    case QMetaType::LongLong: json += QByteArray::number(value.toLongLong()); return;
    case QMetaType::Double: {
        const double d = value.toDouble();
        // 17 significant digits read back to the same double.
        json += std::isfinite(d) ? QByteArray::number(d, 'g', 17) : QByteArray("null");
        return;
    }
    default: break;
    }
    json += '"';
    for (const char c : value.toString().toUtf8()) {
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            json += "\\u00";
            json += "0123456789abcdef"[(c >> 4) & 0xf];
            json += "0123456789abcdef"[c & 0xf];
        } else {
            json += c;
        }
    }
    json += '"';
}

template <std::size_t N>
void appendFields(QByteArray &json, const char *const (&keys)[N], const QVariantList &values)
{
    for (std::size_t c = 0; c < N && qsizetype(c) < values.size(); ++c) {
        json += ",\"";
        json += keys[c];
        json += "\":";
        appendValue(json, values[qsizetype(c)]);
    }
}

QByteArray testsJson(const std::vector<OutgoingTest> &tests)
{
    QByteArray json = "[";
    for (const OutgoingTest &test : tests) {
        if (json.size() > 1)
            json += ',';
        json += "{\"uuid\":";
        appendValue(json, test.uuid);
        json += test.data.isEmpty() ? ",\"hasdata\":false" : ",\"hasdata\":true";
        appendFields(json, SessionKeys, test.session);
        appendFields(json, DataKeys, test.data);
        json += ",\"presentations\":[";
        for (std::size_t i = 0; i < test.presentations.size(); ++i) {
            json += i == 0 ? "{" : ",{";
            // The first field's comma is the object's own.
            QByteArray fields;
            appendFields(fields, PresentationKeys, test.presentations[i]);
            json += fields.mid(1);
            json += '}';
        }
        json += "]}";
    }
    json += ']';
    return json;
}

} // namespace

int CentralStore::storeTests(PgConnection &con, const std::vector<OutgoingTest> &tests)
{
    if (tests.empty())
        return 0;
    return int(con.exec(StoreTestsSql, {QString::fromUtf8(testsJson(tests))}).value(0, 0).toLongLong());
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
    static const QStringList known = ResultsSchema::columnNames() + QStringList{QStringLiteral("UUID"),
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
