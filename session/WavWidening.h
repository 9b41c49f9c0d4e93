#pragma once

// Our feedback sounds are 8-bit PCM at 8000 Hz; some audio back ends refuse
// that format, so the player can fall back to a 16-bit copy of the same
// sound.

#include <QByteArray>

// The 16-bit PCM WAV of an 8-bit PCM WAV (same channels and rate); an empty
// array when the input is not an 8-bit PCM WAV.
QByteArray WidenWavTo16Bit(const QByteArray &wav);
