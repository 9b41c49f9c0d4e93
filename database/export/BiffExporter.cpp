#include "database/export/BiffExporter.h"

#include "common/Failure.h"
#include "common/Windows1250.h"
#include "database/export/ByteBuffer.h"
#include "database/export/CompoundFile.h"

#include <QHash>

namespace {

enum Record : unsigned {
    Eof = 0x000A,
    CodePage = 0x0042,
    Continue = 0x003C,
    Window1 = 0x003D,
    Font5 = 0x0031,
    Format3 = 0x001E,
    BoundSheet = 0x0085,
    Sst = 0x00FC,
    ExtSst = 0x00FF,
    LabelSst = 0x00FD,
    Xf5 = 0x00E0,
    Dimension = 0x0200,
    Number = 0x0203,
    Label = 0x0204,
    BoolErr = 0x0205,
    Bof3 = 0x0209,
    Font3 = 0x0231,
    Window2 = 0x023E,
    Xf3 = 0x0243,
    Style = 0x0293,
    Bof4 = 0x0409,
    Format4 = 0x041E,
    Xf4 = 0x0443,
    Bof5 = 0x0809,
};

constexpr unsigned CellXf = 15; // the one cell XF, after the 15 style XFs
constexpr unsigned WorksheetType = 0x0010;
constexpr unsigned GlobalsType = 0x0005;
// Records of BIFF8 hold at most this many data bytes; longer ones go on in
// CONTINUE records.
constexpr qsizetype MaxRecordData8 = 8224;
constexpr int MaxText8 = 32767;

// Starts a record whose length is patched by endRecord().
qsizetype beginRecord(ByteBuffer &out, unsigned id)
{
    const qsizetype at = out.size();
    out.u16(id);
    out.u16(0);
    return at;
}

void endRecord(ByteBuffer &out, qsizetype at)
{
    out.patchU16(at + 2, unsigned(out.size() - at - 4));
}

void cellHeader(ByteBuffer &out, unsigned id, unsigned length, unsigned row, unsigned col)
{
    out.u16(id);
    out.u16(length);
    out.u16(row);
    out.u16(col);
    out.u16(CellXf);
}

bool needsWideChars(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() > 0xFF)
            return true;
    }
    return false;
}

void appendChars(ByteBuffer &out, const QString &text, qsizetype from, qsizetype count, bool wide)
{
    if (!wide) {
        out.append(text.mid(from, count).toLatin1());
        return;
    }
    for (qsizetype i = from; i < from + count; ++i)
        out.u16(text[i].unicode());
}

// A BIFF8 string with an 8-bit length (sheet and font names).
void shortUnicode(ByteBuffer &out, const QString &text)
{
    const bool wide = needsWideChars(text);
    out.u8(unsigned(text.size()));
    out.u8(wide ? 1 : 0);
    appendChars(out, text, 0, text.size(), wide);
}

// The shared string table. Strings run on across CONTINUE records; a string
// cut there goes on after a repeated flags byte, and its length and flags
// never stand alone at the end of a record. EXTSST follows: where every
// bucket of strings starts, so Excel can find a string without reading all
// before it.
void writeSst(ByteBuffer &out, const QStringList &strings, std::uint32_t total)
{
    const qsizetype perBucket = std::max<qsizetype>(8, strings.size() / 128 + 1);
    QList<std::pair<qsizetype, qsizetype>> buckets; // stream offset, offset in its record
    qsizetype record = beginRecord(out, Sst);
    out.u32(total);
    out.u32(std::uint32_t(strings.size()));
    qsizetype used = 8;
    auto nextRecord = [&] {
        endRecord(out, record);
        record = beginRecord(out, Continue);
        used = 0;
    };
    for (const QString &s : strings) {
        const bool wide = needsWideChars(s);
        const qsizetype charSize = wide ? 2 : 1;
        if (used + 3 + (s.isEmpty() ? 0 : charSize) > MaxRecordData8)
            nextRecord();
        if ((&s - strings.constData()) % perBucket == 0)
            buckets.append({out.size(), out.size() - record});
        out.u16(unsigned(s.size()));
        out.u8(wide ? 1 : 0);
        used += 3;
        qsizetype done = 0;
        while (done < s.size()) {
            const qsizetype room = (MaxRecordData8 - used) / charSize;
            if (room == 0) {
                nextRecord();
                out.u8(wide ? 1 : 0);
                used = 1;
                continue;
            }
            const qsizetype n = std::min(room, s.size() - done);
            appendChars(out, s, done, n, wide);
            used += n * charSize;
            done += n;
        }
    }
    endRecord(out, record);

    record = beginRecord(out, ExtSst);
    out.u16(unsigned(perBucket));
    for (const auto &[offset, inRecord] : buckets) {
        out.u32(std::uint32_t(offset));
        out.u16(unsigned(inRecord));
        out.u16(0);
    }
    endRecord(out, record);
}

