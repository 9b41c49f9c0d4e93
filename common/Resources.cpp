#include "common/Resources.h"

#include <QFile>

namespace Resources {

QString backgroundPath()
{
    return QStringLiteral(":/kalvestrin/BACKGROUND.bmp");
}

QString soundPath(const QString &name)
{
    return QStringLiteral(":/kalvestrin/%1.wav").arg(name);
}

QImage background()
{
    QImage image(backgroundPath());
    return image.isNull() ? image : image.convertToFormat(QImage::Format_RGB32);
}

QByteArray sound(const QString &name)
{
    QFile file(soundPath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString instructionText(int number)
{
    QFile file(QStringLiteral(":/kalvestrin/instruction%1.txt").arg(number));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(file.readAll()).trimmed();
    return text.left(InstructionBufferSize - 1);
}

} // namespace Resources
