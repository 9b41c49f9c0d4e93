// Masking: the worked cases, the level table, the edges of the picture, and
// the fast row-wise frame checked against the rule written out literally.

#include "common/Failure.h"
#include "session/MaskStimulus.h"
#include "tests/support/TestPictures.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

constexpr Colour Red = rgbColour(255, 0, 0);
constexpr Colour Grey = rgbColour(128, 128, 128);

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
    void workedFourByFour()
    {
        QImage pic = filledPicture(4, 4, White);
        setPixel(pic, 2, 2, Red);
        const Colour mask = rgbColour(0, 255, 0);

        const MaskedFrame off = MaskStimulus(pic, 2, mask, false);
        QCOMPARE(off.topLeft(), QPoint(2, 2)); // window positions 2..5
        QCOMPARE(off.colourAt(2, 2), Red);     // drawn at window (3, 3)
        QCOMPARE(off.colourAt(2, 4), Black);
        QCOMPARE(off.colourAt(4, 2), Black);
        QCOMPARE(off.colourAt(4, 4), Black);
        int masked = 0;
        for (int i = 1; i <= 4; ++i)
            for (int j = 1; j <= 4; ++j)
                masked += off.colourAt(i, j) == mask;
        QCOMPARE(masked, 12);
        QCOMPARE(off.shownCount, 4);
        QCOMPARE(off.efficiency, 0.25);

        const MaskedFrame on = MaskStimulus(pic, 2, mask, true);
        QCOMPARE(on.nonBackgroundCount, 8);
        QCOMPARE(on.shownCount, 4);
        QCOMPARE(on.efficiency, 0.5);
    }

    void hundredByHundredAtTheDefaultLevels()
    {
        const QImage pic = filledPicture(100, 100, Grey);
        const QList<int> levels{12, 10, 8, 6, 4, 2, 1};
        const QList<std::int64_t> shown{64, 100, 144, 256, 625, 2500, 10000};
        const QList<double> efficiency{0.0064, 0.01, 0.0144, 0.0256, 0.0625, 0.25, 1.0};
        for (int k = 0; k < levels.size(); ++k) {
            const MaskedFrame f = MaskStimulus(pic, levels[k], White, false);
            QCOMPARE(f.shownCount, shown[k]);
            // Computed in extended precision and stored: the nearest double to the exact ratio.
            QCOMPARE(f.efficiency, efficiency[k]);
        }
    }

    void picturesSmallerThanTheLevelShowNothing()
    {
        const MaskedFrame f = MaskStimulus(filledPicture(5, 7, Red), 8, Grey, false);
        QCOMPARE(f.shownCount, 0);
        QCOMPARE(f.efficiency, 0.0);
        for (int i = 1; i <= 5; ++i)
            for (int j = 1; j <= 7; ++j)
                QCOMPARE(f.colourAt(i, j), Grey);
    }

    void lastColumnAndRowLieOffThePicture()
    {
        // W a multiple of L: the shown positions of column W are black.
        const MaskedFrame multiple = MaskStimulus(filledPicture(6, 5, Red), 3, Grey, false);
        QCOMPARE(multiple.colourAt(6, 3), Black);
        QCOMPARE(multiple.colourAt(3, 3), Red);
        QCOMPARE(multiple.colourAt(5, 5), Grey); // row 5 is not a multiple of 3
        // Not a multiple: column W is all mask colour.
        const MaskedFrame other = MaskStimulus(filledPicture(7, 6, Red), 3, Grey, false);
        for (int j = 1; j <= 6; ++j)
            QCOMPARE(other.colourAt(7, j), Grey);
        QCOMPARE(other.colourAt(6, 6), Black);
    }

    void uniformPictureUnderTheBackgroundRule()
    {
        // Only column W and row H differ from bg: W + H - 1 positions.
        const MaskedFrame f = MaskStimulus(filledPicture(10, 8, Grey), 1, White, true);
        QCOMPARE(f.nonBackgroundCount, 10 + 8 - 1);
        QCOMPARE(f.shownCount, 17);
        QCOMPARE(f.efficiency, 1.0);
        // The count does not depend on the rule.
        QCOMPARE(MaskStimulus(filledPicture(10, 8, Grey), 1, White, false).nonBackgroundCount, 17);
    }

    void levelOneShowsTheWholePicture()
    {
        QImage pic = filledPicture(9, 4, Grey);
        setPixel(pic, 3, 2, Red);
        const MaskedFrame f = MaskStimulus(pic, 1, White, false);
        QCOMPARE(f.efficiency, 1.0);
        QCOMPARE(f.colourAt(3, 2), Red);
        QCOMPARE(f.colourAt(9, 1), Black);
    }

    void onePixelWideOrHighDoesNotDivideByZero()
    {
        for (const QSize size : {QSize(1, 1), QSize(1, 9), QSize(9, 1)}) {
            const QImage pic = filledPicture(size.width(), size.height(), Red);
            const MaskedFrame on = MaskStimulus(pic, 1, White, true);
            const MaskedFrame off = MaskStimulus(pic, 1, White, false);
            QCOMPARE(on.nonBackgroundCount, 0);
            QVERIFY(std::isfinite(on.efficiency));
            QCOMPARE(on.efficiency, off.efficiency);
            QCOMPARE(on.shownCount, off.shownCount);
        }
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

    void frameKeepsOnePixelPerDevicePixel()
    {
        const MaskedFrame f = MaskStimulus(filledPicture(30, 20, Red), 4, White, false);
        const QImage scaled = f.forDevicePixelRatio(1.5);
        QCOMPARE(scaled.devicePixelRatio(), 1.5);
        QCOMPARE(scaled.size(), QSize(30, 20)); // pixels untouched
        QCOMPARE(f.image.devicePixelRatio(), 1.0);
    }
};

QTEST_GUILESS_MAIN(TestMasking)
#include "TestMasking.moc"
