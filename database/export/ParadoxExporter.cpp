#include "database/export/ParadoxExporter.h"

#include "common/Failure.h"
#include "common/Windows1250.h"
#include "database/export/FileExportSupport.h"

#include <QDateTime>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

enum FieldType : quint8 { Alpha = 0x01, Short = 0x03, Long = 0x04, Number = 0x06, Logical = 0x09, Memo = 0x0C };

constexpr int BlockKilobytes = 4;
constexpr int BlockSize = BlockKilobytes * 1024;
constexpr int BlockHeader = 6;
constexpr int TableNameLength = 79;
constexpr int MaxAlpha = 255;
constexpr int MaxFields = 255;
constexpr int MaxBlocks = 65535;
constexpr int MemoLeader = 10; // the first bytes of a memo, kept in the row as well
constexpr int MemoBlock = 4096;
// Integers beyond 2^53 have no double of their own; compared as integers,
// since their conversion to double would round them into range.
constexpr qlonglong LargestExact = qlonglong(1) << 53;

struct Field
{
    QByteArray name;
    FieldType type = Alpha;
    int size = 1;
};

QString versionName(ParadoxVersion version)
{
    switch (version) {
    case ParadoxVersion::V3: return QStringLiteral("Paradox 3.x");
    case ParadoxVersion::V4: return QStringLiteral("Paradox 4.x");
    case ParadoxVersion::V5: break;
    }
    return QStringLiteral("Paradox 5.x");
}

QString cleanName(const QString &name)
{
    QString clean;
    for (QChar c : name) {
        const bool forbidden = QStringLiteral("\"[]{}()#").contains(c) || c.unicode() < 32;
        clean += forbidden || !Windows1250::canEncode(c) ? QLatin1Char('_') : c;
    }
    clean.replace(QLatin1String("->"), QLatin1String("_>"));
    while (clean.startsWith(QLatin1Char(' ')))
        clean.remove(0, 1);
    return clean.isEmpty() ? QStringLiteral("Field") : clean;
}

QList<Field> layout(const ExportData &data, ParadoxVersion version)
{
    const QStringList names = FileExport::columnNames(data.columns, cleanName, 25, Qt::CaseInsensitive);
    QList<bool> long32(data.columns.size(), false);
    if (version == ParadoxVersion::V5)
        long32 = FileExport::integersWithin(data, std::numeric_limits<qint32>::min() + qint64(1),
                                            std::numeric_limits<qint32>::max());
    QList<Field> fields;
    for (int i = 0; i < data.columns.size(); ++i) {
        const ExportColumn &column = data.columns[i];
        Field f;
        f.name = Windows1250::encode(names[i]);
        switch (column.type) {
        case ExportColumnType::Integer:
            // The lowest Long would be stored as the bytes of an empty field.
            if (long32[i]) {
                f.type = Long;
                f.size = 4;
            } else {
                f.type = Number;
                f.size = 8;
            }
            break;
        case ExportColumnType::Double:
            f.type = Number;
            f.size = 8;
            break;
        case ExportColumnType::Boolean:
            f.type = version == ParadoxVersion::V5 ? Logical : Short;
            f.size = version == ParadoxVersion::V5 ? 1 : 2;
            break;
        case ExportColumnType::Text:
            f.size = std::max(1, column.width);
            if (f.size > MaxAlpha) {
                f.type = Memo;
                f.size = 10 + MemoLeader;
            }
            break;
        }
        fields << f;
    }
    return fields;
}

int recordSize(const QList<Field> &fields)
{
    int size = 0;
    for (const Field &f : fields)
        size += f.size;
    return size;
}

// Numbers are stored big-endian with the sign bit flipped, so that the bytes
// sort as the values do; all zero bytes are an empty field.
void putNumber(char *to, double v)
{
    quint64 bits = std::bit_cast<quint64>(v);
    bits = (bits & (quint64(1) << 63)) ? ~bits : bits | (quint64(1) << 63);
    qToBigEndian<quint64>(bits, to);
}

void putLong(char *to, qint32 v)
{
    qToBigEndian<quint32>(quint32(v) ^ 0x80000000u, to);
}

void putShort(char *to, qint16 v)
{
    qToBigEndian<quint16>(quint16(v) ^ 0x8000u, to);
}