class StreamWriter
{
public:
    StreamWriter(int version, const ExportData &data)
        : m_version(version)
        , m_data(data)
    {}

    QList<QByteArray> build()
    {
        if (m_version <= 4) {
            ByteBuffer out;
            out.reserve(estimate());
            bof(out, WorksheetType);
            codePage(out);
            window1(out);
            formatting(out);
            sheetBody(out);
            return {std::move(out.bytes())};
        }

        // The sheet is written first: its shared strings and its size are
        // needed by the globals that go before it.
        ByteBuffer sheet;
        sheet.reserve(estimate());
        bof(sheet, WorksheetType);
        sheetBody(sheet);

        ByteBuffer globals;
        bof(globals, GlobalsType);
        codePage(globals);
        window1(globals);
        formatting(globals);
        const qsizetype boundSheet = beginRecord(globals, BoundSheet);
        globals.u32(0); // patched: where the sheet's BOF starts
        globals.u8(0);  // visible
        globals.u8(0);  // worksheet
        if (m_version == 8) {
            shortUnicode(globals, m_data.tableName);
        } else {
            const QByteArray name = Windows1250::encode(m_data.tableName);
            globals.u8(unsigned(name.size()));
            globals.append(name);
        }
        endRecord(globals, boundSheet);
        if (m_version == 8)
            writeSst(globals, m_strings, m_sstTotal);
        record(globals, Eof);
        globals.patchU32(boundSheet + 4, std::uint32_t(globals.size()));
        return {std::move(globals.bytes()), std::move(sheet.bytes())};
    }

private:
    // The sheet's size judged from its first rows, so the buffer is seldom
    // grown and copied.
    qsizetype estimate() const
    {
        const std::size_t sample = std::min<std::size_t>(m_data.rows.size(), 64);
        qsizetype bytes = 0;
        std::size_t r = 0;
        for (auto row = m_data.rows.begin(); r < sample; ++row, ++r) {
            for (const QVariant &v : *row)
                bytes += 18 + (cellKind(v) == CellKind::Text ? v.toString().size() : 0);
        }
        const qsizetype perRow = sample ? bytes / qsizetype(sample) + 1 : 0;
        return perRow * qsizetype(m_data.rows.size()) + perRow * perRow + 4096;
    }

    static void record(ByteBuffer &out, unsigned id) { endRecord(out, beginRecord(out, id)); }

    void bof(ByteBuffer &out, unsigned type) const
    {
        const qsizetype at = beginRecord(out, m_version == 3 ? Bof3 : m_version == 4 ? Bof4 : Bof5);
        switch (m_version) {
        case 3:
        case 4:
            out.u16(m_version == 3 ? 0x0300 : 0x0400);
            out.u16(type);
            out.u16(0);
            break;
        case 5:
            out.u16(0x0500);
            out.u16(type);
            out.u16(0x0DBB); // build
            out.u16(0x07CC); // year
            break;
        default:
            out.u16(0x0600);
            out.u16(type);
            out.u16(0x0DBB);
            out.u16(0x07CC);
            out.u32(0x00000041); // file history
            out.u32(0x00000006); // lowest version that can read it
            break;
        }
        endRecord(out, at);
    }

    void codePage(ByteBuffer &out) const
    {
        const qsizetype at = beginRecord(out, CodePage);
        out.u16(m_version == 8 ? 1200 : 1250);
        endRecord(out, at);
    }

    void window1(ByteBuffer &out) const
    {
        const qsizetype at = beginRecord(out, Window1);
        out.u16(0x0168); // position and size in twips
        out.u16(0x001E);
        out.u16(0x3A98);
        out.u16(0x2328);
        if (m_version <= 4) {
            out.u8(0); // visible
        } else {
            out.u16(0x0038); // scroll bars and sheet tabs shown
            out.u16(0);      // active sheet
            out.u16(0);      // first tab shown
            out.u16(1);      // selected sheets
            out.u16(600);    // tab bar width in 1/1000 of the window
        }
        endRecord(out, at);
    }

