#include "database/export/ReadStatExporter.h"

#include "common/Failure.h"
#include "database/export/AnalysisLabels.h"
#include "database/export/ColumnSurvey.h"

#include <QDir>

#include <readstat.h>

#include <limits>
#include <memory>

namespace {

// Stata's long holds -2,147,483,647 to 2,147,483,620; the values above are its missing codes.
constexpr qint64 StataLongLowest = -2147483647;
constexpr qint64 StataLongHighest = 2147483620;
constexpr qsizetype StataMaxString = 2045; // bytes of a str# variable
constexpr qsizetype SpssMaxString = 32767;
constexpr int StataMaxLabel = 80;

struct WriterFree
{
    void operator()(readstat_writer_t *writer) const { readstat_writer_free(writer); }
};

ssize_t writeBytes(const void *bytes, size_t length, void *device)
{
    return static_cast<QIODevice *>(device)->write(static_cast<const char *>(bytes), qint64(length));
}

class Writer
{
public:
    explicit Writer(const QString &path)
        : m_path(path)
        , m_writer(readstat_writer_init())
    {
        if (!m_writer)
            require(READSTAT_ERROR_MALLOC);
        require(readstat_set_data_writer(m_writer.get(), writeBytes));
    }
    readstat_writer_t *get() const { return m_writer.get(); }
    void require(readstat_error_t error) const
    {
        if (error != READSTAT_OK) {
            throw Failure(QStringLiteral("Datoteku \"%1\" nije moguće zapisati: %2")
                              .arg(QDir::toNativeSeparators(m_path), QString::fromUtf8(readstat_error_message(error))));
        }
    }

private:
    QString m_path;
    std::unique_ptr<readstat_writer_t, WriterFree> m_writer;
};

const QStringList SpssReserved = {"ALL", "AND", "BY", "EQ", "GE", "GT", "LE", "LT", "NE", "NOT", "OR", "TO", "WITH"};
const QStringList StataReserved = {"_all",  "_b",  "byte",  "_coef", "_cons", "double", "float",
                                   "if",    "in",  "int",   "long",  "_n",    "_N",     "_pi",
                                   "_pred", "_rc", "_skip", "strL",  "using", "with",   "str"};

// The storage of one column.
readstat_type_t typeOf(ReadStatExporter::Kind kind, const ExportColumn &column, const ColumnSurvey &survey, qsizetype c)
{
    switch (column.type) {
    case ExportColumnType::Text: return READSTAT_TYPE_STRING;
    case ExportColumnType::Double: return READSTAT_TYPE_DOUBLE;
    case ExportColumnType::Boolean: return kind == ReadStatExporter::Stata ? READSTAT_TYPE_INT8 : READSTAT_TYPE_DOUBLE;
    case ExportColumnType::Integer: break;
    }
    const bool fitsLong = survey.lowest[c] >= StataLongLowest && survey.highest[c] <= StataLongHighest;
    return kind == ReadStatExporter::Stata && fitsLong ? READSTAT_TYPE_INT32 : READSTAT_TYPE_DOUBLE;
}

void insert(const Writer &w, const readstat_variable_t *variable, readstat_type_t type, const QVariant &v)
{
    if (!v.isValid()) {
        w.require(readstat_insert_missing_value(w.get(), variable));
        return;
    }
    switch (type) {
    case READSTAT_TYPE_STRING:
        w.require(readstat_insert_string_value(w.get(), variable, v.toString().toUtf8().constData()));
        return;
    case READSTAT_TYPE_INT8: w.require(readstat_insert_int8_value(w.get(), variable, v.toBool() ? 1 : 0)); return;
    case READSTAT_TYPE_INT32:
        w.require(readstat_insert_int32_value(w.get(), variable, int32_t(v.toLongLong())));
        return;
    default: break;
    }
    const double d = v.typeId() == QMetaType::LongLong ? double(v.toLongLong()) : v.toDouble();
    w.require(readstat_insert_double_value(w.get(), variable, d));
}

} // namespace

