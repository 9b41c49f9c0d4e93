// Text codec, number texts, regional settings, files and bitmaps.

#include "common/Bitmap.h"
#include "common/Failure.h"
#include "common/NumberText.h"
#include "common/Regional.h"
#include "common/Resources.h"
#include "common/SafeFile.h"
#include "common/Windows1250.h"
#include "tests/support/TestPictures.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <iconv.h>
#include <unistd.h>

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

    // Run-length compressed bitmaps, decoded by our reader: whole ones as
    // Qt's reader shows them, cut-off or overflowing ones refused.
    void compressedBitmaps_data()
    {
        QTest::addColumn<int>("bits");
        QTest::addColumn<QByteArray>("runs");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<QList<QPoint>>("skipped");
        // 4 x 3 pictures; rows bottom-up, each ended by 00 00, the picture by 00 01.
        const auto row = [](const char *name, int bits, const char *hex, bool whole, QList<QPoint> skipped = {}) {
            QTest::newRow(name) << bits << QByteArray::fromHex(hex) << whole << skipped;
        };
        row("RLE8 runs and a literal", 8, "0403 0000 0201 0205 0000 0003 0102 0300 0104 0000 0001", true);
        row("RLE8 jump and early line ends", 8, "0107 0000 0002 0101 0109 0001", true,
            {{1, 2}, {2, 2}, {3, 2}, {0, 1}, {1, 1}, {2, 1}, {3, 1}, {0, 0}, {2, 0}, {3, 0}});
        row("RLE4 runs and a literal", 4, "0412 0000 0003 1230 0145 0000 0451 0001", true);
        row("rows ended, no end mark", 8, "0401 0000 0402 0000 0403 0000", true);
        row("cut off after one row", 8, "0401 0000", false);
        row("cut off inside a literal", 8, "0401 0000 0004 0102", false);
        row("run beyond the row", 8, "0501 0000 0402 0000 0403 0000 0001", false);
        row("row beyond the picture", 8, "0000 0000 0000 0401 0001", false);
    }
    void compressedBitmaps()
    {
        QFETCH(int, bits);
        QFETCH(QByteArray, runs);
        QFETCH(bool, whole);
        // Header with the image size left 0, as many writers leave it, and 16 colours.
        QByteArray file(54 + 64, '\0');
        const auto put32 = [&](int at, quint32 v) { qToLittleEndian(v, file.data() + at); };
        file[0] = 'B';
        file[1] = 'M';
        put32(2, quint32(file.size() + runs.size()));
        put32(10, 54 + 64);
        put32(14, 40);
        put32(18, 4);
        put32(22, 3);
        file[26] = 1;
        file[28] = char(bits);
        put32(30, bits == 8 ? 1 : 2);
        put32(46, 16);
        for (int c = 0; c < 16; ++c)
            put32(54 + 4 * c, qRgb(c * 16, 255 - c * 16, c));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("rle.bmp"));
        writeFileAtomically(path, file + runs);
        if (!whole) {
            QVERIFY_THROWS_EXCEPTION(Failure, loadPicture(path));
            return;
        }
        const QImage picture = loadPicture(path);
        QImage qt = QImage(path).convertToFormat(QImage::Format_RGB32);
        // Pixels the data jumps over take the first colour (Qt paints some black).
        QFETCH(QList<QPoint>, skipped);
        for (const QPoint &p : skipped) {
            QCOMPARE(picture.pixel(p), qRgb(0, 255, 0));
            qt.setPixel(p, qRgb(0, 255, 0));
        }
        QCOMPARE(picture, qt);
        QVERIFY(picture.pixel(0, 2) != picture.pixel(0, 0));
    }

    // Both instructions to their last words (their openings show in the test
    // window's tests), both sounds 8-bit mono PCM at 8000 Hz, 6000 samples.
    void resourcesAreBuiltInWhole()
    {
        QVERIFY(
            Resources::instructionText(1).endsWith(QStringLiteral("pozovite osobu koja Vas je uputila u zadatak.")));
        QVERIFY(Resources::instructionText(2).endsWith(
            QStringLiteral("postajati sve lakše i lakše pa ćete ih lakše moći raspoznati.")));
        for (const char *name : {"ID_DA", "ID_NE"}) {
            const QByteArray wav = Resources::sound(QLatin1String(name));
            QCOMPARE(wav.left(4) + wav.mid(8, 28).toHex() + QByteArray::number(wav.size()),
                     QByteArray("RIFF57415645666d74201000000001000100401f0000401f0000010008006044"));
        }
    }

    // A save onto a full disk fails with the system's reason and leaves the
    // old file byte for byte, whether the new bytes fit the write buffer or not.
    void saveOntoFullDiskKeepsOldFile_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("within the write buffer") << 3000;
        QTest::newRow("beyond it") << 200000;
    }
    void saveOntoFullDiskKeepsOldFile()
    {
        QFETCH(int, size);
        if (geteuid() != 0)
            QSKIP("Mounting a small file system to fill needs root.");
        QTemporaryDir dir;
        if (QProcess::execute(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=256k", "tmpfs", dir.path()}) != 0)
            QSKIP("No small file system could be mounted here.");
        const auto unmount = qScopeGuard([&] { QProcess::execute(QStringLiteral("umount"), {dir.path()}); });
        const QString path = dir.filePath(QStringLiteral("arhiva.txt"));
        const QByteArray old = QByteArray("IVIĆ ANA; 23; 0; ").repeated(300);
        writeFileAtomically(path, old);
        QFile filler(dir.filePath(QStringLiteral("filler")));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        while (filler.write(QByteArray(4096, 'x')) == 4096) {
        }
        try {
            writeFileAtomically(path, QByteArray(size, 'n'));
            QFAIL("The save reported success on a full disk.");
        } catch (const Failure &f) {
            QVERIFY2(f.text().contains(QDir::toNativeSeparators(path)) && f.text().contains(QLatin1String("space")),
                     qPrintable(f.text()));
        }
        QCOMPARE(readWholeFile(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestCommon)
#include "TestCommon.moc"
