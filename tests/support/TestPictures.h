#pragma once

// Pictures for tests, drawn in memory.

#include "common/Colour.h"

#include <QImage>

// A w x h picture filled with one colour.
QImage filledPicture(int w, int h, Colour colour = White);

// Sets the pixel at column x, row y (0-based) of a picture.
void setPixel(QImage &picture, int x, int y, Colour colour);
