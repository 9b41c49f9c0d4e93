// Masking: the worked cases, the level table, the edges of the picture, and
// the fast row-wise frame checked against the rule written out literally.

#include "common/Bitmap.h"
#include "common/Failure.h"
#include "session/MaskStimulus.h"
#include "session/PictureCache.h"
#include "tests/support/TestPictures.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr Colour Red = rgbColour(255, 0, 0);
constexpr Colour Grey = rgbColour(128, 128, 128);
constexpr Colour Green = rgbColour(0, 255, 0);

// The counting rule exactly as designers state it: column-major loops from 1,
// NoColour off the picture, bg from pixel (1, 1).
struct Literal
{
    std::vector<std::uint32_t> drawn; // W x H, row-major, 0x00BBGGRR
    std::int64_t shown = 0;
    std::int64_t nonBg = 0;
    long double efficiency = 0;
};

Literal literalMask(const QImage &pic, int L, Colour mask, bool ignoreBg)
{
    const int W = pic.width(), H = pic.height();
    auto at = [&](int x, int y) -> std::uint32_t {
        if (x >= W || y >= H)
            return NoColour;
        return fromQRgb(pic.pixel(x, y));
    };
    Literal r;
    r.drawn.assign(std::size_t(W) * std::size_t(H), 0);
    const std::uint32_t bg = at(1, 1);
    for (int i = 1; i <= W; ++i) {
        for (int j = 1; j <= H; ++j) {
            const std::uint32_t p = at(i, j);
            if (p != bg)
                ++r.nonBg;
            std::uint32_t &d = r.drawn[std::size_t(j - 1) * std::size_t(W) + std::size_t(i - 1)];
            if (i % L == 0 && j % L == 0) {
                d = p == NoColour ? Black : p;
                if (!ignoreBg || p != bg)
                    ++r.shown;
            } else {
                d = mask;
            }
        }
    }
    if (ignoreBg && r.nonBg == 0) { // one pixel wide or high: as with the rule off
        ignoreBg = false;
        r.shown = std::int64_t(W / L) * (H / L);
    }
    r.efficiency = ignoreBg ? (long double)r.shown / r.nonBg : (long double)r.shown / ((long double)W * H);
    return r;
}

// `frame` is reused from the previous comparison, as the test window reuses its frame.
void compareWithLiteral(MaskedFrame &frame, const QImage &pic, int L, Colour mask, bool ignoreBg)
{
    const Literal expected = literalMask(pic, L, mask, ignoreBg);
    MaskStimulus(frame, pic, L, mask, ignoreBg);
    QCOMPARE(frame.shownCount, expected.shown);
    QCOMPARE(frame.nonBackgroundCount, expected.nonBg);
    QCOMPARE(frame.efficiency, static_cast<double>(expected.efficiency));
    for (int j = 1; j <= pic.height(); ++j)
        for (int i = 1; i <= pic.width(); ++i)
            QCOMPARE(frame.colourAt(i, j),
                     expected.drawn[std::size_t(j - 1) * std::size_t(pic.width()) + std::size_t(i - 1)]);
}

} // namespace

