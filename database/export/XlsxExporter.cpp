#include "database/export/XlsxExporter.h"

#include "common/Failure.h"
#include "database/export/ColumnSurvey.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <clocale>
#include <locale.h>
#include <xlsxwriter.h>

namespace {

// libxlsxwriter prints its numbers with printf, which follows LC_NUMERIC: under
// a Croatian locale every number would come out with a decimal comma, and
// Excel would refuse the file. The writing thread uses the C locale meanwhile.
class CNumericLocale
{
public:
    CNumericLocale()
        : m_c(newlocale(LC_NUMERIC_MASK, "C", locale_t(nullptr)))
        , m_old(m_c ? uselocale(m_c) : locale_t(nullptr))
    {}
    ~CNumericLocale()
    {
        if (m_c) {
            uselocale(m_old);
            freelocale(m_c);
        }
    }
    CNumericLocale(const CNumericLocale &) = delete;
    CNumericLocale &operator=(const CNumericLocale &) = delete;

private:
    locale_t m_c;
    locale_t m_old;
};

// A sheet name Excel takes: none of []:*?/\, at most 31 characters, not empty.
QByteArray sheetName(const QString &table)
{
    QString name;
    for (const QChar c : table)
        name += QStringLiteral("[]:*?/\\").contains(c) ? QLatin1Char('_') : c;
    name = name.left(31).trimmed();
    if (name.startsWith(QLatin1Char('\'')) || name.endsWith(QLatin1Char('\'')))
        name.replace(QLatin1Char('\''), QLatin1Char('_'));
    return (name.isEmpty() ? QStringLiteral("Data") : name).toUtf8();
}

struct WorkbookFree
{
    void operator()(lxw_workbook *book) const { lxw_workbook_free(book); }
};

class SheetWriter
{
public:
    SheetWriter(const QString &path, lxw_worksheet *sheet)
        : m_path(path)
        , m_sheet(sheet)
    {}
    void require(lxw_error error) const
    {
        if (error != LXW_NO_ERROR) {
            throw Failure(QStringLiteral("Datoteku \"%1\" nije moguće zapisati: %2")
                              .arg(QDir::toNativeSeparators(m_path), QString::fromUtf8(lxw_strerror(error))));
        }
    }
    void cell(lxw_row_t row, lxw_col_t column, const QVariant &v, lxw_format *format = nullptr) const
    {
        switch (v.typeId()) {
        case QMetaType::UnknownType: return;
        case QMetaType::LongLong:
            require(worksheet_write_number(m_sheet, row, column, double(v.toLongLong()), format));
            return;
        case QMetaType::Double: require(worksheet_write_number(m_sheet, row, column, v.toDouble(), format)); return;
        case QMetaType::Bool: require(worksheet_write_number(m_sheet, row, column, v.toBool() ? 1 : 0, format)); return;
        default:
            require(worksheet_write_string(m_sheet, row, column, v.toString().toUtf8().constData(), format));
            return;
        }
    }

private:
    QString m_path;
    lxw_worksheet *m_sheet;
};

} // namespace

QString XlsxExporter::formatName() const
{
    return QStringLiteral("Excel 2007+");
}

void XlsxExporter::check(const ExportData &data) const
{
    ColumnSurvey::requireRows(data, MaxRows, formatName());
    ColumnSurvey::requireColumns(data, MaxColumns, formatName());
    const ColumnSurvey survey = ColumnSurvey::of(data);
    survey.requireCharacters(data, MaxTextLength, formatName());
    survey.requireExactIntegers(data, formatName());
    survey.requireFinite(formatName());
}

void XlsxExporter::write(const ExportData &data, const QString &path, ExportFiles &files) const
{
    auto *out = qobject_cast<QFile *>(&files.create(path));
    if (!out)
        throw Failure(QStringLiteral("Datoteku \"%1\" nije moguće zapisati.").arg(QDir::toNativeSeparators(path)));
    const ColumnSurvey survey = ColumnSurvey::of(data);
    const CNumericLocale cLocale;
    // The library's temporary rows go beside the target, where the export has room.
    QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = folder.data();
    std::unique_ptr<lxw_workbook, WorkbookFree> book(
        workbook_new_opt(QFile::encodeName(out->fileName()).constData(), &options));
    lxw_worksheet *sheet = book ? workbook_add_worksheet(book.get(), sheetName(data.tableName).constData()) : nullptr;
    const SheetWriter writer(path, sheet);
    if (!sheet)
        writer.require(LXW_ERROR_CREATING_TMPFILE);
    lxw_format *bold = workbook_add_format(book.get());
    format_set_bold(bold);

    const auto columns = lxw_col_t(data.columns.size());
    for (lxw_col_t c = 0; c < columns; ++c) {
        // Excel's General format shows about 11 characters of a double.
        const ExportColumnType type = data.columns[c].type;
        const qsizetype number = type == ExportColumnType::Double    ? 11
                                 : type == ExportColumnType::Integer ? survey.integerWidth(c)
                                                                     : 1;
        const qsizetype contents = std::max({data.columns[c].name.size(), survey.characters[c], number});
        writer.require(worksheet_set_column(sheet, c, c, double(std::min<qsizetype>(contents, 80)) + 2, nullptr));
        writer.cell(0, c, data.columns[c].name, bold);
    }
    worksheet_freeze_panes(sheet, 1, 0);
    lxw_row_t r = 1;
    for (const QVariantList &row : data.rows) {
        for (lxw_col_t c = 0; c < columns && c < lxw_col_t(row.size()); ++c)
            writer.cell(r, c, row[c]);
        ++r;
    }
    // workbook_close frees the workbook whatever it returns.
    writer.require(workbook_close(book.release()));
}
