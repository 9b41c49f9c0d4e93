#include "common/SafeFile.h"

#include "common/Failure.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

void writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        throw Failure(QStringLiteral("Datoteku \"%1\" nije moguće stvoriti: %2")
                          .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    // QSaveFile keeps the tail of the bytes in its buffer and commit() does not
    // report a failure to write it out (a full disk): flush first and look.
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw Failure(
            QStringLiteral("Datoteku \"%1\" nije moguće zapisati: %2").arg(QDir::toNativeSeparators(path), reason));
    }
}

QByteArray readWholeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw Failure(QStringLiteral("Datoteku \"%1\" nije moguće otvoriti: %2")
                          .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throw Failure(QStringLiteral("Datoteku \"%1\" nije moguće pročitati: %2")
                          .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    return bytes;
}
