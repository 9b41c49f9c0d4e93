// The program's own pictures and sounds: the feedback sounds are well-formed
// WAV files that sound as meant, the stimuli are clean two-colour drawings
// with usable answers, and the start-up picture survives masking.

#include "common/Windows1250.h"
#include "resources/pictures/Drawings.h"
#include "resources/sounds/Sounds.h"

#include <QSet>
#include <QTest>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int HeaderSize = 44;

quint32 le32(const QByteArray &bytes, int at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

quint16 le16(const QByteArray &bytes, int at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

QList<int> samples(const QByteArray &wav, int from = 0, int count = Sounds::SampleCount)
{
    QList<int> out;
    for (int i = from; i < from + count; ++i)
        out << int(quint8(wav[HeaderSize + i]));
    return out;
}

// The pitch of a stretch of sound from its zero crossings. A crossing counts
// only once the wave has gone clearly past silence, so quantisation ripple in
// quiet passages does not pass for a high tone.
double pitch(const QList<int> &part)
{
    int crossings = 0;
    int side = 0;
    for (const int s : part) {
        const int v = s - 128;
        const int now = v > 2 ? 1 : v < -2 ? -1 : 0;
        if (now != 0 && side != 0 && now != side)
            ++crossings;
        if (now != 0)
            side = now;
    }
    return crossings / 2.0 / (double(part.size()) / Sounds::SampleRate);
}

bool isWhite(QRgb pixel)
{
    return (pixel & 0xFFFFFF) == 0xFFFFFF;
}

bool isBlack(QRgb pixel)
{
    return (pixel & 0xFFFFFF) == 0;
}

} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void soundsAreMonoEightBitPcmOfSixThousandSamples_data()
    {
        QTest::addColumn<QByteArray>("wav");
        QTest::newRow("ID_DA") << Sounds::correctChime();
        QTest::newRow("ID_NE") << Sounds::wrongBuzz();
    }

    void soundsAreMonoEightBitPcmOfSixThousandSamples()
    {
        QFETCH(QByteArray, wav);
        QCOMPARE(wav.size(), HeaderSize + 6000);
        QCOMPARE(wav.left(4), QByteArray("RIFF"));
        QCOMPARE(le32(wav, 4), quint32(wav.size() - 8));
        QCOMPARE(wav.mid(8, 8), QByteArray("WAVEfmt "));
        QCOMPARE(le32(wav, 16), 16u);
        QCOMPARE(le16(wav, 20), quint16(1)); // PCM
        QCOMPARE(le16(wav, 22), quint16(1)); // mono
        QCOMPARE(le32(wav, 24), 8000u);
        QCOMPARE(le32(wav, 28), 8000u); // bytes per second
        QCOMPARE(le16(wav, 32), quint16(1));
        QCOMPARE(le16(wav, 34), quint16(8));
        QCOMPARE(wav.mid(36, 4), QByteArray("data"));
        QCOMPARE(le32(wav, 40), 6000u);

        const QList<int> all = samples(wav);
        // Samples pinned at (or a hair from) either end of the range mean a
        // wave that was cut off.
        const auto clipped = std::count_if(all.begin(), all.end(), [](int s) { return s <= 1 || s >= 254; });
        QVERIFY2(clipped <= 3, qPrintable(QStringLiteral("%1 clipped samples").arg(clipped)));
        int loudest = 0;
        for (const int s : all)
            loudest = std::max(loudest, std::abs(s - 128));
        QVERIFY2(loudest >= 40, "the sound is too quiet to hear");
        // No click at either end.
        for (const int s : samples(wav, 0, 8) + samples(wav, Sounds::SampleCount - 8, 8))
            QVERIFY2(std::abs(s - 128) <= 3, qPrintable(QString::number(s)));
        // ... and a fade rather than a jump to full loudness.
        for (const int s : samples(wav, 0, 24) + samples(wav, Sounds::SampleCount - 24, 24))
            QVERIFY2(std::abs(s - 128) <= loudest / 4, qPrintable(QString::number(s)));
    }

    void chimeRisesAboveTheLowBuzz()
    {
        const QByteArray chime = Sounds::correctChime();
        const QByteArray buzz = Sounds::wrongBuzz();
        QCOMPARE(Sounds::correctChime(), chime); // nothing random
        QCOMPARE(Sounds::wrongBuzz(), buzz);

        const int third = Sounds::SampleCount / 3;
        const double chimeStart = pitch(samples(chime, 0, third));
        const double chimeEnd = pitch(samples(chime, 2 * third, third));
        QVERIFY2(chimeEnd > chimeStart * 1.15,
                 qPrintable(QStringLiteral("chime %1 Hz then %2 Hz").arg(chimeStart).arg(chimeEnd)));
        QVERIFY2(chimeStart > 800, qPrintable(QString::number(chimeStart)));

        double buzzHighest = 0;
        for (int k = 0; k < 3; ++k) {
            const double p = pitch(samples(buzz, k * third, third));
            QVERIFY2(p >= 80, qPrintable(QStringLiteral("buzz third %1 at %2 Hz").arg(k).arg(p)));
            buzzHighest = std::max(buzzHighest, p);
        }
        QVERIFY2(buzzHighest < 250, qPrintable(QString::number(buzzHighest)));
        QVERIFY(chimeStart > 3 * buzzHighest);
    }

    void stimuliAreCleanTwoColourDrawings()
    {
        const QList<Drawings::Stimulus> stimuli = Drawings::stimuli();
        QVERIFY(stimuli.size() >= 12);
        QSet<QString> names;
        QList<QImage> seen;
        for (const Drawings::Stimulus &s : stimuli) {
            const QByteArray nameText = s.fileName.toUtf8();
            const char *name = nameText.constData();
            QVERIFY2(s.fileName.endsWith(QLatin1String(".bmp")), name);
            QVERIFY2(s.fileName == s.fileName.toLower(), name);
            QVERIFY2(std::all_of(s.fileName.begin(), s.fileName.end(), [](QChar c) { return c.unicode() < 128; }),
                     name);
            QVERIFY2(!names.contains(s.fileName), name);
            names.insert(s.fileName);

            const QImage &image = s.image;
            QCOMPARE(image.format(), QImage::Format_RGB32);
            QVERIFY2(image.width() >= 200 && image.width() <= 500, name);
            QVERIFY2(image.height() >= 200 && image.height() <= 400, name);
            QVERIFY2(isWhite(image.pixel(1, 1)), name);

            qint64 ink = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QRgb pixel = image.pixel(x, y);
                    if (isBlack(pixel)) {
                        ++ink;
                    } else if (!isWhite(pixel)) {
                        QFAIL(qPrintable(QStringLiteral("%1: grey pixel at %2,%3").arg(s.fileName).arg(x).arg(y)));
                    }
                    const bool nearEdge = x < 4 || y < 4 || x >= image.width() - 4 || y >= image.height() - 4;
                    if (nearEdge && !isWhite(pixel))
                        QFAIL(
                            qPrintable(QStringLiteral("%1 touches its border at %2,%3").arg(s.fileName).arg(x).arg(y)));
                }
            }
            const double share = double(ink) / (qint64(image.width()) * image.height());
            QVERIFY2(share >= 0.01 && share <= 0.25,
                     qPrintable(QStringLiteral("%1: %2 ink").arg(s.fileName).arg(share)));

            QVERIFY2(!seen.contains(image), name);
            seen << image;
        }
    }

    void answersAreCroatianCapitals()
    {
        for (const Drawings::Stimulus &s : Drawings::stimuli()) {
            const QByteArray nameText = s.fileName.toUtf8();
            const char *name = nameText.constData();
            QVERIFY2(s.answers.size() >= 1 && s.answers.size() <= 3, name);
            QStringList distinct = s.answers;
            QCOMPARE(distinct.removeDuplicates(), qsizetype(0));
            for (const QString &answer : s.answers) {
                QVERIFY2(!answer.trimmed().isEmpty() && answer == answer.trimmed(), name);
                QVERIFY2(Windows1250::canEncode(answer), qPrintable(answer));
                QCOMPARE(Windows1250::toUpper(answer), answer);
            }
        }
    }

    void backgroundReadsUnderMasking()
    {
        const QImage image = Drawings::background();
        QCOMPARE(image.size(), QSize(560, 560));
        // Only the 4th, 8th, ... pixel (counted from one) of every 4th row is
        // shown at start-up: those alone must still carry dark strokes, light
        // ground and colour.
        int dark = 0, light = 0, coloured = 0, shown = 0;
        for (int y = 3; y < image.height(); y += 4) {
            for (int x = 3; x < image.width(); x += 4) {
                const QColor c = QColor::fromRgb(image.pixel(x, y));
                ++shown;
                dark += c.lightness() < 60;
                light += c.lightness() > 200 && c.saturation() < 80;
                coloured += c.saturation() > 150 && c.lightness() >= 60;
            }
        }
        QVERIFY2(dark > shown / 20, qPrintable(QString::number(dark)));
        QVERIFY2(light > shown / 5, qPrintable(QString::number(light)));
        QVERIFY2(coloured > shown / 20, qPrintable(QString::number(coloured)));
    }
};

QTEST_GUILESS_MAIN(TestResources)
#include "TestResources.moc"