    // Fonts, cell formats and the Normal style: five fonts (index 4 does not
    // exist in BIFF, so the fifth is number 5), 15 style XFs and the cell XF.
    void formatting(ByteBuffer &out) const
    {
        for (int i = 0; i < 5; ++i) {
            const qsizetype at = beginRecord(out, m_version <= 4 ? Font3 : Font5);
            out.u16(200); // 10 points
            out.u16(0);
            out.u16(0x7FFF); // automatic colour
            if (m_version >= 5) {
                out.u16(400); // normal weight
                out.u16(0);
                out.u8(0);
                out.u8(0);
                out.u8(238); // Central European character set
                out.u8(0);
            }
            const QString name = QStringLiteral("Arial");
            if (m_version == 8) {
                shortUnicode(out, name);
            } else {
                out.u8(unsigned(name.size()));
                out.append(name.toLatin1());
            }
            endRecord(out, at);
        }
        if (m_version <= 4)
            builtInFormats(out);
        for (unsigned i = 0; i <= CellXf; ++i)
            xf(out, i < CellXf);
        const qsizetype at = beginRecord(out, Style);
        out.u16(0x8000); // built-in style on XF 0
        out.u8(0);       // Normal
        out.u8(0xFF);
        endRecord(out, at);
    }

    // Excel 3.0 and 4.0 name a cell's number format by its position among the
    // file's FORMAT records, the built-in ones included: without them a reader
    // has no "General" for the XFs to point at, and takes numbers for text.
    // Excel 5.0 and later know the built-in formats without records.
    void builtInFormats(ByteBuffer &out) const
    {
        static const char *const BuiltIn[] = {
            "General",
            "0",
            "0.00",
            "#,##0",
            "#,##0.00",
            "\"$\"#,##0_);\\(\"$\"#,##0\\)",
            "\"$\"#,##0_);[Red]\\(\"$\"#,##0\\)",
            "\"$\"#,##0.00_);\\(\"$\"#,##0.00\\)",
            "\"$\"#,##0.00_);[Red]\\(\"$\"#,##0.00\\)",
            "0%",
            "0.00%",
            "0.00E+00",
            "m/d/yy",
            "d-mmm-yy",
            "d-mmm",
            "mmm-yy",
            "h:mm AM/PM",
            "h:mm:ss AM/PM",
            "h:mm",
            "h:mm:ss",
            "m/d/yy h:mm",
        };
        for (const char *format : BuiltIn) {
            const qsizetype at = beginRecord(out, m_version == 3 ? Format3 : Format4);
            if (m_version == 4)
                out.u16(0); // unused: the position is the index
            const QByteArray text(format);
            out.u8(unsigned(text.size()));
            out.append(text);
            endRecord(out, at);
        }
    }

    void xf(ByteBuffer &out, bool style) const
    {
        switch (m_version) {
        case 3: {
            const qsizetype at = beginRecord(out, Xf3);
            out.u8(0);                   // font
            out.u8(0);                   // number format: General
            out.u8(style ? 0x05 : 0x01); // locked (+ style XF)
            out.u8(0);
            out.u16(style ? 0xFFF0 : 0x0000); // parent XF in bits 4-15
            out.u16(0xCE00);                  // no fill, default colours
            out.u32(0);                       // no borders
            endRecord(out, at);
            break;
        }
        case 4: {
            const qsizetype at = beginRecord(out, Xf4);
            out.u8(0);
            out.u8(0);
            out.u16(style ? 0xFFF5 : 0x0001);
            out.u8(0x20); // bottom aligned
            out.u8(0);
            out.u16(0xCE00);
            out.u32(0);
            endRecord(out, at);
            break;
        }
        case 5: {
            const qsizetype at = beginRecord(out, Xf5);
            out.u16(0);
            out.u16(0);
            out.u16(style ? 0xFFF5 : 0x0001);
            out.u16(0x0020);
            out.u32(0x000020C0); // default pattern colours, no fill
            out.u32(0);
            endRecord(out, at);
            break;
        }
        default: {
            const qsizetype at = beginRecord(out, Xf5);
            out.u16(0);
            out.u16(0);
            out.u16(style ? 0xFFF5 : 0x0001);
            out.u8(0x20);
            out.u8(0);
            out.u8(0);
            out.u8(0);
            out.u32(0);
            out.u32(0);
            out.u16(0x20C0);
            endRecord(out, at);
            break;
        }
        }
    }

