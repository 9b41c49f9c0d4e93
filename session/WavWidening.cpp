#include "session/WavWidening.h"

#include <QtEndian>

namespace {

quint32 u32(const QByteArray &b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}
quint16 u16(const QByteArray &b, qsizetype at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}
void put32(QByteArray &b, quint32 v)
{
    char bytes[4];
    qToLittleEndian(v, bytes);
    b.append(bytes, 4);
}
void put16(QByteArray &b, quint16 v)
{
    char bytes[2];
    qToLittleEndian(v, bytes);
    b.append(bytes, 2);
}

} // namespace

QByteArray WidenWavTo16Bit(const QByteArray &wav)
{
    if (wav.size() < 12 || !wav.startsWith("RIFF") || wav.mid(8, 4) != "WAVE")
        return {};
    quint16 channels = 0;
    quint32 rate = 0;
    bool pcm8 = false;
    QByteArray samples;
    bool haveData = false;
    for (qsizetype at = 12; at + 8 <= wav.size();) {
        const QByteArray id = wav.mid(at, 4);
        const qsizetype size = u32(wav, at + 4);
        const qsizetype body = at + 8;
        if (size > wav.size() - body)
            return {};
        if (id == "fmt " && size >= 16) {
            channels = u16(wav, body + 2);
            rate = u32(wav, body + 4);
            pcm8 = u16(wav, body) == 1 && u16(wav, body + 14) == 8;
        } else if (id == "data") {
            samples = wav.mid(body, size);
            haveData = true;
        }
        at = body + size + (size & 1);
    }
    if (!pcm8 || !haveData || channels == 0)
        return {};

    QByteArray out;
    out.reserve(44 + samples.size() * 2);
    out.append("RIFF");
    put32(out, quint32(36 + samples.size() * 2));
    out.append("WAVEfmt ");
    put32(out, 16);
    put16(out, 1);
    put16(out, channels);
    put32(out, rate);
    put32(out, rate * channels * 2);
    put16(out, quint16(channels * 2));
    put16(out, 16);
    out.append("data");
    put32(out, quint32(samples.size() * 2));
    // 8-bit samples are unsigned around 128, 16-bit ones signed around 0.
    for (char s : std::as_const(samples))
        put16(out, quint16(qint16((int(quint8(s)) - 128) * 256)));
    return out;
}
