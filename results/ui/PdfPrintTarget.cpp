#include "results/ui/PdfPrintTarget.h"

#include "common/Clock.h"
#include "common/Failure.h"

#include <QDir>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace {

class PdfJob : public PrintJob
{
public:
    PdfJob(const QString &path, const QString &title, QPageLayout::Orientation orientation)
        : m_file(path)
    {
        if (!m_file.open(QIODevice::WriteOnly)) {
            throw Failure(QStringLiteral("Ispis nije moguće spremiti u datoteku \"%1\": %2")
                              .arg(QDir::toNativeSeparators(path), m_file.errorString()));
        }
        m_writer = std::make_unique<QPdfWriter>(&m_file);
        m_writer->setTitle(title);
        m_writer->setCreator(QStringLiteral("Kalvestrin"));
        m_writer->setResolution(600);
        m_writer->setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), orientation, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
        if (!m_painter.begin(m_writer.get()))
            throw Failure(QStringLiteral("Ispis u datoteku \"%1\" nije moguće započeti.").arg(path));
    }

    ~PdfJob() override
    {
        if (m_painter.isActive())
            m_painter.end();
    }

    QPainter &painter() override { return m_painter; }
    void newPage() override { m_writer->newPage(); }

    QString finish() override
    {
        m_painter.end();
        m_writer.reset();
        if (!m_file.commit()) {
            throw Failure(QStringLiteral("Ispis nije moguće spremiti u datoteku \"%1\": %2")
                              .arg(QDir::toNativeSeparators(m_file.fileName()), m_file.errorString()));
        }
        return m_file.fileName();
    }

private:
    QSaveFile m_file;
    std::unique_ptr<QPdfWriter> m_writer;
    QPainter m_painter;
};

} // namespace

PdfPrintTarget::PdfPrintTarget(const Clock &clock, const QString &folder)
    : m_clock(&clock)
    , m_folder(folder)
{}

PdfPrintTarget::PdfPrintTarget(const QString &file)
    : m_file(file)
{}

QString PdfPrintTarget::nextFile(const QString &title) const
{
    const QString stem = title + QLatin1Char(' ') + m_clock->now().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"));
    const QDir folder(m_folder);
    QString path = folder.filePath(stem + QStringLiteral(".pdf"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = folder.filePath(stem + QStringLiteral(" (%1).pdf").arg(n));
    return path;
}

std::unique_ptr<PrintJob> PdfPrintTarget::start(const QString &title, QPageLayout::Orientation orientation)
{
    return std::make_unique<PdfJob>(m_file.isEmpty() ? nextFile(title) : m_file, title, orientation);
}
