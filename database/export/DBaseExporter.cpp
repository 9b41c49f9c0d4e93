#include "database/export/DBaseExporter.h"

#include "common/Failure.h"
#include "common/Windows1250.h"
#include "database/export/FileExportSupport.h"

#include <QDate>
#include <QtEndian>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// C fields hold at most 254 characters; a longer text column goes to the memo file.
constexpr int MaxCharacterWidth = 254;
constexpr int MaxNumberWidth = 20;
constexpr int MaxDecimals = 15;
constexpr int MemoBlock = 512;

// A double with 15 significant digits, as decimal digits and the exponent of the first one.
struct Digits
{
    bool negative = false;
    QByteArray significant; // no trailing zeros, at least one digit
    int exponent = 0;
    int integerDigits() const { return std::max(1, exponent + 1); }
    int fractionDigits() const { return std::max(0, int(significant.size()) - (exponent + 1)); }
};

Digits digitsOf(double v)
{
    char buffer[40];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::scientific, 14);
    const QByteArray text(buffer, int(result.ptr - buffer));
    Digits d;
    const qsizetype e = text.indexOf('e');
    QByteArray mantissa = text.left(e);
    d.negative = mantissa.startsWith('-');
    if (d.negative)
        mantissa.remove(0, 1);
    mantissa.remove(1, 1); // the point
    while (mantissa.size() > 1 && mantissa.endsWith('0'))
        mantissa.chop(1);
    d.significant = mantissa;
    d.exponent = text.mid(e + 1).toInt();
    if (mantissa == "0")
        d.exponent = 0;
    return d;
}

// Fixed point with `decimals` places, written without the C library so the
// point is "." whatever LC_NUMERIC says.
QByteArray fixedText(double v, int decimals)
{
    const Digits d = digitsOf(v);
    if (d.fractionDigits() > decimals) {
        char buffer[400];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, decimals);
        return QByteArray(buffer, int(result.ptr - buffer));
    }
    QByteArray integer, fraction;
    if (d.exponent >= 0) {
        integer = d.significant.left(d.exponent + 1).leftJustified(d.exponent + 1, '0');
        fraction = d.significant.mid(d.exponent + 1);
    } else {
        integer = "0";
        fraction = QByteArray(-d.exponent - 1, '0') + d.significant;
    }
    QByteArray text = d.negative ? "-" + integer : integer;
    if (decimals > 0)
        text += '.' + fraction.leftJustified(decimals, '0');
    return text;
}

struct Field
{
    QByteArray name;
    char type = 'C';
    int width = 1;
    int decimals = 0;
};

QString cleanName(const QString &name)
{
    QString clean;
    for (QChar c : name.normalized(QString::NormalizationForm_D)) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        if (c == QChar(0x0111) || c == QChar(0x0110))
            clean += QLatin1Char('D');
        else if (c.unicode() < 128 && (c.isLetterOrNumber() || c == QLatin1Char('_')))
            clean += c.toUpper();
        else
            clean += QLatin1Char('_');
    }
    if (clean.isEmpty() || !clean[0].isLetter())
        clean.prepend(QLatin1Char('F'));
    return clean;
}

QString versionName(DBaseVersion version)
{
    switch (version) {
    case DBaseVersion::III: return QStringLiteral("dBASE III");
    case DBaseVersion::IV: return QStringLiteral("dBASE IV");
    case DBaseVersion::V: break;
    }
    return QStringLiteral("dBASE 5.0");
}

// The widest integer part and fraction a numeric column holds.
struct NumberWidth
{
    int integer = 1;
    int fraction = 0;
};