    void sheetBody(ByteBuffer &out)
    {
        const unsigned rows = unsigned(m_data.rows.size()) + 1;
        const unsigned cols = unsigned(m_data.columns.size());
        const qsizetype at = beginRecord(out, Dimension);
        if (m_version == 8) {
            out.u32(0);
            out.u32(rows);
        } else {
            out.u16(0);
            out.u16(rows);
        }
        out.u16(0);
        out.u16(cols);
        out.u16(0);
        endRecord(out, at);

        for (unsigned c = 0; c < cols; ++c)
            text(out, 0, c, m_data.columns[c].name);
        unsigned r = 1;
        for (const QVariantList &row : m_data.rows) {
            const unsigned n = std::min(cols, unsigned(row.size()));
            for (unsigned c = 0; c < n; ++c) {
                const QVariant &value = row[c];
                switch (cellKind(value)) {
                case CellKind::Null: break;
                case CellKind::Integer: number(out, r, c, double(value.toLongLong())); break;
                case CellKind::Double: number(out, r, c, value.toDouble()); break;
                case CellKind::Boolean:
                    cellHeader(out, BoolErr, 8, r, c);
                    out.u8(value.toBool() ? 1 : 0);
                    out.u8(0); // a Boolean, not an error code
                    break;
                case CellKind::Text: text(out, r, c, value.toString()); break;
                }
            }
            ++r;
        }

        const qsizetype w2 = beginRecord(out, Window2);
        out.u16(0x06B6); // grid, headers, zeros, outline; sheet selected and shown
        out.u16(0);      // first row shown
        out.u16(0);      // first column shown
        if (m_version == 8) {
            out.u16(0x40); // grid colour: automatic
            out.u16(0);
            out.u16(0);
            out.u16(0);
            out.u32(0);
        } else {
            out.u32(0); // grid colour RGB
        }
        endRecord(out, w2);
        record(out, Eof);
    }

    static void number(ByteBuffer &out, unsigned row, unsigned col, double value)
    {
        cellHeader(out, Number, 14, row, col);
        out.f64(value);
    }

    void text(ByteBuffer &out, unsigned row, unsigned col, const QString &value)
    {
        if (m_version == 8) {
            auto it = m_sstIndex.constFind(value);
            if (it == m_sstIndex.constEnd()) {
                it = m_sstIndex.insert(value, std::uint32_t(m_strings.size()));
                m_strings.append(value);
            }
            cellHeader(out, LabelSst, 10, row, col);
            out.u32(*it);
            ++m_sstTotal;
            return;
        }
        cellHeader(out, Label, unsigned(8 + value.size()), row, col);
        out.u16(unsigned(value.size()));
        appendWindows1250(out, value);
    }

    int m_version;
    const ExportData &m_data;
    QHash<QString, std::uint32_t> m_sstIndex;
    QStringList m_strings;
    std::uint32_t m_sstTotal = 0;
};

} // namespace

BiffExporter::BiffExporter(int version)
    : m_version(version)
{
    Q_ASSERT(version == 3 || version == 4 || version == 5 || version == 8);
}

QString BiffExporter::formatName() const
{
    return QStringLiteral("Excel %1.0").arg(m_version);
}

SheetLimits BiffExporter::limits() const
{
    SheetLimits l;
    l.formatName = formatName();
    l.maxRows = m_version == 8 ? 65535 : 16383;
    l.maxColumns = 256;
    l.maxTextLength = m_version == 8 ? MaxText8 : 255;
    l.windows1250 = m_version != 8;
    l.doubleNumbers = true;
    return l;
}

void BiffExporter::check(const ExportData &data) const
{
    checkSheetLimits(data, limits());
    if (m_version >= 5) {
        // A sheet name Excel would refuse to open.
        const QString &name = data.tableName;
        const bool bad = name.isEmpty() || name.size() > 31 || std::any_of(name.begin(), name.end(), [](QChar c) {
                             return QStringLiteral("[]:*?/\\").contains(c) || c.unicode() < 0x20;
                         });
        if (bad)
            throw Failure(QStringLiteral("ExportTable: %1 cannot name a sheet %2.").arg(formatName(), name));
        if (m_version == 5 && !Windows1250::canEncode(name)) {
            throw Failure(QStringLiteral("ExportTable: %1 cannot name a sheet %2.").arg(formatName(), name));
        }
    }
}

QList<QByteArray> BiffExporter::stream(const ExportData &data) const
{
    return StreamWriter(m_version, data).build();
}

void BiffExporter::write(const ExportData &data, const QString &path, ExportFiles &files) const
{
    check(data);
    const QList<QByteArray> parts = stream(data);
    QIODevice &out = files.create(path);
    if (m_version <= 4) {
        if (out.write(parts.front()) != parts.front().size())
            throw Failure(out.errorString());
        return;
    }
    CompoundFile::write(out, m_version == 8 ? QStringLiteral("Workbook") : QStringLiteral("Book"), parts);
}
