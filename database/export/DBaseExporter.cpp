#include "database/export/DBaseExporter.h"

#include "common/Failure.h"
#include "common/Windows1250.h"
#include "database/export/FileExportSupport.h"

#include <QDate>
#include <QtEndian>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include <shapefil.h>

namespace {

// C fields hold at most 254 characters; a longer text column goes to the memo file.
constexpr int MaxCharacterWidth = 254;
constexpr int MaxNumberWidth = 20;
constexpr int MaxDecimals = 15;
constexpr int MemoBlock = 512;

// shapelib reaches files only through its hooks, which carry no context of
// their own: while a table is written, they lead to this export's device.
thread_local QIODevice *t_device = nullptr;

SAFile hookOpen(const char *name, const char *access)
{
    const std::size_t n = std::strlen(name);
    if (!t_device || n < 4 || qstricmp(name + n - 4, ".dbf") != 0)
        return nullptr; // the code page file shapelib would write beside: not for LDID code pages
    // The device is a new empty file, so "wb" and "rb+" both start at its beginning.
    Q_UNUSED(access);
    t_device->seek(0);
    return reinterpret_cast<SAFile>(t_device);
}

QIODevice *device(SAFile file)
{
    return reinterpret_cast<QIODevice *>(file);
}

SAOffset hookRead(void *p, SAOffset size, SAOffset count, SAFile file)
{
    const qint64 got = device(file)->read(static_cast<char *>(p), qint64(size * count));
    return got <= 0 || size == 0 ? 0 : SAOffset(got) / size;
}

SAOffset hookWrite(void *p, SAOffset size, SAOffset count, SAFile file)
{
    const qint64 put = device(file)->write(static_cast<const char *>(p), qint64(size * count));
    return put <= 0 || size == 0 ? 0 : SAOffset(put) / size;
}

SAOffset hookSeek(SAFile file, SAOffset offset, int whence)
{
    QIODevice *d = device(file);
    qint64 to = qint64(offset);
    if (whence == SEEK_CUR)
        to += d->pos();
    else if (whence == SEEK_END)
        to += d->size();
    return d->seek(to) ? 0 : SAOffset(-1);
}

SAOffset hookTell(SAFile file)
{
    return SAOffset(device(file)->pos());
}

int hookFlush(SAFile)
{
    return 0;
}

int hookClose(SAFile)
{
    return 0;
}

int hookRemove(const char *)
{
    // shapelib removes a stale code page file beside the table; ours writes
    // only the table, so nothing beside it is touched.
    return 0;
}

void hookError(const char *) {}

double hookAtof(const char *text)
{
    double v = 0;
    std::from_chars(text, text + std::strlen(text), v);
    return v;
}

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

// The fields of the table; throws for a number wider than N fields take.
QList<Field> layout(const ExportData &data, const QString &formatName)
{
    const QStringList names = FileExport::columnNames(data.columns, cleanName, 10, Qt::CaseInsensitive);
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
        case ExportColumnType::Double: {
            f.type = 'N';
            int integer = 1, fraction = 0;
            for (const QVariantList &row : data.rows) {
                const QVariant &v = row[i];
                if (!v.isValid())
                    continue;
                if (column.type == ExportColumnType::Integer) {
                    integer = std::max(integer, int(QByteArray::number(v.toLongLong()).size()));
                    continue;
                }
                if (!std::isfinite(v.toDouble())) {
                    throw Failure(QStringLiteral("ExportTable: column %1 holds %2; %3 takes only finite numbers.")
                                      .arg(column.name, FileExport::doubleText(v.toDouble()), formatName));
                }
                const Digits d = digitsOf(v.toDouble());
                integer = std::max(integer, d.integerDigits() + (d.negative ? 1 : 0));
                fraction = std::max(fraction, d.fractionDigits());
            }
            f.decimals = std::min(fraction, MaxDecimals);
            f.width = integer + (f.decimals > 0 ? f.decimals + 1 : 0);
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
        }
        fields << f;
    }
    return fields;
}

