#include "database/export/HtmlExporter.h"

#include "common/Windows1250.h"
#include "database/export/FileExportSupport.h"

namespace {

// Markup characters escaped; a character the code page lacks becomes a
// numeric reference, so nothing is refused and nothing is lost.
void appendEscaped(QString &out, const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case '&': out += QLatin1String("&amp;"); continue;
        case '<': out += QLatin1String("&lt;"); continue;
        case '>': out += QLatin1String("&gt;"); continue;
        case '"': out += QLatin1String("&quot;"); continue;
        case '\'': out += QLatin1String("&#39;"); continue;
        default: break;
        }
        if (Windows1250::canEncode(c)) {
            out += c;
        } else if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += QStringLiteral("&#%1;").arg(QChar::surrogateToUcs4(c, text[i + 1]));
            ++i;
        } else {
            out += QStringLiteral("&#%1;").arg(c.unicode());
        }
    }
}

} // namespace

QString HtmlExporter::formatName() const
{
    return QStringLiteral("HTML");
}

void HtmlExporter::check(const ExportData &) const {}

void HtmlExporter::write(const ExportData &data, const QString &path, ExportFiles &files) const
{
    QIODevice &out = files.create(path);
    QString text = QStringLiteral("<!DOCTYPE html>\r\n<html>\r\n<head>\r\n"
                                  "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1250\">\r\n"
                                  "<title>");
    appendEscaped(text, data.tableName);
    text += QLatin1String("</title>\r\n</head>\r\n<body>\r\n<table border=\"1\" cellspacing=\"0\">\r\n<caption>");
    appendEscaped(text, data.tableName);
    text += QLatin1String("</caption>\r\n<thead>\r\n<tr>");
    for (const ExportColumn &column : data.columns) {
        text += QLatin1String("<th>");
        appendEscaped(text, column.name);
        text += QLatin1String("</th>");
    }
    text += QLatin1String("</tr>\r\n</thead>\r\n<tbody>\r\n");
    for (const QVariantList &row : data.rows) {
        text += QLatin1String("<tr>");
        for (int i = 0; i < row.size(); ++i) {
            text += QLatin1String("<td>");
            appendEscaped(text, FileExport::valueText(row[i], data.columns[i].type));
            text += QLatin1String("</td>");
        }
        text += QLatin1String("</tr>\r\n");
        if (text.size() > (1 << 16)) {
            out.write(Windows1250::encode(text));
            text.clear();
        }
    }
    text += QLatin1String("</tbody>\r\n</table>\r\n</body>\r\n</html>\r\n");
    out.write(Windows1250::encode(text));
}
