#include "database/export/FileExportSupport.h"

#include "common/Failure.h"
#include "common/Windows1250.h"

#include <QFileInfo>
#include <QLocale>
#include <QSet>

namespace FileExport {

QList<int> columnsOf(const ExportData &data, ExportColumnType type)
{
    QList<int> columns;
    for (int i = 0; i < data.columns.size(); ++i) {
        if (data.columns[i].type == type)
            columns << i;
    }
    return columns;
}

bool isXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

QString doubleText(double v)
{
    return QString::number(v, 'g', QLocale::FloatingPointShortest);
}

QString valueText(const QVariant &value, ExportColumnType type)
{
    if (!value.isValid())
        return {};
    switch (type) {
    case ExportColumnType::Integer: return QString::number(value.toLongLong());
    case ExportColumnType::Double: return doubleText(value.toDouble());
    case ExportColumnType::Boolean: return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case ExportColumnType::Text: break;
    }
    return value.toString();
}

QStringList columnNames(const QList<ExportColumn> &columns, const std::function<QString(const QString &)> &clean,
                        int maxLength, Qt::CaseSensitivity sensitivity)
{
    QStringList names;
    QSet<QString> taken;
    auto key = [sensitivity](const QString &name) {
        return sensitivity == Qt::CaseInsensitive ? name.toUpper() : name;
    };
    for (const ExportColumn &column : columns) {
        QString base = clean(column.name);
        if (maxLength > 0)
            base.truncate(maxLength);
        QString name = base;
        for (int n = 2; taken.contains(key(name)); ++n) {
            const QString suffix = QStringLiteral("_%1").arg(n);
            name = (maxLength > 0 ? base.left(maxLength - int(suffix.size())) : base) + suffix;
        }
        taken.insert(key(name));
        names << name;
    }
    return names;
}

namespace {

const ColumnSummary &summaryOf(const ExportData &data, int column)
{
    static const ColumnSummary none;
    const std::vector<ColumnSummary> &summary = data.rows.summary();
    return std::size_t(column) < summary.size() ? summary[std::size_t(column)] : none;
}

} // namespace

int firstTextColumnAt(const ExportData &data, std::size_t ColumnSummary::*row)
{
    int first = -1;
    for (int c : columnsOf(data, ExportColumnType::Text)) {
        if (summaryOf(data, c).*row < (first < 0 ? ColumnSummary::NoRow : summaryOf(data, first).*row))
            first = c;
    }
    return first;
}

QList<bool> integersWithin(const ExportData &data, qint64 lowest, qint64 highest)
{
    QList<bool> within(data.columns.size(), true);
    for (int c : columnsOf(data, ExportColumnType::Integer)) {
        const ColumnSummary &s = summaryOf(data, c);
        within[c] = s.lowest > s.highest || (s.lowest >= lowest && s.highest <= highest);
    }
    return within;
}

void requireWindows1250(const ExportData &data, const QString &formatName)
{
    auto refuse = [&formatName](const QString &column, QChar c) {
        throw Failure(QStringLiteral("ExportTable: column %1 holds the character %2 (U+%3), which %4 cannot write.")
                          .arg(column, QString(c))
                          .arg(c.unicode(), 4, 16, QLatin1Char('0'))
                          .arg(formatName));
    };
    for (const ExportColumn &column : data.columns) {
        const QChar c = Windows1250::firstUnencodable(column.name);
        if (!c.isNull())
            refuse(column.name, c);
    }
    const int first = firstTextColumnAt(data, &ColumnSummary::unencodableRow);
    if (first >= 0)
        refuse(data.columns[first].name, summaryOf(data, first).unencodable);
}

void requireTextLength(const ExportData &data, int limit, const QString &formatName)
{
    for (int c : columnsOf(data, ExportColumnType::Text)) {
        const int longest = summaryOf(data, c).longestText;
        if (longest > limit) {
            throw Failure(QStringLiteral("ExportTable: column %1 holds %2 characters; %3 takes at most %4.")
                              .arg(data.columns[c].name)
                              .arg(longest)
                              .arg(formatName)
                              .arg(limit));
        }
    }
}

QString companionPath(const QString &path, const QString &extension)
{
    const QFileInfo info(path);
    return info.absolutePath() + QLatin1Char('/') + info.completeBaseName() + extension;
}

} // namespace FileExport
