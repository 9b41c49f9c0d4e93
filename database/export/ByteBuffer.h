#pragma once

// A growing little-endian byte buffer: the binary export formats are all
// little-endian whatever machine writes them.

#include <QByteArray>

#include <cstdint>
#include <cstring>

class ByteBuffer
{
public:
    void reserve(qsizetype bytes) { m_bytes.reserve(bytes); }
    qsizetype size() const { return m_bytes.size(); }
    const QByteArray &bytes() const { return m_bytes; }
    QByteArray &bytes() { return m_bytes; }

    void u8(unsigned value) { m_bytes.append(char(value & 0xFF)); }
    void u16(unsigned value)
    {
        const char b[2] = {char(value & 0xFF), char((value >> 8) & 0xFF)};
        m_bytes.append(b, 2);
    }
    void u32(std::uint32_t value)
    {
        const char b[4] = {char(value & 0xFF), char((value >> 8) & 0xFF), char((value >> 16) & 0xFF),
                           char((value >> 24) & 0xFF)};
        m_bytes.append(b, 4);
    }
    void u64(std::uint64_t value)
    {
        u32(std::uint32_t(value));
        u32(std::uint32_t(value >> 32));
    }
    void f64(double value)
    {
        std::uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        u64(bits);
    }
    void append(const QByteArray &data) { m_bytes.append(data); }
    void append(const char *data, qsizetype size) { m_bytes.append(data, size); }
    void zeros(qsizetype count) { m_bytes.append(count, '\0'); }

    // Overwrites a u16 or u32 written earlier (a length or an offset known
    // only once what follows it is written).
    void patchU16(qsizetype at, unsigned value)
    {
        m_bytes[at] = char(value & 0xFF);
        m_bytes[at + 1] = char((value >> 8) & 0xFF);
    }
    void patchU32(qsizetype at, std::uint32_t value)
    {
        patchU16(at, value & 0xFFFF);
        patchU16(at + 2, value >> 16);
    }

private:
    QByteArray m_bytes;
};
