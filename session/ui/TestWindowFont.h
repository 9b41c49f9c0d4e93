#pragma once

// The test window's typeface: Arial at a height in pixels, so the layout is
// the same whatever the screen's resolution.

#include <QFont>

inline QFont testWindowFont(int pixels)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixels);
    return f;
}