QByteArray header(const QList<Field> &fields, ParadoxVersion version, const QByteArray &tableName, int records,
                  qint64 writtenAt, int blocks, int headerSize)
{
    const bool hasDataHeader = version != ParadoxVersion::V3;
    const int fixed = hasDataHeader ? 0x78 : 0x58;
    int nameBytes = 0;
    for (const Field &f : fields)
        nameBytes += int(f.name.size()) + 1;
    const int n = int(fields.size());
    QByteArray h(headerSize, '\0');
    char *p = h.data();
    qToLittleEndian<quint16>(quint16(recordSize(fields)), p + 0x00);
    qToLittleEndian<quint16>(quint16(headerSize), p + 0x02);
    p[0x04] = 2; // a table without primary key
    p[0x05] = char(BlockKilobytes);
    qToLittleEndian<quint32>(quint32(records), p + 0x06);
    qToLittleEndian<quint16>(quint16(blocks), p + 0x0A);             // next block
    qToLittleEndian<quint16>(quint16(blocks), p + 0x0C);             // file blocks
    qToLittleEndian<quint16>(quint16(blocks > 0 ? 1 : 0), p + 0x0E); // first block
    qToLittleEndian<quint16>(quint16(blocks), p + 0x10);             // last block
    qToLittleEndian<qint16>(qint16(n), p + 0x21);
    p[0x2D] = 2; // change counts
    p[0x2E] = 1;
    switch (version) {
    case ParadoxVersion::V3: p[0x39] = 3; break;
    case ParadoxVersion::V4: p[0x39] = 9; break;
    case ParadoxVersion::V5: p[0x39] = 11; break;
    }
    qToLittleEndian<quint16>(quint16(blocks), p + 0x3A);
    p[0x3E] = 0x1F;
    p[0x3F] = 0x0F;
    qToLittleEndian<quint16>(quint16(fixed + n * 8 + 4 + TableNameLength + nameBytes + 9), p + 0x51);
    p[0x56] = 0x20;
    if (hasDataHeader) {
        const quint16 id = version == ParadoxVersion::V4 ? 0x0109 : 0x010B;
        qToLittleEndian<quint16>(id, p + 0x58);
        qToLittleEndian<quint16>(id, p + 0x5A);
        qToLittleEndian<quint32>(quint32(writtenAt), p + 0x60);
        qToLittleEndian<quint16>(quint16(n + 1), p + 0x64);
        qToLittleEndian<quint16>(quint16(0x20 + n * 6 + 4 + TableNameLength + nameBytes), p + 0x66);
        qToLittleEndian<quint16>(1250, p + 0x6A);
        p[0x6C] = 1;
        p[0x6D] = 1;
        qToLittleEndian<quint16>(quint16(0x18 + n * 8 + 4 + TableNameLength + nameBytes + 8), p + 0x6E);
    }
    int at = fixed;
    for (const Field &f : fields) {
        p[at++] = char(f.type);
        p[at++] = char(f.size);
    }
    at += 4 + n * 4; // pointers the reading program fills in for itself
    std::memcpy(p + at, tableName.constData(), std::size_t(std::min<qsizetype>(tableName.size(), TableNameLength - 1)));
    at += TableNameLength;
    for (const Field &f : fields) {
        std::memcpy(p + at, f.name.constData(), std::size_t(f.name.size()));
        at += int(f.name.size()) + 1;
    }
    for (int i = 1; i <= n; ++i, at += 2)
        qToLittleEndian<qint16>(qint16(i), p + at);
    std::memcpy(p + at, "ANSIINTL", 8);
    return h;
}

// The memo file: a header block, then each text in its own run of blocks,
// written as they come. Short texts share a block; the block being filled is
// held here and written over its place once it is full or the file ends.
class MemoFile
{
public:
    explicit MemoFile(QIODevice *device)
        : m_device(device)
    {
        if (!m_device)
            return;
        QByteArray header(MemoBlock, '\0');
        char *h = header.data();
        qToLittleEndian<quint16>(1, h + 1);       // block size in units of 4 kB
        qToLittleEndian<quint16>(1, h + 3);       // modification count
        qToLittleEndian<quint16>(0x1000, h + 11); // base size
        qToLittleEndian<quint16>(0x1000, h + 13); // sub-block size
        h[16] = 0x10;                             // sub-chunk size
        qToLittleEndian<quint16>(0x40, h + 17);
        qToLittleEndian<quint16>(0x800, h + 19);
        append(header);
    }

