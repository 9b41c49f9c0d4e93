#include "common/Failure.h"
#include "database/export/Exporter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>

#include <unistd.h>

struct ExportFiles::File
{
    QString finalPath;
    QTemporaryFile temp;
    bool opened = false;
    bool renamed = false;
};

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

std::filesystem::path fsPath(const QString &path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

} // namespace

ExportFiles::ExportFiles() = default;

ExportFiles::~ExportFiles()
{
    for (const auto &file : m_files) {
        if (file->opened && !file->renamed) {
            file->temp.close();
            QFile::remove(file->temp.fileName());
        }
    }
}

QIODevice &ExportFiles::create(const QString &finalPath)
{
    const QFileInfo target(finalPath);
    m_files.push_back(std::make_unique<File>());
    File &file = *m_files.back();
    file.finalPath = target.absoluteFilePath();
    // In the target's own folder, so the final rename never crosses a file system.
    file.temp.setFileTemplate(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                              QStringLiteral(".XXXXXX"));
    // Removed by us: the destructor must not delete a name we have renamed over the target.
    file.temp.setAutoRemove(false);
    file.opened = file.temp.open();
    if (!file.opened) {
        throw Failure(QStringLiteral("Datoteku \"%1\" nije moguće stvoriti: %2")
                          .arg(shown(file.finalPath), file.temp.errorString()));
    }
    // A temporary file is private to its owner; the export gets the permissions
    // of the file it replaces, or those of an ordinary new file.
    const QFileDevice::Permissions ordinary = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                                              QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    file.temp.setPermissions(target.exists() ? QFile::permissions(file.finalPath) : ordinary);
    return file.temp;
}

void ExportFiles::commit()
{
    // Everything on disk before the first rename: a full disk shows here and
    // leaves every old file in place.
    for (const auto &file : m_files) {
        const bool flushed = file->temp.flush() && ::fsync(file->temp.handle()) == 0;
        if (!flushed || file->temp.error() != QFileDevice::NoError) {
            throw Failure(QStringLiteral("Datoteku \"%1\" nije moguće zapisati: %2")
                              .arg(shown(file->finalPath), file->temp.errorString()));
        }
        file->temp.close();
    }
    for (const auto &file : m_files) {
        std::error_code error;
        std::filesystem::rename(fsPath(file->temp.fileName()), fsPath(file->finalPath), error);
        if (error) {
            throw Failure(QStringLiteral("Datoteku \"%1\" nije moguće zapisati: %2")
                              .arg(shown(file->finalPath), QString::fromStdString(error.message())));
        }
        file->renamed = true;
    }
}
