// Text codec, number texts, regional settings, files and bitmaps.

#include "common/Bitmap.h"
#include "common/Failure.h"
#include "common/NumberText.h"
#include "common/Regional.h"
#include "common/Resources.h"
#include "common/SafeFile.h"
#include "common/Windows1250.h"
#include "tests/support/TestPictures.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <iconv.h>

class TestCommon : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void codecAgreesWithIconvOnEveryDefinedByte()
    {
        iconv_t cd = iconv_open("UTF-16LE", "CP1250");
        QVERIFY(cd != iconv_t(-1));
        for (int b = 0; b < 256; ++b) {
            char in = char(b);
            char16_t outChar = 0;
            char *inPtr = &in;
            size_t inLeft = 1;
            char *outPtr = reinterpret_cast<char *>(&outChar);
            size_t outLeft = sizeof outChar;
            if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1)) {
                iconv(cd, nullptr, nullptr, nullptr, nullptr);
                continue; // undefined in the code page
            }
            const QString decoded = Windows1250::decode(QByteArray(1, char(b)));
            QCOMPARE(decoded.size(), 1);
            QCOMPARE(int(decoded[0].unicode()), int(outChar));
        }
        iconv_close(cd);
    }

    void codecRoundTripsEveryByteAndRefusesOthers()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        QCOMPARE(Windows1250::encode(Windows1250::decode(all)), all);

        const QString croatian = QStringLiteral("Čačak ćup đak šuma žaba ČĆĐŠŽ");
        QCOMPARE(Windows1250::decode(Windows1250::encode(croatian)), croatian);

        QVERIFY(!Windows1250::canEncode(QStringLiteral("Ω")));
        QCOMPARE(Windows1250::firstUnencodable(QStringLiteral("abcΩd")), QChar(0x03A9));
        QVERIFY_THROWS_EXCEPTION(Failure, Windows1250::encode(QStringLiteral("kuća 😀")));

        QCOMPARE(Windows1250::toUpper(QStringLiteral("kuća čaša đak šišmiš žaba")),
                 QStringLiteral("KUĆA ČAŠA ĐAK ŠIŠMIŠ ŽABA"));
        // No capital in the code page: left alone rather than turned into something else.
        QCOMPARE(Windows1250::toUpper(QStringLiteral("ßµ")), QStringLiteral("ßµ"));
        QVERIFY(Windows1250::canEncode(Windows1250::toUpper(Windows1250::decode(QByteArray(1, char(0xB5))))));
    }

    void fixedPointRoundsTiesAwayFromZero_data()
    {
        QTest::addColumn<long double>("x");
        QTest::addColumn<int>("p");
        QTest::addColumn<int>("d");
        QTest::addColumn<QString>("text");
        QTest::newRow("0.125 to 2") << 0.125L << 15 << 2 << QStringLiteral("0,13");
        QTest::newRow("-0.125 to 2") << -0.125L << 15 << 2 << QStringLiteral("-0,13");
        QTest::newRow("variance") << 0.017578125L << 10 << 5 << QStringLiteral("0,01758");
        QTest::newRow("zero") << 0.0L << 10 << 5 << QStringLiteral("0,00000");
        QTest::newRow("tiny negative is not -0") << -0.000001L << 10 << 5 << QStringLiteral("0,00000");
        QTest::newRow("carry into integer") << 9.999996L << 10 << 5 << QStringLiteral("10,00000");
        QTest::newRow("first place rounds up") << 0.000006L << 10 << 5 << QStringLiteral("0,00001");
        QTest::newRow("1/3") << (1.0L / 3.0L) << 12 << 5 << QStringLiteral("0,33333");
        QTest::newRow("no decimals") << 2.5L << 10 << 0 << QStringLiteral("3");
        // Precision first: 0.1234567 at 3 significant digits is 0.123, then 5 decimals.
        QTest::newRow("precision before decimals") << 0.1234567L << 3 << 5 << QStringLiteral("0,12300");
        // Rounded twice: 0.1249996 -> 0.12500 (5 digits) -> 0.13, where once would give 0.12.
        // 0.015 lies just below the tie in binary: at a precision that keeps
        // the difference the value rounds down, at 15 digits it is a tie first.
        QTest::newRow("0.015 exactly") << 0.015L << 25 << 2 << QStringLiteral("0,01");
        QTest::newRow("0.015 at 15 digits") << 0.015L << 15 << 2 << QStringLiteral("0,02");
        QTest::newRow("double rounding") << 0.1249996L << 5 << 2 << QStringLiteral("0,13");
        QTest::newRow("exponent form") << 12345678901.0L << 10 << 5 << QStringLiteral("1,234567890E+0010");
    }

    void fixedPointRoundsTiesAwayFromZero()
    {
        QFETCH(long double, x);
        QFETCH(int, p);
        QFETCH(int, d);
        QFETCH(QString, text);
        QCOMPARE(F(x, p, d, QLatin1Char(',')), text);
        QCOMPARE(F(x, p, d, QLatin1Char('.')), QString(text).replace(QLatin1Char(','), QLatin1Char('.')));
    }

    void generalFormIsShortest_data()
    {
        QTest::addColumn<long double>("x");
        QTest::addColumn<QString>("text");
        QTest::newRow("0.25") << 0.25L << QStringLiteral("0,25");
        QTest::newRow("zero") << 0.0L << QStringLiteral("0");
        QTest::newRow("1E-6") << 0.000001L << QStringLiteral("1E-6");
        QTest::newRow("0.00001 is fixed") << 0.00001L << QStringLiteral("0,00001");
        QTest::newRow("below 0.00001") << 0.0000095L << QStringLiteral("9,5E-6");
        QTest::newRow("1/3 at 15 digits") << (1.0L / 3.0L) << QStringLiteral("0,333333333333333");
        QTest::newRow("2/3 rounds up") << (2.0L / 3.0L) << QStringLiteral("0,666666666666667");
        QTest::newRow("15 integer digits") << 123456789012345.0L << QStringLiteral("123456789012345");
        QTest::newRow("16 integer digits") << 1234567890123456.0L << QStringLiteral("1,23456789012346E15");
        QTest::newRow("double noise hidden") << static_cast<long double>(0.1 + 0.2) << QStringLiteral("0,3");
    }

    void generalFormIsShortest()
    {
        QFETCH(long double, x);
        QTEST(G(x, QLatin1Char(',')), "text");
    }

    void regionalTimeFormatHasNoTimeZone()
    {
        const Regional r = Regional::fromSystem();
        QVERIFY(!r.longTimeFormat.contains(QLatin1Char('t')));
        QCOMPARE(r.formatTime(QTime(0, 4, 12)).contains(QStringLiteral("04")), true);
    }

    void bitmapsAreWritten24BitAndReadBack()
    {
        QImage picture = filledPicture(5, 3, rgbColour(10, 20, 30));
        setPixel(picture, 4, 2, rgbColour(255, 0, 0));
        setPixel(picture, 0, 0, rgbColour(0, 0, 255));
        const QByteArray bmp = encodeBmp24(picture);
        QCOMPARE(bmp.left(2), QByteArray("BM"));
        QCOMPARE(int(uchar(bmp[28])), 24);
        QCOMPARE(bmp.size(), 54 + 3 * 16); // rows of 15 bytes padded to 16

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.bmp"));
        saveBmp24(picture, path);
        const QImage back = loadPicture(path);
        QCOMPARE(back, picture);
        QVERIFY_THROWS_EXCEPTION(Failure, loadPicture(dir.filePath(QStringLiteral("missing.bmp"))));
    }

    // A bitmap cut short must not be scored as if its missing rows were black.
    void cutOffBitmapIsUnreadable()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.bmp"));
        const QByteArray whole = encodeBmp24(filledPicture(5, 3, rgbColour(10, 20, 30)));
        writeFileAtomically(path, whole.chopped(4)); // a pixel of the last row missing
        QVERIFY_THROWS_EXCEPTION(Failure, loadPicture(path));
        writeFileAtomically(path, whole.chopped(1)); // only the last row's padding missing
        QCOMPARE(loadPicture(path).pixel(4, 2), qRgb(10, 20, 30));

        const QByteArray big = encodeBmp24(filledPicture(100, 100));
        writeFileAtomically(path, big.left(54 + (big.size() - 54) / 10));
        QVERIFY_THROWS_EXCEPTION(Failure, loadPicture(path));
        // Another picture format under a .bmp name still loads.
        QVERIFY(filledPicture(3, 2).save(path, "PNG"));
        QCOMPARE(loadPicture(path).size(), QSize(3, 2));
    }

    void resourcesAreBuiltIn()
    {
        // The texts and the picture are read back where they are shown.
        QVERIFY(Resources::instructionText(1).size() <= 1000);
        // WAV, PCM, mono, 8000 Hz, 8 bits, 6000 samples.
        for (const QString &name : {QStringLiteral("ID_DA"), QStringLiteral("ID_NE")}) {
            const QByteArray wav = Resources::sound(name);
            QCOMPARE(wav.size(), 44 + 6000);
            QCOMPARE(wav.left(4) + wav.mid(8, 8), QByteArray("RIFFWAVEfmt "));
            QCOMPARE(wav.mid(20, 16).toHex(), QByteArray("01000100401f0000401f000001000800"));
        }
    }
};

QTEST_GUILESS_MAIN(TestCommon)
#include "TestCommon.moc"
