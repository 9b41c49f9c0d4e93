#pragma once

// The feedback sounds, synthesised: WAV files, mono, 8-bit PCM, 8000 Hz,
// exactly 6000 samples (0.75 s). "ID_DA" is a short bright rising chime for a
// correct answer, "ID_NE" a low soft buzz for a wrong one.

#include <QByteArray>

namespace Sounds {

constexpr int SampleRate = 8000;
constexpr int SampleCount = 6000;

QByteArray correctChime(); // ID_DA
QByteArray wrongBuzz();    // ID_NE

} // namespace Sounds