// The memo file: a header block, then each text in whole blocks.
class MemoFile
{
public:
    explicit MemoFile(DBaseVersion version)
        : m_version(version)
        , m_bytes(MemoBlock, '\0')
    {}

    // Stores a text; returns its first block.
    int add(const QByteArray &text)
    {
        const int block = int(m_bytes.size() / MemoBlock);
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
        return block;
    }

    QByteArray bytes()
    {
        qToLittleEndian<quint32>(quint32(m_bytes.size() / MemoBlock), m_bytes.data());
        if (m_version == DBaseVersion::III)
            m_bytes[16] = 0x03;
        else
            qToLittleEndian<quint16>(quint16(MemoBlock), m_bytes.data() + 20);
        return m_bytes;
    }

private:
    DBaseVersion m_version;
    QByteArray m_bytes;
};

struct DbfHandle
{
    DBFHandle h = nullptr;
    ~DbfHandle()
    {
        if (h)
            DBFClose(h);
        t_device = nullptr;
    }
};

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
    QIODevice *memoDevice = hasMemo ? &files.create(FileExport::companionPath(path, QStringLiteral(".dbt"))) : nullptr;
    QIODevice &table = files.create(path);

    SAHooks hooks;
    SASetupDefaultHooks(&hooks);
    hooks.FOpen = hookOpen;
    hooks.FRead = hookRead;
    hooks.FWrite = hookWrite;
    hooks.FSeek = hookSeek;
    hooks.FTell = hookTell;
    hooks.FFlush = hookFlush;
    hooks.FClose = hookClose;
    hooks.Remove = hookRemove;
    hooks.Error = hookError;
    hooks.Atof = hookAtof;

    t_device = &table;
    DbfHandle dbf;
    dbf.h = DBFCreateLL("table.dbf", "LDID/200", &hooks); // 200: Windows-1250
    if (!dbf.h)
        throw Failure(QStringLiteral("ExportTable: the %1 table could not be written.").arg(formatName()));
    for (const Field &f : fields) {
        if (DBFAddNativeFieldType(dbf.h, f.name.constData(), f.type, f.width, f.decimals) < 0)
            throw Failure(QStringLiteral("ExportTable: the %1 table could not be written.").arg(formatName()));
    }
    const QDate today = data.writtenAt.date();
    DBFSetLastModifiedDate(dbf.h, today.year() - 1900, today.month(), today.day());

    MemoFile memo(m_version);
    QByteArray value;
    for (int r = 0; r < int(data.rows.size()); ++r) {
        const QVariantList &row = data.rows[std::size_t(r)];
        for (int i = 0; i < fields.size(); ++i) {
            const Field &f = fields[i];
            const QVariant &v = row[i];
            value.clear();
            if (f.type == 'L') {
                DBFWriteLogicalAttribute(dbf.h, r, i, !v.isValid() ? '?' : v.toBool() ? 'T' : 'F');
                continue;
            }
            if (v.isValid()) {
                switch (f.type) {
                case 'N':
                    value = data.columns[i].type == ExportColumnType::Integer ? QByteArray::number(v.toLongLong())
                                                                              : fixedText(v.toDouble(), f.decimals);
                    value = value.rightJustified(f.width, ' ');
                    break;
                case 'M':
                    if (!v.toString().isEmpty())
                        value = QByteArray::number(memo.add(Windows1250::encode(v.toString()))).rightJustified(10, ' ');
                    break;
                default: value = Windows1250::encode(v.toString()); break;
                }
            }
            DBFWriteAttributeDirectly(dbf.h, r, i, value.data());
        }
    }
    DBFClose(dbf.h);
    dbf.h = nullptr;

    // shapelib writes the version byte of a plain dBASE III table.
    char version = 0x03;
    switch (m_version) {
    case DBaseVersion::III: version = hasMemo ? char(0x83) : char(0x03); break;
    case DBaseVersion::IV: version = hasMemo ? char(0x8B) : char(0x03); break;
    case DBaseVersion::V: version = hasMemo ? char(0x8B) : char(0x05); break;
    }
    table.seek(0);
    table.write(&version, 1);
    if (memoDevice)
        memoDevice->write(memo.bytes());
}