    // Stores a text and fills the row's memo field with its leader and place.
    void add(const QByteArray &text, char *field)
    {
        const quint32 place = text.size() <= SubAllocationLimit ? addSmall(text) : addLarge(text);
        std::memcpy(field, text.constData(), std::size_t(std::min<qsizetype>(text.size(), MemoLeader)));
        qToLittleEndian<quint32>(place, field + MemoLeader);
        qToLittleEndian<quint32>(quint32(text.size()), field + MemoLeader + 4);
        qToLittleEndian<quint16>(1, field + MemoLeader + 8);
    }

    // Writes the shared block still being filled.
    void finish() { writeShared(); }

private:
    void append(const QByteArray &bytes)
    {
        m_device->write(bytes);
        m_size += bytes.size();
    }

    // A text of its own run of blocks; index 0xFF in the row's pointer says so.
    quint32 addLarge(const QByteArray &text)
    {
        const quint32 offset = quint32(m_size);
        const int blocks = int((9 + text.size() + MemoBlock - 1) / MemoBlock);
        char head[9] = {2};
        qToLittleEndian<quint16>(quint16(blocks), head + 1);
        qToLittleEndian<quint32>(quint32(text.size()), head + 3);
        qToLittleEndian<quint16>(1, head + 7);
        m_run.clear();
        m_run.append(head, 9);
        m_run += text;
        m_run.append(qsizetype(blocks) * MemoBlock - 9 - text.size(), '\0');
        append(m_run);
        return offset | 0xFF;
    }

    // Short texts share a block of 16-byte chunks with a table of up to 64
    // entries at its start; the row's pointer names the entry.
    quint32 addSmall(const QByteArray &text)
    {
        const int chunks = int((text.size() + 15) / 16);
        if (m_shared < 0 || m_sharedEntries == SharedEntries || m_sharedNextChunk + chunks > MemoBlock / 16) {
            writeShared();
            m_shared = m_size;
            m_block.fill('\0', MemoBlock);
            append(m_block); // its place, written again once it is filled
            m_block[0] = 3;
            qToLittleEndian<quint16>(1, m_block.data() + 1);
            m_sharedEntries = 0;
            m_sharedNextChunk = FirstSharedChunk;
        }
        char *block = m_block.data();
        char *entry = block + 12 + m_sharedEntries * 5;
        entry[0] = char(m_sharedNextChunk);
        entry[1] = char(chunks);
        qToLittleEndian<quint16>(1, entry + 2);
        entry[4] = char(text.size() - (chunks - 1) * 16);
        std::memcpy(block + m_sharedNextChunk * 16, text.constData(), std::size_t(text.size()));
        m_sharedNextChunk += chunks;
        return quint32(m_shared) | quint32(m_sharedEntries++);
    }

    void writeShared()
    {
        if (m_shared < 0)
            return;
        m_device->seek(m_shared);
        m_device->write(m_block);
        m_device->seek(m_size);
    }

    static constexpr int SharedEntries = 64;
    static constexpr int FirstSharedChunk = (12 + SharedEntries * 5 + 15) / 16;
    static constexpr int SubAllocationLimit = 2048;

    QIODevice *m_device;
    qint64 m_size = 0;
    QByteArray m_run;   // one long text's blocks
    QByteArray m_block; // the shared block being filled
    qint64 m_shared = -1;
    int m_sharedEntries = 0;
    int m_sharedNextChunk = 0;
};

// Throws for a number the table would not give back as it was.
void requireExact(const ExportColumn &column, const QVariant &v, const QString &formatName)
{
    const bool exact = !v.isValid() || (column.type == ExportColumnType::Integer
                                            ? v.toLongLong() >= -LargestExact && v.toLongLong() <= LargestExact
                                            : std::isfinite(v.toDouble()));
    if (!exact) {
        throw Failure(QStringLiteral("ExportTable: column %1 holds %2, which %3 cannot store exactly.")
                          .arg(column.name, v.toString(), formatName));
    }
}

} // namespace

QString ParadoxExporter::formatName() const
{
    return versionName(m_version);
}

