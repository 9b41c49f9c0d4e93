#include "session/ui/QtFeedbackSounds.h"

#include "common/Resources.h"
#include "session/WavWidening.h"

#include <QApplication>
#include <QFile>
#include <QSoundEffect>
#include <QUrl>

QtFeedbackSounds::QtFeedbackSounds(QObject *parent)
    : QObject(parent)
{
    m_correct = load(QStringLiteral("ID_DA"));
    m_wrong = load(QStringLiteral("ID_NE"));
}

QSoundEffect *QtFeedbackSounds::load(const QString &name)
{
    auto *effect = new QSoundEffect(this);
    effect->setSource(QUrl(QStringLiteral("qrc") + Resources::soundPath(name)));
    // A back end that refuses 8-bit sound gets a 16-bit copy once; without
    // an audio device the effect just stays silent.
    connect(effect, &QSoundEffect::statusChanged, this, [this, effect, name] {
        if (effect->status() != QSoundEffect::Error || !m_widened.isValid() || effect->source().isLocalFile())
            return;
        const QByteArray wide = WidenWavTo16Bit(Resources::sound(name));
        QFile file(m_widened.filePath(name + QStringLiteral(".wav")));
        if (wide.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(wide) != wide.size())
            return;
        file.close();
        effect->setSource(QUrl::fromLocalFile(file.fileName()));
    });
    return effect;
}

void QtFeedbackSounds::beep()
{
    QApplication::beep();
}

void QtFeedbackSounds::play(const QString &name)
{
    QSoundEffect *effect = name == QLatin1String("ID_DA") ? m_correct : m_wrong;
    QSoundEffect *other = effect == m_correct ? m_wrong : m_correct;
    other->stop();
    effect->stop();
    effect->play();
}
