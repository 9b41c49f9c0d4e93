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

ExportFiles::ExportFiles(Rename rename)
    : m_rename(std::move(rename))
{}

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

// One rename done, undone by renaming `to` back to `from`.
struct ExportFiles::Moved
{
    QString from;
    QString to;
    File *file = nullptr; // the new file put in place, or nullptr for an old one put aside
};

void ExportFiles::rename(const QString &from, const QString &to, const QString &shownPath) const
{
    std::error_code error;
    if (m_rename)
        error = m_rename(from, to);
    else
        std::filesystem::rename(fsPath(from), fsPath(to), error);
    if (error) {
        throw Failure(QStringLiteral("Datoteku \"%1\" nije moguće zapisati: %2")
                          .arg(shown(shownPath), QString::fromStdString(error.message())));
    }
}

void ExportFiles::undo(std::vector<Moved> &moved) const
{
    for (auto it = moved.rbegin(); it != moved.rend(); ++it) {
        try {
            rename(it->to, it->from, it->to);
            if (it->file)
                it->file->renamed = false;
        } catch (const Failure &) {
            // Nothing more can be done; the rest still goes back.
        }
    }
    moved.clear();
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
    if (m_files.empty())
        return;
    // A lone file replaces its old one in one rename. With companions, the old
    // main file is out of the way while they change, so a reader finds the
    // old set, no table, or the new set.
    std::vector<Moved> moved;
    auto putAside = [&](const QString &target) {
        if (!QFileInfo::exists(target))
            return;
        const QFileInfo info(target);
        QTemporaryFile reserved(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                                QStringLiteral(".old-XXXXXX"));
        reserved.setAutoRemove(false);
        reserved.open();
        const QString aside = reserved.fileName();
        reserved.close();
        try {
            rename(target, aside, target);
        } catch (const Failure &) {
            QFile::remove(aside);
            throw;
        }
        moved.push_back({target, aside, nullptr});
    };
    auto putInPlace = [&](File &file) {
        rename(file.temp.fileName(), file.finalPath, file.finalPath);
        file.renamed = true;
        moved.push_back({file.temp.fileName(), file.finalPath, &file});
    };
    try {
        File &main = *m_files.back();
        if (m_files.size() > 1)
            putAside(main.finalPath);
        for (std::size_t i = 0; i + 1 < m_files.size(); ++i) {
            putAside(m_files[i]->finalPath);
            putInPlace(*m_files[i]);
        }
        putInPlace(main);
    } catch (const Failure &) {
        undo(moved);
        throw;
    }
    for (const Moved &m : moved) {
        if (!m.file)
            QFile::remove(m.to);
    }
}
