#include "database/QueryConnection.h"

#include "common/Failure.h"
#include "database/SqliteValues.h"

#include <QFile>

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace {

// What an analysis of the stored tests needs: aggregates, text, numbers,
// dates and window functions.
constexpr auto AllowedFunctions = std::to_array<std::string_view>({
    "abs",        "acos",       "asin",        "atan",      "atan2",     "avg",        "ceil",         "ceiling",
    "char",       "coalesce",   "cos",         "count",     "cume_dist", "date",       "datetime",     "degrees",
    "dense_rank", "exp",        "first_value", "floor",     "format",    "glob",       "group_concat", "hex",
    "ifnull",     "iif",        "instr",       "julianday", "lag",       "last_value", "lead",         "length",
    "like",       "likelihood", "likely",      "ln",        "log",       "log10",      "log2",         "lower",
    "ltrim",      "max",        "min",         "mod",       "nth_value", "ntile",      "nullif",       "percent_rank",
    "pi",         "pow",        "power",       "printf",    "quote",     "radians",    "rank",         "replace",
    "round",      "row_number", "rtrim",       "sign",      "sin",       "sqrt",       "strftime",     "string_agg",
    "substr",     "substring",  "sum",         "tan",       "time",      "total",      "trim",         "trunc",
    "typeof",     "unicode",    "unixepoch",   "unlikely",  "upper",
});

// Pragmas that only describe the schema, as table-valued functions.
constexpr auto AllowedPragmas = std::to_array<std::string_view>(
    {"index_info", "index_list", "index_xinfo", "table_info", "table_list", "table_xinfo"});

template <std::size_t N>
bool listed(const std::array<std::string_view, N> &list, const char *name)
{
    if (!name)
        return false;
    const std::string_view wanted(name);
    return std::any_of(list.begin(), list.end(), [&](std::string_view allowed) {
        return allowed.size() == wanted.size() && sqlite3_strnicmp(allowed.data(), name, int(wanted.size())) == 0;
    });
}

} // namespace

QueryConnection::~QueryConnection()
{
    close();
}

void QueryConnection::open(const QString &path)
{
    close();
    sqlite3 *db = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, "PRAGMA query_only=1;", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_set_authorizer(db, &QueryConnection::authorize, this);
    if (rc != SQLITE_OK) {
        const QString text = SqliteValues::errorText(db);
        sqlite3_close_v2(db);
        throw Failure(text);
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_progress_handler(db, 1000, &QueryConnection::progress, this);
    m_db = db;
}

void QueryConnection::close()
{
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
}

int QueryConnection::authorize(void *, int action, const char *a, const char *b, const char *, const char *)
{
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_RECURSIVE: return SQLITE_OK;
    // A pragma used as a table runs when the statement steps; refused here
    // it is refused before anything runs.
    case SQLITE_READ:
        return !a || sqlite3_strnicmp(a, "pragma_", 7) != 0 || listed(AllowedPragmas, a + 7) ? SQLITE_OK : SQLITE_DENY;
    case SQLITE_FUNCTION: return listed(AllowedFunctions, b) ? SQLITE_OK : SQLITE_DENY;
    case SQLITE_PRAGMA: return listed(AllowedPragmas, a) ? SQLITE_OK : SQLITE_DENY;
    // A table-valued function declares itself in the in-memory schema as it
    // is first used; the connection itself cannot write.
    case SQLITE_UPDATE:
        return a && (std::strcmp(a, "sqlite_master") == 0 || std::strcmp(a, "sqlite_schema") == 0) ? SQLITE_OK
                                                                                                   : SQLITE_DENY;
    default: return SQLITE_DENY;
    }
}

int QueryConnection::progress(void *self)
{
    const auto *connection = static_cast<QueryConnection *>(self);
    return connection->m_stop && connection->m_stop() ? 1 : 0;
}
