#pragma once

// The program's own resources, compiled in by the build from the sources
// under resources/: the start-up picture, the two feedback sounds and the two
// built-in instruction texts.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace Resources {

constexpr int InstructionBufferSize = 1001; // holds at most 1000 characters

// Paths inside the Qt resource system.
QString backgroundPath();               // "BACKGROUND", 560 x 560
QString soundPath(const QString &name); // "ID_DA" or "ID_NE": WAV, mono, 8-bit, 8000 Hz

QImage background();
QByteArray sound(const QString &name);

// Built-in instruction text 1 (independent testing) or 2 (assisted testing),
// at most 1000 characters as the instruction buffer keeps it.
QString instructionText(int number);

} // namespace Resources