class TestMasking : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void workedCases_data()
    {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("ignoreBackground");
        QTest::addColumn<qint64>("shown");
        QTest::addColumn<qint64>("nonBackground");
        QTest::addColumn<double>("efficiency");

        QImage four = filledPicture(4, 4, White);
        setPixel(four, 2, 2, Red);
        QTest::newRow("4x4 red at (2,2)") << four << 2 << false << qint64(4) << qint64(8) << 0.25;
        QTest::newRow("4x4 background rule") << four << 2 << true << qint64(4) << qint64(8) << 0.5;
        QTest::newRow("smaller than the level")
            << filledPicture(5, 7, Red) << 8 << false << qint64(0) << qint64(11) << 0.0;
        // Only column W and row H differ from bg: W + H - 1 positions.
        QTest::newRow("uniform, background rule")
            << filledPicture(10, 8, Grey) << 1 << true << qint64(17) << qint64(17) << 1.0;
        // No non-background position at all: counted as with the rule off, no division by zero.
        QTest::newRow("1x1") << filledPicture(1, 1, Red) << 1 << true << qint64(1) << qint64(0) << 1.0;
        QTest::newRow("1x9") << filledPicture(1, 9, Red) << 1 << true << qint64(9) << qint64(0) << 1.0;
        QTest::newRow("9x1 level 2") << filledPicture(9, 1, Red) << 2 << true << qint64(0) << qint64(0) << 0.0;
    }

    void workedCases()
    {
        QFETCH(QImage, picture);
        QFETCH(int, level);
        QFETCH(bool, ignoreBackground);
        const MaskedFrame f = MaskStimulus(picture, level, White, ignoreBackground);
        QTEST(qint64(f.shownCount), "shown");
        QTEST(qint64(f.nonBackgroundCount), "nonBackground");
        QTEST(f.efficiency, "efficiency");
    }

    void levelBelowOneIsRefused()
    {
        QVERIFY_THROWS_EXCEPTION(Failure, MaskStimulus(filledPicture(4, 4), 0, White, false));
    }

    void rowWiseFrameMatchesTheLiteralRule()
    {
        QRandomGenerator rng(20261206);
        MaskedFrame frame;
        const QList<Colour> palette{White, Black, Red, Grey, rgbColour(0, 0, 255)};
        for (int round = 0; round < 60; ++round) {
            const int w = 1 + int(rng.bounded(40));
            const int h = 1 + int(rng.bounded(40));
            QImage pic(w, h, QImage::Format_RGB32);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    setPixel(pic, x, y, palette[int(rng.bounded(palette.size()))]);
            const int level = 1 + int(rng.bounded(13));
            compareWithLiteral(frame, pic, level, rgbColour(1, 2, 3), false);
            compareWithLiteral(frame, pic, level, rgbColour(1, 2, 3), true);
            const MaskedFrame fresh = MaskStimulus(pic, level, rgbColour(1, 2, 3), true);
            QCOMPARE(fresh.image, frame.image);
            QCOMPARE(fresh.efficiency, frame.efficiency);
            if (QTest::currentTestFailed()) {
                qWarning("picture %dx%d level %d", w, h, level);
                return;
            }
        }
    }

    void reusedFrameLeavesCopiesAlone()
    {
        MaskedFrame frame = MaskStimulus(filledPicture(8, 8, Red), 2, Grey, false);
        const QImage onScreen = frame.image;
        const QImage before = onScreen.copy();
        MaskStimulus(frame, filledPicture(8, 8, Red), 4, White, false);
        QCOMPARE(onScreen, before);
        QCOMPARE(frame.colourAt(1, 1), White);
    }

    void otherPictureFormatsCountTheSame()
    {
        QImage pic = filledPicture(12, 12, White);
        setPixel(pic, 4, 4, Red);
        const MaskedFrame rgb32 = MaskStimulus(pic, 2, White, true);
        const MaskedFrame rgb888 = MaskStimulus(pic.convertToFormat(QImage::Format_RGB888), 2, White, true);
        QCOMPARE(rgb888.efficiency, rgb32.efficiency);
        QCOMPARE(rgb888.image, rgb32.image);
    }

    // The prefetched picture is the file's, a file changed on disk is read
    // again, a removed one is refused, and only two stay decoded.
    void pictureCache()
    {
        QTemporaryDir dir;
        auto path = [&](const char *name) { return dir.filePath(QLatin1String(name)); };
        saveBmp24(filledPicture(4, 4, Red), path("a.bmp"));
        saveBmp24(filledPicture(4, 4, Grey), path("b.bmp"));
        saveBmp24(filledPicture(4, 4, Green), path("c.bmp"));
        PictureCache cache;
        cache.prefetch(path("a.bmp"));
        QCOMPARE(fromQRgb(cache.picture(path("a.bmp")).pixel(1, 1)), Red);
        saveBmp24(filledPicture(5, 5, Green), path("a.bmp"));
        QCOMPARE(cache.picture(path("a.bmp")).size(), QSize(5, 5));
        cache.prefetch(path("b.bmp"));
        cache.picture(path("b.bmp"));
        cache.picture(path("c.bmp"));
        QCOMPARE(cache.size(), 2);
        QVERIFY(QFile::remove(path("c.bmp")));
        cache.prefetch(path("c.bmp"));
        QVERIFY_THROWS_EXCEPTION(Failure, cache.picture(path("c.bmp")));
        cache.clear();
        QCOMPARE(cache.size(), 0);
    }

    void origin()
    {
        // Centred, halves to even: (1024 - 563) / 2 = 230.5 -> 230.
        QCOMPARE(StimulusOrigin(Placement::Centred, QSize(563, 100), QSize(1024, 768)), QPoint(230, 334));
        QCOMPARE(StimulusOrigin(Placement::Centred, QSize(100, 100), QSize(1023, 1024)), QPoint(462, 462));
        QCOMPARE(StimulusOrigin(Placement::TopLeft, QSize(100, 100), QSize(1024, 768)), QPoint(1, 1));
        // One pixel narrower than the window: 0.5 rounds to 0, raised to 1.
        QCOMPARE(StimulusOrigin(Placement::Centred, QSize(1023, 100), QSize(1024, 768)).x(), 1);
        // As wide or high as the window: top left even when centring.
        QCOMPARE(StimulusOrigin(Placement::Centred, QSize(1024, 100), QSize(1024, 768)), QPoint(1, 1));
        QCOMPARE(StimulusOrigin(Placement::Centred, QSize(100, 768), QSize(1024, 768)), QPoint(1, 1));
    }
};

QTEST_GUILESS_MAIN(TestMasking)
#include "TestMasking.moc"
