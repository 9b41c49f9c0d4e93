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

QList<bool> integersWithin(const ExportData &data, qint64 lowest, qint64 highest)
{
    QList<bool> within(data.columns.size(), true);
    const QList<int> integers = columnsOf(data, ExportColumnType::Integer);
    if (integers.isEmpty())
        return within;
    for (const QVariantList &row : data.rows) {
        for (int c : integers) {
            const QVariant &v = row[c];
            if (v.isValid() && (v.toLongLong() < lowest || v.toLongLong() > highest))
                within[c] = false;
        }
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
    const QList<int> texts = columnsOf(data, ExportColumnType::Text);
    if (texts.isEmpty())
        return;
    for (const QVariantList &row : data.rows) {
        for (int c : texts) {
            const QChar c1250 = Windows1250::firstUnencodable(row[c].toString());
            if (!c1250.isNull())
                refuse(data.columns[c].name, c1250);
        }
    }
}

void requireTextLength(const ExportData &data, int limit, const QString &formatName)
{
    const QList<int> texts = columnsOf(data, ExportColumnType::Text);
    if (texts.isEmpty())
        return;
    QList<int> longest(data.columns.size(), 0);
    for (const QVariantList &row : data.rows) {
        for (int c : texts) {
            if (row[c].isValid())
                longest[c] = std::max(longest[c], int(row[c].toString().size()));
        }
    }
    for (int c : texts) {
        if (longest[c] > limit) {
            throw Failure(QStringLiteral("ExportTable: column %1 holds %2 characters; %3 takes at most %4.")
                              .arg(data.columns[c].name)
                              .arg(longest[c])
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
