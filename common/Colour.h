#pragma once

// Colours as the program stores them: 24-bit RGB in a 32-bit integer with
// red in the lowest byte (0x00BBGGRR), the layout of design files and of the
// stored window colours. Qt's QRgb keeps red in the third byte, so every
// crossing between the two goes through these helpers.

#include <QColor>
#include <QRgb>
#include <cstdint>

using Colour = std::uint32_t;

constexpr Colour White = 0x00FFFFFF;
constexpr Colour Black = 0x00000000;

constexpr Colour rgbColour(int red, int green, int blue)
{
    return Colour(red & 0xFF) | (Colour(green & 0xFF) << 8) | (Colour(blue & 0xFF) << 16);
}

constexpr int colourRed(Colour c)
{
    return int(c & 0xFF);
}
constexpr int colourGreen(Colour c)
{
    return int((c >> 8) & 0xFF);
}
constexpr int colourBlue(Colour c)
{
    return int((c >> 16) & 0xFF);
}

// Opaque QRgb (alpha 255) of a stored colour; the high byte is not a colour and is ignored.
constexpr QRgb toQRgb(Colour c)
{
    return 0xFF000000u | (QRgb(colourRed(c)) << 16) | (QRgb(colourGreen(c)) << 8) | QRgb(colourBlue(c));
}

constexpr Colour fromQRgb(QRgb rgb)
{
    return rgbColour(int((rgb >> 16) & 0xFF), int((rgb >> 8) & 0xFF), int(rgb & 0xFF));
}

inline QColor toQColor(Colour c)
{
    return QColor::fromRgb(toQRgb(c));
}
inline Colour fromQColor(const QColor &c)
{
    return rgbColour(c.red(), c.green(), c.blue());
}