ReadStatExporter::ReadStatExporter(Kind kind)
    : m_kind(kind)
{}

QString ReadStatExporter::formatName() const
{
    return m_kind == Spss ? QStringLiteral("SPSS") : QStringLiteral("Stata");
}

void ReadStatExporter::check(const ExportData &data) const
{
    ColumnSurvey::requireRows(data, std::numeric_limits<int32_t>::max(), formatName());
    ColumnSurvey::requireColumns(data, 32767, formatName());
    const ColumnSurvey survey = ColumnSurvey::of(data);
    survey.requireBytes(data, m_kind == Spss ? SpssMaxString : StataMaxString, formatName());
    survey.requireExactIntegers(data, formatName());
    survey.requireFinite(formatName());
}

void ReadStatExporter::write(const ExportData &data, const QString &path, ExportFiles &files) const
{
    QIODevice &out = files.create(path);
    const ColumnSurvey survey = ColumnSurvey::of(data);
    const Writer w(path);
    const bool stata = m_kind == Stata;
    const QStringList names =
        AnalysisLabels::variableNames(data.columns, stata ? 32 : 64, stata ? Qt::CaseSensitive : Qt::CaseInsensitive,
                                      stata ? StataReserved : SpssReserved);
    readstat_label_set_t *gender = nullptr;
    std::vector<readstat_variable_t *> variables;
    std::vector<readstat_type_t> types;
    for (qsizetype c = 0; c < data.columns.size(); ++c) {
        const ExportColumn &column = data.columns[c];
        const readstat_type_t type = typeOf(m_kind, column, survey, c);
        const size_t width = type == READSTAT_TYPE_STRING ? size_t(std::max<qsizetype>(1, survey.bytes[c])) : 0;
        readstat_variable_t *variable = readstat_add_variable(w.get(), names[c].toLatin1().constData(), type, width);
        QString label = AnalysisLabels::variableLabel(column.name);
        if (label.isEmpty() && names[c] != column.name)
            label = column.name;
        readstat_variable_set_label(variable, label.left(StataMaxLabel).toUtf8().constData());
        if (!stata && type == READSTAT_TYPE_DOUBLE)
            readstat_variable_set_format(variable, column.type == ExportColumnType::Double ? "F12.5" : "F12.0");
        const bool scale = type != READSTAT_TYPE_STRING && !AnalysisLabels::isGender(column);
        readstat_variable_set_measure(variable, scale ? READSTAT_MEASURE_SCALE : READSTAT_MEASURE_NOMINAL);
        if (AnalysisLabels::isGender(column)) {
            if (!gender) {
                gender = readstat_add_label_set(w.get(), stata ? READSTAT_TYPE_INT32 : READSTAT_TYPE_DOUBLE, "spol");
                for (const auto &[value, text] : AnalysisLabels::genderLabels()) {
                    if (stata)
                        readstat_label_int32_value(gender, value, text.toUtf8().constData());
                    else
                        readstat_label_double_value(gender, value, text.toUtf8().constData());
                }
            }
            readstat_variable_set_label_set(variable, gender);
        }
        variables.push_back(variable);
        types.push_back(type);
    }
    w.require(readstat_writer_set_file_timestamp(w.get(), time_t(data.writtenAt.toSecsSinceEpoch())));
    const long rows = long(data.rows.size());
    if (stata) {
        w.require(readstat_writer_set_file_format_version(w.get(), 118));
        w.require(readstat_begin_writing_dta(w.get(), &out, rows));
    } else {
        w.require(readstat_begin_writing_sav(w.get(), &out, rows));
    }
    for (const QVariantList &row : data.rows) {
        w.require(readstat_begin_row(w.get()));
        for (std::size_t c = 0; c < variables.size(); ++c)
            insert(w, variables[c], types[c], row.value(qsizetype(c)));
        w.require(readstat_end_row(w.get()));
    }
    w.require(readstat_end_writing(w.get()));
}
