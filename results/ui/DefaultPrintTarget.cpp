#include "results/ui/DefaultPrintTarget.h"

#include "common/Failure.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

class PrinterJob : public PrintJob
{
public:
    PrinterJob(const QPrinterInfo &info, const QString &title, QPageLayout::Orientation orientation)
        : m_printer(info, QPrinter::HighResolution)
    {
        m_printer.setDocName(title);
        m_printer.setPageOrientation(orientation);
        if (!m_painter.begin(&m_printer))
            throw Failure(QStringLiteral("Ispis na pisač \"%1\" nije moguće započeti.").arg(info.printerName()));
    }

    ~PrinterJob() override
    {
        if (m_painter.isActive())
            m_printer.abort();
    }

    QPainter &painter() override { return m_painter; }
    void newPage() override { m_printer.newPage(); }

    QString finish() override
    {
        if (!m_painter.end())
            throw Failure(QStringLiteral("Ispis na pisač \"%1\" nije uspio.").arg(m_printer.printerName()));
        return {};
    }

private:
    QPrinter m_printer;
    QPainter m_painter;
};

} // namespace

DefaultPrintTarget::DefaultPrintTarget(const Clock &clock, const QString &folder)
    : m_pdf(clock, folder)
{}

std::unique_ptr<PrintJob> DefaultPrintTarget::start(const QString &title, QPageLayout::Orientation orientation)
{
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (printer.isNull())
        return m_pdf.start(title, orientation);
    return std::make_unique<PrinterJob>(printer, title, orientation);
}
