#pragma once

// The real sounds: the platform's beep and the two feedback sounds played by
// QSoundEffect, loaded once when the program starts.

#include "session/FeedbackSounds.h"

#include <QObject>
#include <QTemporaryDir>

class QSoundEffect;

class QtFeedbackSounds : public QObject, public FeedbackSounds
{
    Q_OBJECT
public:
    explicit QtFeedbackSounds(QObject *parent = nullptr);

    void beep() override;
    void play(const QString &name) override;

private:
    QSoundEffect *load(const QString &name);

    QSoundEffect *m_correct = nullptr;
    QSoundEffect *m_wrong = nullptr;
    QTemporaryDir m_widened; // 16-bit copies for back ends refusing 8 bits
};
