#include "resources/sounds/Sounds.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

// Both sounds are computed as floating-point waves, scaled to a fixed peak
// and quantised to unsigned 8-bit samples around 128. A few milliseconds of
// fade at either end keep the loudspeaker from clicking.

namespace Sounds {

namespace {

constexpr double TwoPi = 2 * std::numbers::pi;
constexpr int FadeSamples = 80; // 10 ms

using Wave = std::vector<double>;

void appendLe(QByteArray &bytes, quint32 value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.append(char((value >> (8 * i)) & 0xFF));
}

// Scales the wave so its largest excursion is peak (in sample steps), fades
// its ends and wraps it in a RIFF/WAVE file.
QByteArray toWav(Wave wave, double peak)
{
    for (int i = 0; i < FadeSamples; ++i) {
        const double gain = 0.5 - 0.5 * std::cos(std::numbers::pi * i / FadeSamples);
        wave[std::size_t(i)] *= gain;
        wave[wave.size() - 1 - std::size_t(i)] *= gain;
    }
    double largest = 0;
    for (const double v : wave)
        largest = std::max(largest, std::abs(v));
    const double scale = largest > 0 ? peak / largest : 0;

    QByteArray bytes;
    bytes.reserve(44 + SampleCount);
    bytes.append("RIFF");
    appendLe(bytes, 36 + SampleCount, 4);
    bytes.append("WAVE");
    bytes.append("fmt ");
    appendLe(bytes, 16, 4);
    appendLe(bytes, 1, 2); // PCM
    appendLe(bytes, 1, 2); // mono
    appendLe(bytes, SampleRate, 4);
    appendLe(bytes, SampleRate, 4); // bytes per second
    appendLe(bytes, 1, 2);          // bytes per frame
    appendLe(bytes, 8, 2);          // bits per sample
    bytes.append("data");
    appendLe(bytes, SampleCount, 4);
    for (const double v : wave)
        bytes.append(char(std::clamp(128 + int(std::lround(v * scale)), 0, 255)));
    return bytes;
}

} // namespace

QByteArray correctChime()
{
    // C6, E6, G6 struck one after another, each ringing on with a soft decay;
    // the last note rings longest so the ear hears the rise.
    struct Note
    {
        double frequency, start, decay;
    };
    constexpr std::array<Note, 3> notes{{{1046.50, 0.00, 0.10}, {1318.51, 0.11, 0.10}, {1567.98, 0.22, 0.22}}};
    Wave wave(SampleCount, 0.0);
    for (const Note &n : notes) {
        const int first = int(n.start * SampleRate);
        for (int i = first; i < SampleCount; ++i) {
            const double t = double(i - first) / SampleRate;
            const double attack = std::min(1.0, t / 0.006);
            const double envelope = attack * std::exp(-t / n.decay);
            // A touch of the octave makes it bell-like rather than a pure beep.
            const double tone = std::sin(TwoPi * n.frequency * t) + 0.18 * std::sin(TwoPi * 2 * n.frequency * t);
            wave[std::size_t(i)] += envelope * tone;
        }
    }
    return toWav(std::move(wave), 92);
}

QByteArray wrongBuzz()
{
    // Two slightly detuned low tones with falling harmonics: a soft, beating
    // buzz. The harmonics fall off steeply so it hums rather than rasps.
    constexpr double base = 130.0;
    Wave wave(SampleCount, 0.0);
    for (int i = 0; i < SampleCount; ++i) {
        const double t = double(i) / SampleRate;
        double tone = 0;
        for (int h = 1; h <= 7; ++h) {
            const double weight = 1.0 / std::pow(h, 1.6);
            tone += weight * (std::sin(TwoPi * h * base * t) + 0.6 * std::sin(TwoPi * h * (base * 1.012) * t + 1.0));
        }
        const double attack = std::min(1.0, t / 0.02);
        const double release = std::min(1.0, (0.75 - t) / 0.25);
        wave[std::size_t(i)] = tone * attack * release * (1.0 - 0.35 * t);
    }
    return toWav(std::move(wave), 70);
}

} // namespace Sounds
