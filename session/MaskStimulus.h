#pragma once

// Masking: the pure half of presenting a stimulus. Given a picture, a masking
// level L, the mask colour, the background rule and the origin, it yields
// every colour drawn and the task's efficiency value, the fraction of the
// picture that was on screen. Stored results and norms depend on this count,
// so it follows the long-standing rules exactly:
//   - positions run from column 1 to W and row 1 to H (column 0 and row 0 of
//     the picture are never read; column W and row H lie one step outside it
//     and read as NoColour, drawn black);
//   - a position is shown when its column and row are both multiples of L;
//   - the background colour is the pixel at column 1, row 1;
//   - efficiency = shown / (W x H), or with the background rule on,
//     shown non-background / non-background positions, in extended precision.
// A picture one pixel wide or high has no non-background position under the
// background rule; its efficiency is then computed as with the rule off
// rather than dividing by zero.

#include "common/Colour.h"
#include "design/TestDesign.h"

#include <QImage>
#include <QPoint>
#include <QSize>

#include <cstdint>

// The value read off the picture: all bits set, never a pixel colour.
constexpr std::uint32_t NoColour = 0xFFFFFFFFu;

struct MaskedFrame
{
    int offX = 1;
    int offY = 1;
    int width = 0;  // W
    int height = 0; // H
    // W x H, Format_RGB32: image pixel (i - 1, j - 1) is what is drawn at
    // window position (offX + i, offY + j).
    QImage image;
    std::int64_t shownCount = 0;
    std::int64_t nonBackgroundCount = 0;
    double efficiency = 0;

    // Window position of the image's top-left pixel.
    QPoint topLeft() const { return {offX + 1, offY + 1}; }

    // Colour drawn at (offX + i, offY + j), i in 1..W, j in 1..H, as 0x00BBGGRR.
    Colour colourAt(int i, int j) const;

    // The frame to draw on a device of the given pixel ratio so that one image
    // pixel lands on one device pixel: any resampling would destroy the
    // masking lattice. Draw it at topLeft() / ratio in logical coordinates.
    QImage forDevicePixelRatio(qreal ratio) const;
};

// Throws Failure when level is below 1.
MaskedFrame MaskStimulus(const QImage &picture, int level, Colour maskColour, bool ignoreBackground, int offX = 1,
                         int offY = 1);

// The same into `frame`, every member replaced. Its image is written over in
// place when it already has the picture's size and no copy of it is held
// elsewhere, so presenting a picture at level after level allocates nothing.
void MaskStimulus(MaskedFrame &frame, const QImage &picture, int level, Colour maskColour, bool ignoreBackground,
                  int offX = 1, int offY = 1);

// Placement of a W x H picture in a window of the given outer size: centred
// (Placement::Centred) when it is strictly smaller both ways, halves rounded to even;
// otherwise the top left. Never below (1, 1).
QPoint StimulusOrigin(Placement placement, QSize picture, QSize windowOuter);
