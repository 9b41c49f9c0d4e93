#include "database/export/TextExporter.h"

#include "common/SafeFile.h"
#include "common/Windows1250.h"
#include "database/export/FileExportSupport.h"

#include <QFileInfo>
#include <limits>

namespace {

const QByteArray CrLf("\r\n");

// Appends text in double quotes, a quote in it doubled.
void appendQuoted(QString &line, const QString &text)
{
    line += QLatin1Char('"');
    if (text.contains(QLatin1Char('"'))) {
        QString q = text;
        line += q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    } else {
        line += text;
    }
    line += QLatin1Char('"');
}

QString quoted(const QString &text)
{
    QString q;
    appendQuoted(q, text);
    return q;
}

QString schemaType(const ExportData &data, int column, bool long32)
{
    const ExportColumn &c = data.columns[column];
    switch (c.type) {
    case ExportColumnType::Integer: return long32 ? QStringLiteral("Long") : QStringLiteral("Double");
    case ExportColumnType::Double: return QStringLiteral("Double");
    case ExportColumnType::Boolean: return QStringLiteral("Bit");
    case ExportColumnType::Text: break;
    }
    return c.width <= 255 ? QStringLiteral("Text Width %1").arg(c.width) : QStringLiteral("Memo");
}

QStringList sectionFor(const ExportData &data, const QString &fileName, const QStringList &names)
{
    QStringList lines{QLatin1Char('[') + fileName + QLatin1Char(']'), QStringLiteral("ColNameHeader=True"),
                      QStringLiteral("Format=CSVDelimited"), QStringLiteral("CharacterSet=1250"),
                      QStringLiteral("DecimalSymbol=.")};
    const QList<bool> long32 =
        FileExport::integersWithin(data, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
    for (int i = 0; i < names.size(); ++i) {
        const bool plain = !names[i].contains(QLatin1Char(' ')) && !names[i].contains(QLatin1Char('"'));
        lines << QStringLiteral("Col%1=%2 %3")
                     .arg(i + 1)
                     .arg(plain ? names[i] : quoted(names[i]), schemaType(data, i, long32[i]));
    }
    return lines;
}

// The folder's schema.ini with this file's section in place of its old one;
// the sections of other files stay as they were.
QByteArray schemaIni(const QString &iniPath, const QStringList &section, const QString &fileName)
{
    QStringList lines;
    if (QFileInfo::exists(iniPath)) {
        QString old = Windows1250::decode(readWholeFile(iniPath));
        old.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (old.endsWith(QLatin1Char('\n')))
            old.chop(1);
        if (!old.isEmpty())
            lines = old.split(QLatin1Char('\n'));
    }
    const QString header = QLatin1Char('[') + fileName + QLatin1Char(']');
    QStringList result;
    bool replaced = false, skipping = false;
    for (const QString &line : lines) {
        const QString t = line.trimmed();
        if (t.startsWith(QLatin1Char('['))) {
            skipping = t.compare(header, Qt::CaseInsensitive) == 0;
            if (skipping && !replaced) {
                result << section;
                replaced = true;
            }
        }
        if (!skipping)
            result << line;
    }
    if (!replaced)
        result << section;
    return Windows1250::encode(result.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

} // namespace

QString TextExporter::formatName() const
{
    return QStringLiteral("Text");
}

void TextExporter::check(const ExportData &data) const
{
    FileExport::requireWindows1250(data, formatName());
}

void TextExporter::write(const ExportData &data, const QString &path, ExportFiles &files) const
{
    const QFileInfo info(path);
    const QStringList names = FileExport::columnNames(
        data.columns, [](const QString &n) { return n.isEmpty() ? QStringLiteral("Col") : n; }, 0, Qt::CaseInsensitive);

    const QString iniPath = info.absolutePath() + QStringLiteral("/schema.ini");
    files.create(iniPath).write(schemaIni(iniPath, sectionFor(data, info.fileName(), names), info.fileName()));

    QIODevice &out = files.create(path);
    QStringList header;
    for (const QString &name : names)
        header << quoted(name);
    QByteArray chunk = Windows1250::encode(header.join(QLatin1Char(','))) + CrLf;
    QString line;
    for (const QVariantList &row : data.rows) {
        line.clear();
        for (int i = 0; i < row.size(); ++i) {
            if (i > 0)
                line += QLatin1Char(',');
            const QVariant &v = row[i];
            if (!v.isValid())
                continue;
            if (data.columns[i].type == ExportColumnType::Text)
                appendQuoted(line, v.toString());
            else
                line += FileExport::valueText(v, data.columns[i].type);
        }
        chunk += Windows1250::encode(line);
        chunk += CrLf;
        if (chunk.size() > (1 << 16)) {
            out.write(chunk);
            chunk.clear();
        }
    }
    out.write(chunk);
}