void ParadoxExporter::check(const ExportData &data) const
{
    if (data.columns.size() > MaxFields)
        throw Failure(QStringLiteral("ExportTable: %1 holds at most %2 columns.").arg(formatName()).arg(MaxFields));
    FileExport::requireWindows1250(data, formatName());
    if (m_version == ParadoxVersion::V3)
        FileExport::requireTextLength(data, MaxAlpha, formatName());
    QList<int> numeric;
    for (int i = 0; i < data.columns.size(); ++i) {
        if (data.columns[i].type == ExportColumnType::Integer || data.columns[i].type == ExportColumnType::Double)
            numeric << i;
    }
    if (!numeric.isEmpty()) {
        for (const QVariantList &row : data.rows.only(numeric)) {
            for (int i : numeric)
                requireExact(data.columns[i], row[i], formatName());
        }
    }
    const int size = recordSize(layout(data, m_version));
    if (size > BlockSize - BlockHeader) {
        throw Failure(QStringLiteral("ExportTable: a row of %1 takes at most %2 bytes; this one takes %3.")
                          .arg(formatName())
                          .arg(BlockSize - BlockHeader)
                          .arg(size));
    }
    const qint64 perBlock = (BlockSize - BlockHeader) / std::max(1, size);
    if (qint64(data.rows.size()) > perBlock * MaxBlocks) {
        throw Failure(QStringLiteral("ExportTable: %1 holds at most %2 rows of this width.")
                          .arg(formatName())
                          .arg(perBlock * MaxBlocks));
    }
}

void ParadoxExporter::write(const ExportData &data, const QString &path, ExportFiles &files) const
{
    const QList<Field> fields = layout(data, m_version);
    const int size = std::max(1, recordSize(fields));
    const int perBlock = (BlockSize - BlockHeader) / size;
    const int rows = int(data.rows.size());
    const int blocks = (rows + perBlock - 1) / perBlock;

    int headerEnd = 0x78 + int(fields.size()) * 8 + 4 + TableNameLength + 9;
    for (const Field &f : fields)
        headerEnd += int(f.name.size()) + 1;
    const int headerSize = (headerEnd + 0x7FF) / 0x800 * 0x800;

    const bool hasMemo = std::any_of(fields.begin(), fields.end(), [](const Field &f) { return f.type == Memo; });
    QIODevice *memoDevice = hasMemo ? &files.create(FileExport::companionPath(path, QStringLiteral(".mb"))) : nullptr;
    MemoFile memo(memoDevice);
    QIODevice &out = files.create(path);
    // The name inside the header is informational: a character the code page lacks becomes "_".
    QString tableName = QFileInfo(path).completeBaseName();
    for (QChar &c : tableName) {
        if (!Windows1250::canEncode(c))
            c = QLatin1Char('_');
    }
    out.write(header(fields, m_version, Windows1250::encode(tableName), rows, data.writtenAt.toSecsSinceEpoch(), blocks,
                     headerSize));

    QByteArray block(BlockSize, '\0');
    QByteArray text;
    ExportRows::Iterator next = data.rows.begin();
    for (int b = 0; b < blocks; ++b) {
        block.fill('\0');
        const int count = std::min(perBlock, rows - b * perBlock);
        qToLittleEndian<quint16>(quint16(b + 1 < blocks ? b + 2 : 0), block.data());
        qToLittleEndian<quint16>(quint16(b), block.data() + 2);
        qToLittleEndian<qint16>(qint16((count - 1) * size), block.data() + 4);
        char *record = block.data() + BlockHeader;
        for (int r = 0; r < count; ++r, record += size, ++next) {
            const QVariantList &row = *next;
            char *at = record;
            for (int i = 0; i < fields.size(); at += fields[i].size, ++i) {
                const QVariant &v = row[i];
                if (!v.isValid())
                    continue;
                switch (fields[i].type) {
                case Alpha:
                    text = Windows1250::encode(v.toString());
                    std::memcpy(at, text.constData(), std::size_t(text.size()));
                    break;
                case Number: putNumber(at, v.toDouble()); break;
                case Long: putLong(at, qint32(v.toLongLong())); break;
                case Short: putShort(at, v.toBool() ? 1 : 0); break;
                case Logical: *at = char(0x80 | (v.toBool() ? 1 : 0)); break;
                case Memo:
                    if (!v.toString().isEmpty())
                        memo.add(Windows1250::encode(v.toString()), at);
                    break;
                }
            }
        }
        out.write(block);
    }
    memo.finish();
}
