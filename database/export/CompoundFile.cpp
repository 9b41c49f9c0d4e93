#include "database/export/CompoundFile.h"

#include "common/Failure.h"
#include "database/export/ByteBuffer.h"

#include <algorithm>
#include <vector>

namespace {

constexpr qsizetype SectorSize = 512;
constexpr std::uint32_t IdsPerSector = SectorSize / 4;
constexpr std::uint32_t HeaderDifatEntries = 109;
constexpr std::uint32_t FreeSect = 0xFFFFFFFF;
constexpr std::uint32_t EndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t FatSect = 0xFFFFFFFD;
constexpr std::uint32_t DifSect = 0xFFFFFFFC;
constexpr std::uint32_t NoStream = 0xFFFFFFFF;

std::uint32_t sectorsFor(qsizetype bytes)
{
    return std::uint32_t((bytes + SectorSize - 1) / SectorSize);
}

void directoryEntry(ByteBuffer &dir, const QString &name, unsigned type, std::uint32_t child, std::uint32_t start,
                    std::uint32_t size)
{
    const qsizetype begin = dir.size();
    for (QChar c : name)
        dir.u16(c.unicode());
    dir.zeros(64 - (dir.size() - begin));
    dir.u16(name.isEmpty() ? 0 : unsigned(name.size() + 1) * 2);
    dir.u8(type);
    dir.u8(type == 0 ? 0 : 1); // black: a one-entry tree is trivially balanced
    dir.u32(NoStream);         // left sibling
    dir.u32(NoStream);         // right sibling
    dir.u32(child);
    dir.zeros(16 + 4 + 16); // class id, state bits, times
    dir.u32(start);
    dir.u32(size);
    dir.u32(0);
}

void writeAll(QIODevice &out, const QByteArray &bytes)
{
    if (out.write(bytes) != bytes.size())
        throw Failure(out.errorString());
}

// Where everything goes: the stream's sectors first, then the FAT, the DIFAT
// and the directory.
struct Layout
{
    std::uint32_t streamSectors = 0;
    std::uint32_t fatSectors = 0;
    std::uint32_t difatSectors = 0;
    static constexpr std::uint32_t DirSectors = 1;

    std::uint32_t firstFat() const { return streamSectors; }
    std::uint32_t firstDifat() const { return firstFat() + fatSectors; }
    std::uint32_t dirSector() const { return firstDifat() + difatSectors; }
};

Layout layoutFor(qsizetype paddedSize)
{
    Layout l;
    l.streamSectors = sectorsFor(paddedSize);
    // The FAT has to map its own sectors and those of the DIFAT, which in
    // turn grows with the FAT: iterate to the fixed point.
    for (;;) {
        l.difatSectors = l.fatSectors > HeaderDifatEntries
                             ? (l.fatSectors - HeaderDifatEntries + IdsPerSector - 2) / (IdsPerSector - 1)
                             : 0;
        const std::uint32_t total = l.streamSectors + Layout::DirSectors + l.fatSectors + l.difatSectors;
        const std::uint32_t needed = (total + IdsPerSector - 1) / IdsPerSector;
        if (needed == l.fatSectors)
            return l;
        l.fatSectors = needed;
    }
}

QByteArray headerSector(const Layout &l)
{
    ByteBuffer header;
    header.reserve(SectorSize);
    header.append("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    header.zeros(16);
    header.u16(0x003E); // minor version
    header.u16(0x0003); // major version: 512-byte sectors
    header.u16(0xFFFE); // byte order mark
    header.u16(9);      // sector shift
    header.u16(6);      // mini sector shift
    header.zeros(6);
    header.u32(0); // directory sectors: always 0 in version 3
    header.u32(l.fatSectors);
    header.u32(l.dirSector());
    header.u32(0); // transaction signature
    header.u32(std::uint32_t(CompoundFile::MiniStreamCutoff));
    header.u32(EndOfChain); // no mini FAT
    header.u32(0);
    header.u32(l.difatSectors ? l.firstDifat() : EndOfChain);
    header.u32(l.difatSectors);
    for (std::uint32_t i = 0; i < HeaderDifatEntries; ++i)
        header.u32(i < l.fatSectors ? l.firstFat() + i : FreeSect);
    return header.bytes();
}

void appendFat(ByteBuffer &tail, const Layout &l)
{
    std::vector<std::uint32_t> fat(std::size_t(l.fatSectors) * IdsPerSector, FreeSect);
    for (std::uint32_t i = 0; i < l.streamSectors; ++i)
        fat[i] = i + 1 < l.streamSectors ? i + 1 : EndOfChain;
    for (std::uint32_t i = 0; i < l.fatSectors; ++i)
        fat[l.firstFat() + i] = FatSect;
    for (std::uint32_t i = 0; i < l.difatSectors; ++i)
        fat[l.firstDifat() + i] = DifSect;
    fat[l.dirSector()] = EndOfChain;
    for (std::uint32_t id : fat)
        tail.u32(id);
}

// Each DIFAT sector lists the FAT sectors past the header's 109 and ends with
// the number of the next DIFAT sector.
void appendDifat(ByteBuffer &tail, const Layout &l)
{
    for (std::uint32_t d = 0; d < l.difatSectors; ++d) {
        for (std::uint32_t j = 0; j < IdsPerSector - 1; ++j) {
            const std::uint32_t fatIndex = HeaderDifatEntries + d * (IdsPerSector - 1) + j;
            tail.u32(fatIndex < l.fatSectors ? l.firstFat() + fatIndex : FreeSect);
        }
        tail.u32(d + 1 < l.difatSectors ? l.firstDifat() + d + 1 : EndOfChain);
    }
}

} // namespace

namespace CompoundFile {

void write(QIODevice &out, const QString &streamName, const QList<QByteArray> &parts)
{
    qsizetype dataSize = 0;
    for (const QByteArray &part : parts)
        dataSize += part.size();
    // Version 3 keeps stream sizes in 32 bits, and readers take them as signed.
    if (dataSize > 0x7FFFFFFF - 0x100000)
        throw Failure(QStringLiteral("ExportTable: a workbook holds at most 2 GB."));
    const qsizetype paddedSize = std::max(dataSize, MiniStreamCutoff);
    const Layout layout = layoutFor(paddedSize);

    writeAll(out, headerSector(layout));
    for (const QByteArray &part : parts)
        writeAll(out, part);
    writeAll(out, QByteArray(qsizetype(layout.streamSectors) * SectorSize - dataSize, '\0'));

    ByteBuffer tail;
    tail.reserve(qsizetype(layout.fatSectors + layout.difatSectors + Layout::DirSectors) * SectorSize);
    appendFat(tail, layout);
    appendDifat(tail, layout);
    directoryEntry(tail, QStringLiteral("Root Entry"), 5, 1, EndOfChain, 0);
    directoryEntry(tail, streamName, 2, NoStream, 0, std::uint32_t(paddedSize));
    directoryEntry(tail, QString(), 0, NoStream, 0, 0);
    directoryEntry(tail, QString(), 0, NoStream, 0, 0);
    writeAll(out, tail.bytes());
}

} // namespace CompoundFile