// One walk over the rows measures every numeric column; throws for a value
// that is not a finite number.
QList<NumberWidth> numberWidths(const ExportData &data, const QString &formatName)
{
    QList<NumberWidth> widths(data.columns.size());
    QList<int> numeric;
    for (int i = 0; i < data.columns.size(); ++i) {
        if (data.columns[i].type == ExportColumnType::Integer || data.columns[i].type == ExportColumnType::Double)
            numeric << i;
    }
    if (numeric.isEmpty())
        return widths;
    for (const QVariantList &row : data.rows.only(numeric)) {
        for (int i : numeric) {
            const QVariant &v = row[i];
            NumberWidth &w = widths[i];
            if (!v.isValid())
                continue;
            if (data.columns[i].type == ExportColumnType::Integer) {
                w.integer = std::max(w.integer, int(QByteArray::number(v.toLongLong()).size()));
                continue;
            }
            if (!std::isfinite(v.toDouble())) {
                throw Failure(QStringLiteral("ExportTable: column %1 holds %2; %3 takes only finite numbers.")
                                  .arg(data.columns[i].name, FileExport::doubleText(v.toDouble()), formatName));
            }
            const Digits d = digitsOf(v.toDouble());
            w.integer = std::max(w.integer, d.integerDigits() + (d.negative ? 1 : 0));
            w.fraction = std::max(w.fraction, d.fractionDigits());
        }
    }
    return widths;
}

// The fields of the table; throws for a number wider than N fields take.
QList<Field> layout(const ExportData &data, const QString &formatName)
{
    const QStringList names = FileExport::columnNames(data.columns, cleanName, 10, Qt::CaseInsensitive);
    const QList<NumberWidth> widths = numberWidths(data, formatName);
    QList<Field> fields;
    for (int i = 0; i < data.columns.size(); ++i) {
        const ExportColumn &column = data.columns[i];
        Field f;
        f.name = names[i].toLatin1();
        switch (column.type) {
        case ExportColumnType::Boolean: f.type = 'L'; break;
        case ExportColumnType::Text:
            f.width = std::max(1, column.width);
            if (f.width > MaxCharacterWidth) {
                f.type = 'M';
                f.width = 10;
            }
            break;
        case ExportColumnType::Integer:
        case ExportColumnType::Double:
            f.type = 'N';
            f.decimals = std::min(widths[i].fraction, MaxDecimals);
            f.width = widths[i].integer + (f.decimals > 0 ? f.decimals + 1 : 0);
            if (f.width > MaxNumberWidth) {
                throw Failure(
                    QStringLiteral("ExportTable: column %1 holds a number of %2 characters; %3 takes at most %4.")
                        .arg(column.name)
                        .arg(f.width)
                        .arg(formatName)
                        .arg(MaxNumberWidth));
            }
            break;
        }
        fields << f;
    }
    return fields;
}

// The memo file: a header block, then each text in whole blocks, written as
// it comes; the header's count of blocks is filled in at the end.
class MemoFile
{
public:
    MemoFile(DBaseVersion version, QIODevice *device)
        : m_version(version)
        , m_device(device)
    {
        if (!m_device)
            return;
        QByteArray header(MemoBlock, '\0');
        if (m_version == DBaseVersion::III)
            header[16] = 0x03;
        else
            qToLittleEndian<quint16>(quint16(MemoBlock), header.data() + 20);
        m_device->write(header);
    }

    // Stores a text; returns its first block.
    int add(const QByteArray &text)
    {
        const int block = m_blocks;
        m_bytes.clear();
        if (m_version == DBaseVersion::III) {
            m_bytes += text;
            m_bytes += "\x1A\x1A";
        } else {
            char header[8] = {'\xFF', '\xFF', '\x08', '\x00'};
            qToLittleEndian<quint32>(quint32(text.size() + 8), header + 4);
            m_bytes.append(header, 8);
            m_bytes += text;
            m_bytes += "\x1F\x1F";
        }
        m_bytes.append((MemoBlock - m_bytes.size() % MemoBlock) % MemoBlock, '\0');
        m_blocks += int(m_bytes.size() / MemoBlock);
        m_device->write(m_bytes);
        return block;
    }

    void finish()
    {
        if (!m_device)
            return;
        char next[4];
        qToLittleEndian<quint32>(quint32(m_blocks), next);
        m_device->seek(0);
        m_device->write(next, 4);
    }

private:
    DBaseVersion m_version;
    QIODevice *m_device;
    QByteArray m_bytes;
    int m_blocks = 1; // the header's
};

char versionByte(DBaseVersion version, bool hasMemo)
{
    switch (version) {
    case DBaseVersion::III: return hasMemo ? char(0x83) : char(0x03);
    case DBaseVersion::IV: return hasMemo ? char(0x8B) : char(0x03);
    case DBaseVersion::V: break;
    }
    return hasMemo ? char(0x8B) : char(0x05);
}

