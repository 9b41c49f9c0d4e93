#include "database/export/Exporter.h"

#include "common/Failure.h"

#include <QSaveFile>

struct ExportFiles::File
{
    QSaveFile file;
};

ExportFiles::ExportFiles() = default;
ExportFiles::~ExportFiles() = default; // an uncommitted QSaveFile removes its temporary

QIODevice &ExportFiles::create(const QString &finalPath)
{
    auto file = std::make_unique<File>();
    file->file.setFileName(finalPath);
    if (!file->file.open(QIODevice::WriteOnly))
        throw Failure(file->file.errorString());
    m_files.push_back(std::move(file));
    return m_files.back()->file;
}

void ExportFiles::commit()
{
    for (auto &f : m_files) {
        if (!f->file.commit())
            throw Failure(f->file.errorString());
    }
    m_files.clear();
}
