#include "session/MaskStimulus.h"

#include "common/Failure.h"
#include "common/NumberText.h"

#include <algorithm>

namespace {

constexpr QRgb Opaque = 0xFF000000u;
constexpr QRgb RgbBits = 0x00FFFFFFu;

// One row in one pass over the picture, so it is read once: out[k] gets the
// fill colour (or, copying, the pixel itself) while the pixels src[k] that
// differ from bg are counted. Written to vectorise, and built for wider
// vectors too where the processor has them: a frame must cost about what
// copying it costs.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
__attribute__((target_clones("avx2", "default")))
#endif
std::int64_t
writeAndCount(bool copy, QRgb *__restrict out, const QRgb *__restrict src, int n, QRgb fill, QRgb bg)
{
    std::uint32_t differ = 0;
    if (copy) {
        for (int k = 0; k < n; ++k) {
            out[k] = src[k] | Opaque;
            differ += ((src[k] ^ bg) & RgbBits) != 0;
        }
    } else {
        for (int k = 0; k < n; ++k) {
            out[k] = fill;
            differ += ((src[k] ^ bg) & RgbBits) != 0;
        }
    }
    return differ;
}

} // namespace

Colour MaskedFrame::colourAt(int i, int j) const
{
    return fromQRgb(image.pixel(i - 1, j - 1));
}

QImage MaskedFrame::forDevicePixelRatio(qreal ratio) const
{
    QImage copy = image;
    copy.setDevicePixelRatio(ratio > 0 ? ratio : 1.0);
    return copy;
}

MaskedFrame MaskStimulus(const QImage &picture, int level, Colour maskColour, bool ignoreBackground, int offX, int offY)
{
    MaskedFrame frame;
    MaskStimulus(frame, picture, level, maskColour, ignoreBackground, offX, offY);
    return frame;
}

namespace {

// Empties the frame's counts and gives it a raster of the picture's size;
// false when the picture has no pixels (the frame then has no raster).
bool resetFrame(MaskedFrame &frame, QSize size, int offX, int offY)
{
    frame.offX = offX;
    frame.offY = offY;
    frame.width = size.width();
    frame.height = size.height();
    frame.shownCount = 0;
    frame.nonBackgroundCount = 0;
    frame.efficiency = 0;
    if (size.isEmpty()) {
        frame.image = QImage();
        return false;
    }
    // The frame's own raster is written over in place; one shared with a copy
    // somewhere else (a picture still on screen) is left to that copy.
    if (frame.image.size() != size || frame.image.format() != QImage::Format_RGB32 || !frame.image.isDetached())
        frame.image = QImage(size, QImage::Format_RGB32);
    return true;
}

} // namespace

void MaskStimulus(MaskedFrame &frame, const QImage &source, int level, Colour maskColour, bool ignoreBackground,
                  int offX, int offY)
{
    if (level < 1)
        throw Failure(QStringLiteral("Razina maskiranja mora biti cijeli broj veći od 0 (zadano: %1).").arg(level));
    const QImage picture =
        source.format() == QImage::Format_RGB32 ? source : source.convertToFormat(QImage::Format_RGB32);

    const int w = picture.width();
    const int h = picture.height();
    if (!resetFrame(frame, picture.size(), offX, offY))
        return;
    uchar *const outBits = frame.image.bits();
    const qsizetype outStride = frame.image.bytesPerLine();

    // Pixel (1, 1) exists only in a picture at least 2 x 2; otherwise every
    // position lies off the picture and reads as NoColour, as bg does.
    const bool bgIsNoColour = w < 2 || h < 2;
    const QRgb bg = bgIsNoColour ? 0 : (reinterpret_cast<const QRgb *>(picture.constScanLine(1))[1] & RgbBits);
    const QRgb mask = toQRgb(maskColour);
    const QRgb black = Opaque;
    const std::int64_t offPictureNonBg = bgIsNoColour ? 0 : 1;

    std::int64_t shown = 0;
    std::int64_t shownNonBg = 0;
    std::int64_t nonBg = 0;

    for (int j = 1; j <= h; ++j) {
        auto *out = reinterpret_cast<QRgb *>(outBits + (j - 1) * outStride);
        // Row j of the picture, or null for row H, which lies below it.
        const QRgb *src = j < h ? reinterpret_cast<const QRgb *>(picture.constScanLine(j)) : nullptr;
        const bool rowShown = j % level == 0;

        // Columns 1..W-1 of the picture, then column W, which lies beside it.
        const QRgb fill = level == 1 ? black : mask;
        std::int64_t rowNonBg = offPictureNonBg * w;
        if (src) {
            rowNonBg = offPictureNonBg + writeAndCount(level == 1, out, src + 1, w - 1, fill, bg);
        } else {
            std::fill(out, out + w - 1, fill);
        }
        out[w - 1] = fill;
        nonBg += rowNonBg;

        if (level == 1) {
            // Every position shown: the row is the picture's row shifted by one.
            shown += w;
            shownNonBg += rowNonBg;
            continue;
        }
        if (!rowShown)
            continue;

        for (int i = level; i <= w; i += level) {
            ++shown;
            if (src && i < w) {
                const QRgb p = src[i];
                out[i - 1] = p | Opaque;
                shownNonBg += ((p ^ bg) & RgbBits) != 0;
            } else {
                out[i - 1] = black;
                shownNonBg += offPictureNonBg;
            }
        }
    }

    frame.nonBackgroundCount = nonBg;
    const bool useBackgroundRule = ignoreBackground && nonBg > 0;
    frame.shownCount = (ignoreBackground && useBackgroundRule) ? shownNonBg : shown;
    const long double denominator =
        useBackgroundRule ? static_cast<long double>(nonBg) : static_cast<long double>(w) * static_cast<long double>(h);
    frame.efficiency = static_cast<double>(static_cast<long double>(frame.shownCount) / denominator);
}

QPoint StimulusOrigin(Placement placement, QSize picture, QSize windowOuter)
{
    int x = 1;
    int y = 1;
    if (placement == Placement::Centred && picture.width() < windowOuter.width() &&
        picture.height() < windowOuter.height()) {
        x = roundHalfEven((windowOuter.width() - picture.width()) / 2.0);
        y = roundHalfEven((windowOuter.height() - picture.height()) / 2.0);
    }
    return {std::max(x, 1), std::max(y, 1)};
}
