#include "database/export/LotusExporter.h"

#include "common/Failure.h"
#include "common/Windows1250.h"
#include "database/export/ByteBuffer.h"

#include <bit>
#include <cstring>

namespace {

enum Record : unsigned {
    Bof = 0x0000,
    Eof = 0x0001,
    Range1 = 0x0006,
    Integer1 = 0x000D,
    Number1 = 0x000E,
    Label1 = 0x000F,
    Label3 = 0x0016,
    Number3 = 0x0017,
    SmallNum3 = 0x0018,
    SheetName3 = 0x001B,
};

constexpr unsigned DefaultFormat = 0xFF; // the sheet's default format
constexpr int MaxRows = 8191;
constexpr int MaxLabel1 = 240;
// A WK3 label is bounded only by its record's 16-bit length: the address,
// the alignment prefix and the closing NUL take 6 bytes of it.
constexpr int MaxLabel3 = 0xFFFF - 6;
constexpr unsigned SheetNameSubtype = 14000;
constexpr int MaxSheetName = 15;

// The 80-bit extended real of WK3 holds every double exactly: the same
// sign, the exponent rebiased, and the mantissa with its integer bit made
// explicit (a subnormal double becomes a normal extended number).
void extended(ByteBuffer &out, double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const unsigned sign = unsigned(bits >> 63);
    const int exponent = int((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & ((std::uint64_t(1) << 52) - 1);
    std::uint64_t mantissa = 0;
    unsigned biased = 0;
    if (exponent != 0) {
        mantissa = (std::uint64_t(1) << 63) | (fraction << 11);
        biased = unsigned(exponent - 1023 + 16383);
    } else if (fraction != 0) {
        const int shift = std::countl_zero(fraction);
        mantissa = fraction << shift;
        biased = unsigned(16383 + 63 - 1074 - shift);
    }
    out.u64(mantissa);
    out.u16((sign << 15) | biased);
}

class SheetWriter
{
public:
    SheetWriter(LotusExporter::Version version, const ExportData &data)
        : m_version(version)
        , m_data(data)
    {}

    QByteArray build()
    {
        const unsigned lastRow = unsigned(m_data.rows.size());
        const unsigned lastCol = m_data.columns.isEmpty() ? 0 : unsigned(m_data.columns.size() - 1);
        m_out.reserve(qsizetype(m_data.rows.size() + 1) * m_data.columns.size() * 14 + 256);
        if (m_version == LotusExporter::WK1) {
            header(Bof, 2);
            m_out.u16(0x0406);
            header(Range1, 8);
            m_out.u16(0);
            m_out.u16(0);
            m_out.u16(lastCol);
            m_out.u16(lastRow);
        } else {
            header(Bof, 26);
            m_out.u16(0x1000); // release 3
            m_out.u16(0x0004);
            address(0, 0);
            address(lastRow, lastCol);
            m_out.u16(1); // sheets
            m_out.u8(1);
            m_out.u8(0);
            m_out.u8(0);
            m_out.u8(0);
            m_out.zeros(8);
            const QByteArray name = Windows1250::encode(m_data.tableName);
            header(SheetName3, unsigned(4 + name.size() + 1));
            m_out.u16(SheetNameSubtype);
            m_out.u16(0); // sheet A
            m_out.append(name);
            m_out.u8(0);
        }

        for (qsizetype c = 0; c < m_data.columns.size(); ++c)
            label(0, unsigned(c), m_data.columns[c].name);
        unsigned r = 1;
        for (const QVariantList &row : m_data.rows) {
            const qsizetype n = std::min(row.size(), m_data.columns.size());
            for (qsizetype c = 0; c < n; ++c) {
                const QVariant &value = row[c];
                switch (cellKind(value)) {
                case CellKind::Null: break;
                case CellKind::Integer: integer(r, unsigned(c), value.toLongLong()); break;
                case CellKind::Double: number(r, unsigned(c), value.toDouble()); break;
                case CellKind::Boolean: integer(r, unsigned(c), value.toBool() ? 1 : 0); break;
                case CellKind::Text: label(r, unsigned(c), value.toString()); break;
                }
            }
            ++r;
        }
        header(Eof, 0);
        return std::move(m_out.bytes());
    }

private:
    void header(unsigned type, unsigned length)
    {
        m_out.u16(type);
        m_out.u16(length);
    }

    // WK1 cells start with a format byte and column before row; WK3 cells
    // with row, sheet and column.
    void cell(unsigned type1, unsigned type3, unsigned length, unsigned row, unsigned col)
    {
        if (m_version == LotusExporter::WK1) {
            header(type1, 5 + length);
            m_out.u8(DefaultFormat);
            m_out.u16(col);
            m_out.u16(row);
        } else {
            header(type3, 4 + length);
            address(row, col);
        }
    }

    void address(unsigned row, unsigned col)
    {
        m_out.u16(row);
        m_out.u8(0); // sheet A
        m_out.u8(col);
    }

    void integer(unsigned row, unsigned col, qlonglong value)
    {
        if (m_version == LotusExporter::WK1 && value >= -32768 && value <= 32767) {
            cell(Integer1, 0, 2, row, col);
            m_out.u16(unsigned(value) & 0xFFFF);
        } else if (m_version == LotusExporter::WK3 && value >= -16384 && value <= 16383) {
            // The low bit 0 marks a plain integer stored shifted left by one.
            cell(0, SmallNum3, 2, row, col);
            m_out.u16(unsigned(value * 2) & 0xFFFF);
        } else if (m_version == LotusExporter::WK3) {
            // Every 64-bit integer is exact in the extended real.
            cell(0, Number3, 10, row, col);
            extendedInteger(value);
        } else {
            number(row, col, double(value));
        }
    }

    void extendedInteger(qlonglong value)
    {
        if (value == 0) {
            m_out.zeros(10);
            return;
        }
        const unsigned sign = value < 0 ? 1 : 0;
        const std::uint64_t magnitude = value < 0 ? std::uint64_t(0) - std::uint64_t(value) : std::uint64_t(value);
        const int shift = std::countl_zero(magnitude);
        m_out.u64(magnitude << shift);
        m_out.u16((sign << 15) | unsigned(16383 + 63 - shift));
    }

    void number(unsigned row, unsigned col, double value)
    {
        if (m_version == LotusExporter::WK1) {
            cell(Number1, 0, 8, row, col);
            m_out.f64(value);
        } else {
            cell(0, Number3, 10, row, col);
            extended(m_out, value);
        }
    }

    void label(unsigned row, unsigned col, const QString &text)
    {
        cell(Label1, Label3, unsigned(text.size() + 2), row, col);
        m_out.u8('\''); // left aligned
        appendWindows1250(m_out, text);
        m_out.u8(0);
    }

    LotusExporter::Version m_version;
    const ExportData &m_data;
    ByteBuffer m_out;
};

} // namespace

LotusExporter::LotusExporter(Version version)
    : m_version(version)
{}

QString LotusExporter::formatName() const
{
    return m_version == WK1 ? QStringLiteral("Lotus WK1") : QStringLiteral("Lotus WK3");
}

SheetLimits LotusExporter::limits() const
{
    SheetLimits l;
    l.formatName = formatName();
    l.maxRows = MaxRows;
    l.maxColumns = 256;
    l.maxTextLength = m_version == WK1 ? MaxLabel1 : MaxLabel3;
    l.windows1250 = true;
    l.lowestCharacter = m_version == WK1 ? 1 : 0x20;
    l.doubleNumbers = m_version == WK1;
    return l;
}

void LotusExporter::check(const ExportData &data) const
{
    checkSheetLimits(data, limits());
    if (m_version == WK3) {
        const QString &name = data.tableName;
        if (name.isEmpty() || name.size() > MaxSheetName || !Windows1250::canEncode(name) || name.contains(QChar(0))) {
            throw Failure(QStringLiteral("ExportTable: %1 cannot name a sheet %2.").arg(formatName(), name));
        }
    }
}

QByteArray LotusExporter::bytes(const ExportData &data) const
{
    return SheetWriter(m_version, data).build();
}

void LotusExporter::write(const ExportData &data, const QString &path, ExportFiles &files) const
{
    check(data);
    const QByteArray content = bytes(data);
    QIODevice &out = files.create(path);
    if (out.write(content) != content.size())
        throw Failure(out.errorString());
}