// The table's header: 32 bytes, a descriptor of 32 per field, and its end mark.
QByteArray tableHeader(const QList<Field> &fields, char version, const QDate &date, std::size_t rows, int recordLength)
{
    QByteArray header(32 * (fields.size() + 1) + 1, '\0');
    char *h = header.data();
    h[0] = version;
    h[1] = char(date.year() - 1900);
    h[2] = char(date.month());
    h[3] = char(date.day());
    qToLittleEndian<quint32>(quint32(rows), h + 4);
    qToLittleEndian<quint16>(quint16(header.size()), h + 8);
    qToLittleEndian<quint16>(quint16(recordLength), h + 10);
    h[29] = char(200); // language driver: Windows-1250
    for (qsizetype i = 0; i < fields.size(); ++i) {
        char *d = h + 32 * (i + 1);
        std::copy_n(fields[i].name.constData(), std::min<qsizetype>(fields[i].name.size(), 10), d);
        d[11] = fields[i].type;
        d[16] = char(fields[i].width);
        d[17] = char(fields[i].decimals);
    }
    header[header.size() - 1] = 0x0D;
    return header;
}

// A field's text, left-aligned and padded with blanks, cut at its width.
void putText(char *at, int width, const QByteArray &value)
{
    const qsizetype length = std::min<qsizetype>(width, qstrnlen(value.constData(), std::size_t(value.size())));
    std::copy_n(value.constData(), length, at);
}

} // namespace

QString DBaseExporter::formatName() const
{
    return versionName(m_version);
}

void DBaseExporter::check(const ExportData &data) const
{
    const int maxFields = m_version == DBaseVersion::III ? 128 : 255;
    if (data.columns.size() > maxFields)
        throw Failure(QStringLiteral("ExportTable: %1 holds at most %2 columns.").arg(formatName()).arg(maxFields));
    FileExport::requireWindows1250(data, formatName());
    int recordLength = 1;
    for (const Field &f : layout(data, formatName()))
        recordLength += f.width;
    if (recordLength > 65535)
        throw Failure(QStringLiteral("ExportTable: a row of %1 takes at most 65535 characters.").arg(formatName()));
}

void DBaseExporter::write(const ExportData &data, const QString &path, ExportFiles &files) const
{
    const QList<Field> fields = layout(data, formatName());
    const bool hasMemo = std::any_of(fields.begin(), fields.end(), [](const Field &f) { return f.type == 'M'; });
    MemoFile memo(m_version,
                  hasMemo ? &files.create(FileExport::companionPath(path, QStringLiteral(".dbt"))) : nullptr);
    QIODevice &table = files.create(path);
    int recordLength = 1; // the deletion mark
    for (const Field &f : fields)
        recordLength += f.width;
    table.write(
        tableHeader(fields, versionByte(m_version, hasMemo), data.writtenAt.date(), data.rows.size(), recordLength));

    QByteArray record(recordLength, ' ');
    QByteArray value;
    for (const QVariantList &row : data.rows) {
        record.fill(' ');
        char *at = record.data() + 1;
        for (int i = 0; i < fields.size(); at += fields[i].width, ++i) {
            const Field &f = fields[i];
            const QVariant &v = row[i];
            if (!v.isValid())
                continue; // blank, a logical field's "not yet set" too
            switch (f.type) {
            case 'L': *at = v.toBool() ? 'T' : 'F'; break;
            case 'N':
                value = data.columns[i].type == ExportColumnType::Integer ? QByteArray::number(v.toLongLong())
                                                                          : fixedText(v.toDouble(), f.decimals);
                putText(at, f.width, value.rightJustified(f.width, ' '));
                break;
            case 'M':
                if (!v.toString().isEmpty())
                    putText(at, f.width,
                            QByteArray::number(memo.add(Windows1250::encode(v.toString()))).rightJustified(10, ' '));
                break;
            default: putText(at, f.width, Windows1250::encode(v.toString())); break;
            }
        }
        table.write(record);
    }
    table.write("\x1A", 1);
    memo.finish();
}
