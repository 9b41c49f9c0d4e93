#include "database/export/XmlExporter.h"

#include "common/Failure.h"
#include "database/export/FileExportSupport.h"

#include <QBuffer>
#include <QXmlStreamWriter>

#include <limits>

namespace {

const QString S = QStringLiteral("uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882");
const QString Dt = QStringLiteral("uuid:C2F41010-65B3-11d1-A29F-00AA00C14882");
const QString Rs = QStringLiteral("urn:schemas-microsoft-com:rowset");
const QString Z = QStringLiteral("#RowsetSchema");

bool isNameStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

// An attribute name without a prefix; names beginning with "xml" are reserved.
bool isValidName(const QString &name)
{
    if (name.isEmpty() || !isNameStart(name[0]) || name.startsWith(QLatin1String("xml"), Qt::CaseInsensitive))
        return false;
    for (QChar c : name) {
        if (!isNameStart(c) && !c.isDigit() && c != QLatin1Char('-') && c != QLatin1Char('.'))
            return false;
    }
    return true;
}

bool holdsOnlyXmlChars(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        if (c.isSurrogate() || !FileExport::isXmlChar(c.unicode()))
            return false;
    }
    return true;
}

// Each column's attribute name: its own name where that is a valid and
// unused one, else c<number> with the real name kept in rs:name.
QStringList attributeNames(const ExportData &data)
{
    QStringList names;
    QStringList wanted;
    for (const ExportColumn &c : data.columns)
        wanted << c.name;
    for (int i = 0; i < wanted.size(); ++i) {
        const QString &name = wanted[i];
        if (isValidName(name) && !names.contains(name)) {
            names << name;
            continue;
        }
        QString generated = QStringLiteral("c%1").arg(i);
        while (names.contains(generated) || wanted.contains(generated))
            generated += QLatin1Char('_');
        names << generated;
    }
    return names;
}

void writeDatatype(QXmlStreamWriter &xml, const ExportData &data, int column, bool int32)
{
    const ExportColumn &c = data.columns[column];
    xml.writeEmptyElement(S, QStringLiteral("datatype"));
    switch (c.type) {
    case ExportColumnType::Integer:
        if (int32) {
            xml.writeAttribute(Dt, QStringLiteral("type"), QStringLiteral("int"));
            xml.writeAttribute(Dt, QStringLiteral("maxLength"), QStringLiteral("4"));
            xml.writeAttribute(Rs, QStringLiteral("precision"), QStringLiteral("10"));
        } else {
            xml.writeAttribute(Dt, QStringLiteral("type"), QStringLiteral("i8"));
            xml.writeAttribute(Dt, QStringLiteral("maxLength"), QStringLiteral("8"));
            xml.writeAttribute(Rs, QStringLiteral("precision"), QStringLiteral("19"));
        }
        xml.writeAttribute(Rs, QStringLiteral("fixedlength"), QStringLiteral("true"));
        break;
    case ExportColumnType::Double:
        xml.writeAttribute(Dt, QStringLiteral("type"), QStringLiteral("float"));
        xml.writeAttribute(Dt, QStringLiteral("maxLength"), QStringLiteral("8"));
        xml.writeAttribute(Rs, QStringLiteral("precision"), QStringLiteral("15"));
        xml.writeAttribute(Rs, QStringLiteral("fixedlength"), QStringLiteral("true"));
        break;
    case ExportColumnType::Boolean:
        xml.writeAttribute(Dt, QStringLiteral("type"), QStringLiteral("boolean"));
        xml.writeAttribute(Dt, QStringLiteral("maxLength"), QStringLiteral("2"));
        xml.writeAttribute(Rs, QStringLiteral("fixedlength"), QStringLiteral("true"));
        break;
    case ExportColumnType::Text:
        xml.writeAttribute(Dt, QStringLiteral("type"), QStringLiteral("string"));
        xml.writeAttribute(Dt, QStringLiteral("maxLength"), QString::number(c.width));
        if (c.width > 255)
            xml.writeAttribute(Rs, QStringLiteral("long"), QStringLiteral("true"));
        break;
    }
}

} // namespace

