#include "database/export/CsvUtf8Exporter.h"

#include "database/export/FileExportSupport.h"

CsvUtf8Exporter::CsvUtf8Exporter(QChar decimalSeparator)
    : m_decimal(decimalSeparator)
    , m_separator(decimalSeparator == QLatin1Char(',') ? QLatin1Char(';') : QLatin1Char(','))
{}

QString CsvUtf8Exporter::formatName() const
{
    return QStringLiteral("CSV UTF-8");
}

// UTF-8 holds every text, so nothing is refused.
void CsvUtf8Exporter::check(const ExportData &) const {}

void CsvUtf8Exporter::write(const ExportData &data, const QString &path, ExportFiles &files) const
{
    QIODevice &out = files.create(path);
    QString line;
    auto field = [&](const QString &text) {
        const bool quote = text.contains(m_separator) || text.contains(QLatin1Char('"')) ||
                           text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
        if (!quote) {
            line += text;
            return;
        }
        line += QLatin1Char('"');
        line += QString(text).replace(QLatin1Char('"'), QLatin1String("\"\""));
        line += QLatin1Char('"');
    };
    for (qsizetype c = 0; c < data.columns.size(); ++c) {
        if (c > 0)
            line += m_separator;
        field(data.columns[c].name);
    }
    line += QLatin1String("\r\n");
    QByteArray chunk("\xEF\xBB\xBF");
    for (const QVariantList &row : data.rows) {
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (c > 0)
                line += m_separator;
            const QVariant &v = row[c];
            switch (v.typeId()) {
            case QMetaType::UnknownType: break;
            case QMetaType::LongLong: line += QString::number(v.toLongLong()); break;
            case QMetaType::Bool: line += v.toBool() ? QLatin1Char('1') : QLatin1Char('0'); break;
            case QMetaType::Double:
                line += FileExport::doubleText(v.toDouble()).replace(QLatin1Char('.'), m_decimal);
                break;
            default: field(v.toString()); break;
            }
        }
        line += QLatin1String("\r\n");
        if (line.size() > (1 << 15)) {
            chunk += line.toUtf8();
            line.clear();
            out.write(chunk);
            chunk.clear();
        }
    }
    chunk += line.toUtf8();
    out.write(chunk);
}