QString XmlExporter::formatName() const
{
    return QStringLiteral("XML");
}

void XmlExporter::check(const ExportData &data) const
{
    auto refuse = [](const QString &column) {
        throw Failure(QStringLiteral("ExportTable: column %1 holds a character that XML cannot hold.").arg(column));
    };
    for (const ExportColumn &column : data.columns) {
        if (!holdsOnlyXmlChars(column.name))
            refuse(column.name);
    }
    const int first = FileExport::firstTextColumnAt(data, &ColumnSummary::xmlRefusedRow);
    if (first >= 0)
        refuse(data.columns[first].name);
}

void XmlExporter::write(const ExportData &data, const QString &path, ExportFiles &files) const
{
    QIODevice &out = files.create(path);
    // The writer's many small writes go to a memory buffer, which goes to the
    // file a chunk at a time.
    QByteArray chunk;
    QBuffer buffer(&chunk);
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter xml(&buffer);
    auto flush = [&] {
        if (out.write(chunk) != chunk.size())
            throw Failure(QStringLiteral("ExportTable: the XML file could not be written."));
        chunk.clear();
        buffer.seek(0);
    };
    const QStringList names = attributeNames(data);
    const QList<bool> int32 =
        FileExport::integersWithin(data, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());

    xml.writeStartElement(QStringLiteral("xml"));
    xml.writeNamespace(S, QStringLiteral("s"));
    xml.writeNamespace(Dt, QStringLiteral("dt"));
    xml.writeNamespace(Rs, QStringLiteral("rs"));
    xml.writeNamespace(Z, QStringLiteral("z"));
    xml.writeCharacters(QStringLiteral("\n"));

    xml.writeStartElement(S, QStringLiteral("Schema"));
    xml.writeAttribute(QStringLiteral("id"), QStringLiteral("RowsetSchema"));
    xml.writeStartElement(S, QStringLiteral("ElementType"));
    xml.writeAttribute(QStringLiteral("name"), QStringLiteral("row"));
    xml.writeAttribute(QStringLiteral("content"), QStringLiteral("eltOnly"));
    for (int i = 0; i < data.columns.size(); ++i) {
        xml.writeCharacters(QStringLiteral("\n "));
        xml.writeStartElement(S, QStringLiteral("AttributeType"));
        xml.writeAttribute(QStringLiteral("name"), names[i]);
        if (names[i] != data.columns[i].name)
            xml.writeAttribute(Rs, QStringLiteral("name"), data.columns[i].name);
        xml.writeAttribute(Rs, QStringLiteral("number"), QString::number(i + 1));
        xml.writeAttribute(Rs, QStringLiteral("nullable"), QStringLiteral("true"));
        writeDatatype(xml, data, i, int32[i]);
        xml.writeEndElement();
    }
    xml.writeCharacters(QStringLiteral("\n "));
    xml.writeEmptyElement(S, QStringLiteral("extends"));
    xml.writeAttribute(QStringLiteral("type"), QStringLiteral("rs:rowbase"));
    xml.writeEndElement(); // ElementType
    xml.writeEndElement(); // Schema
    xml.writeCharacters(QStringLiteral("\n"));

    xml.writeStartElement(Rs, QStringLiteral("data"));
    for (const QVariantList &row : data.rows) {
        xml.writeCharacters(QStringLiteral("\n"));
        xml.writeEmptyElement(Z, QStringLiteral("row"));
        for (int i = 0; i < row.size(); ++i) {
            if (row[i].isValid())
                xml.writeAttribute(names[i], FileExport::valueText(row[i], data.columns[i].type));
        }
        if (chunk.size() > (1 << 16))
            flush();
    }
    xml.writeCharacters(QStringLiteral("\n"));
    xml.writeEndElement(); // rs:data
    xml.writeEndElement(); // xml
    xml.writeCharacters(QStringLiteral("\n"));
    if (xml.hasError())
        throw Failure(QStringLiteral("ExportTable: the XML file could not be written."));
    flush();
}
